#include "platform/qt/QtSerialControl.h"

#include "platform/RunTimeError.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace orva {
namespace {

struct LineParameters {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

LineParameters parseSettings(const std::string& text) {
    const QStringList parts = QString::fromStdString(text).split(',');
    if (parts.size() != 4) {
        throw RunTimeError(err::InvalidProperty);
    }
    LineParameters p;
    bool ok = false;
    p.baud = parts[0].toInt(&ok);
    const QString parity = parts[1].toUpper();
    const int bits = parts[2].toInt();
    const QString& stop = parts[3];
    if (!ok || p.baud <= 0 || bits < 5 || bits > 8) {
        throw RunTimeError(err::InvalidProperty);
    }
    if (parity == "N") {
        p.parity = QSerialPort::NoParity;
    } else if (parity == "E") {
        p.parity = QSerialPort::EvenParity;
    } else if (parity == "O") {
        p.parity = QSerialPort::OddParity;
    } else if (parity == "M") {
        p.parity = QSerialPort::MarkParity;
    } else if (parity == "S") {
        p.parity = QSerialPort::SpaceParity;
    } else {
        throw RunTimeError(err::InvalidProperty);
    }
    p.dataBits = static_cast<QSerialPort::DataBits>(bits);
    if (stop == "1") {
        p.stopBits = QSerialPort::OneStop;
    } else if (stop == "1.5") {
        p.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == "2") {
        p.stopBits = QSerialPort::TwoStop;
    } else {
        throw RunTimeError(err::InvalidProperty);
    }
    return p;
}

// Seconds one character takes on the line: start bit, data bits, parity bit, stop bits.
double characterTime(const LineParameters& p) {
    const double stop = p.stopBits == QSerialPort::OneStop          ? 1.0
                        : p.stopBits == QSerialPort::OneAndHalfStop ? 1.5
                                                                    : 2.0;
    const double parity = p.parity == QSerialPort::NoParity ? 0.0 : 1.0;
    return (1.0 + static_cast<int>(p.dataBits) + parity + stop) / p.baud;
}

} // namespace

QtSerialControl::QtSerialControl(std::string dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {
    // Qt 6 reports neither line states nor parity, framing or overrun errors; what it does
    // report and has no other handling reaches the program as an unknown serial event.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::UnknownError) {
                             raiseComm(0);
                         }
                     });
}

void QtSerialControl::raiseComm(int code) {
    // Served between commands or under a modal box, never inside a wait on the line.
    QMetaObject::invokeMethod(
        &port_,
        [this, code] {
            if (waiting_) {
                heldComm_.push_back(code);
            } else if (onComm) {
                onComm(code);
            }
        },
        Qt::QueuedConnection);
}

QtSerialControl::~QtSerialControl() = default;

std::string QtSerialControl::portName(int port) const {
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    const QString link = QString::fromStdString(dataDirectory_) + "/COM" + QString::number(port);
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link)) {
        return link.toStdString();
    }
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

void QtSerialControl::setCommPort(int port) {
    if (port_.isOpen()) {
        throw RunTimeError(err::PortAlreadyOpen);
    }
    if (port < 1 || port > 16) {
        throw RunTimeError(err::InvalidPortNumber);
    }
    commPort_ = port;
}

void QtSerialControl::setSettings(const std::string& settings) {
    const LineParameters p = parseSettings(settings);
    settings_ = settings;
    byteTime_ = characterTime(p);
    if (port_.isOpen()) {
        port_.setBaudRate(p.baud);
        port_.setParity(p.parity);
        port_.setDataBits(p.dataBits);
        port_.setStopBits(p.stopBits);
    }
}

void QtSerialControl::setPortOpen(bool open) {
    lineLost_ = false;
    if (!open) {
        if (port_.isOpen()) {
            port_.close();
        }
        received_.clear();
        head_ = 0;
        return;
    }
    if (port_.isOpen()) {
        throw RunTimeError(err::PortAlreadyOpen);
    }
    const LineParameters p = parseSettings(settings_);
    port_.setPortName(QString::fromStdString(portName(commPort_)));
    if (!port_.open(QIODevice::ReadWrite)) {
        throw RunTimeError(err::DeviceUnavailable);
    }
    port_.setBaudRate(p.baud);
    port_.setParity(p.parity);
    port_.setDataBits(p.dataBits);
    port_.setStopBits(p.stopBits);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
    received_.clear();
    head_ = 0;
}

void QtSerialControl::setInputLen(int len) {
    if (len < 0) {
        throw RunTimeError(err::InvalidProperty);
    }
    inputLen_ = len;
}

void QtSerialControl::requireOpen() const {
    if (!port_.isOpen() && !lineLost_) {
        throw RunTimeError(err::PortNotOpen);
    }
}

void QtSerialControl::closeAfterLineLoss() {
    // The other end went away: the open port would wake every poll at once without data.
    // Closed, it behaves as a silent line until the command ends, so the link's time-outs
    // and its transfer-error report take over.
    port_.close();
    lineLost_ = true;
}

void QtSerialControl::pull() {
    if (!port_.isOpen()) {
        return;
    }
    // error() keeps its last value (time-outs included), so read it and clear it each time.
    const QSerialPort::SerialPortError e = port_.error();
    port_.clearError();
    if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
        closeAfterLineLoss();
        return;
    }
    const QByteArray data = port_.readAll();
    if (!data.isEmpty()) {
        if (trace_ != nullptr) {
            trace_->record(false, {data.constData(), static_cast<std::size_t>(data.size())});
        }
        if (head_ > 0 && head_ == received_.size()) {
            received_.clear();
            head_ = 0;
        }
        received_.append(data.constData(), static_cast<std::size_t>(data.size()));
    }
}

void QtSerialControl::output(std::string_view bytes) {
    requireOpen();
    if (lineLost_) {
        return;
    }
    if (trace_ != nullptr) {
        trace_->record(true, bytes);
    }
    port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    // A short message fits the driver's buffer at once; only a full one is waited for, since
    // every blocking wait costs a task switch.
    if (!port_.flush() || port_.bytesToWrite() > 0) {
        port_.waitForBytesWritten(100);
    }
    const QSerialPort::SerialPortError e = port_.error();
    port_.clearError();
    if (e == QSerialPort::WriteError || e == QSerialPort::ResourceError) {
        closeAfterLineLoss();
    }
}

std::string QtSerialControl::input() {
    requireOpen();
    pull();
    const std::size_t available = received_.size() - head_;
    const std::size_t n =
        inputLen_ == 0 ? available : std::min(available, static_cast<std::size_t>(inputLen_));
    std::string taken = received_.substr(head_, n);
    head_ += n;
    if (head_ == received_.size()) {
        received_.clear();
        head_ = 0;
    }
    return taken;
}

int QtSerialControl::inBufferCount() {
    requireOpen();
    pull();
    return buffered();
}

QSocketNotifier* QtSerialControl::readNotifier() const {
    // QSerialPort keeps its read notifier as a child.
    for (QSocketNotifier* n : port_.findChildren<QSocketNotifier*>()) {
        if (n->type() == QSocketNotifier::Read) {
            return n;
        }
    }
    return nullptr;
}

void QtSerialControl::runEvents(double seconds, const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer timeUp;
    timeUp.setSingleShot(true);
    timeUp.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (done && port_.isOpen()) {
        QObject::connect(&port_, &QSerialPort::readyRead, &loop, [&] {
            pull();
            if (done()) {
                loop.quit();
            }
        });
        QObject::connect(&port_, &QSerialPort::errorOccurred, &loop,
                         [&](QSerialPort::SerialPortError e) {
                             if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError) {
                                 loop.quit();
                             }
                         });
    }
    timeUp.start(static_cast<int>(std::ceil(seconds * 1000.0)));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

int QtSerialControl::waitForInput(int count, double seconds) {
    requireOpen();
    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return seconds - static_cast<double>(clock.nsecsElapsed()) / 1e9; };
    // Takes what the driver holds; the port's own buffer fills only in an event loop.
    auto fetch = [&] {
        if (port_.isOpen()) {
            port_.waitForReadyRead(0);
        }
        pull();
    };
    fetch();
    waiting_ = true;
    QSocketNotifier* notifier = port_.isOpen() ? readNotifier() : nullptr;
    while (buffered() < count && left() > 0.0) {
        if (!port_.isOpen()) { // a lost line stays silent
            runEvents(left(), nullptr);
            break;
        }
        const int had = buffered();
        runEvents(left(), [&] { return !port_.isOpen() || buffered() > had; });
        // Once a byte came, the rest cannot cross the line faster than the baud rate allows:
        // the wait sleeps that long, less a character, deaf to the port, which would otherwise
        // wake it at every byte.
        while (notifier != nullptr && port_.isOpen() && count - buffered() > 2 && left() > 0.0) {
            const bool enabled = notifier->isEnabled();
            notifier->setEnabled(false);
            runEvents(std::min(left(), (count - buffered() - 1) * byteTime_), nullptr);
            notifier->setEnabled(enabled);
            fetch();
        }
    }
    waiting_ = false;
    pull();
    for (const int code : std::exchange(heldComm_, {})) {
        raiseComm(code);
    }
    return buffered();
}

void QtSerialControl::clearInBuffer() {
    // Discarding needs no open port: a closed port has nothing buffered.
    if (port_.isOpen()) {
        pull();
    }
    received_.clear();
    head_ = 0;
}

int QtSerialControl::outBufferCount() {
    requireOpen();
    if (lineLost_) {
        return 0;
    }
    return static_cast<int>(port_.bytesToWrite());
}

} // namespace orva
