#include "platform/qt/QtSerialControl.h"

#include "platform/RunTimeError.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
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

// The longest a wait blocks before it returns to its caller, who may have been asked to stop.
constexpr double kLongestBlock = 0.2;

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

} // namespace

QtSerialControl::QtSerialControl(std::string dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {}

void QtSerialControl::raiseComm(int code) {
    auto serve = [this, code] {
        if (onComm) {
            onComm(code);
        }
    };
    if (deliverEvent) {
        deliverEvent(serve);
    } else {
        serve();
    }
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
    if (portOpen()) {
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
    if (portOpen()) {
        port_->setBaudRate(p.baud);
        port_->setParity(p.parity);
        port_->setDataBits(p.dataBits);
        port_->setStopBits(p.stopBits);
    }
}

void QtSerialControl::setPortOpen(bool open) {
    lineLost_ = false;
    if (!open) {
        port_.reset();
        received_.clear();
        head_ = 0;
        return;
    }
    if (portOpen()) {
        throw RunTimeError(err::PortAlreadyOpen);
    }
    const LineParameters p = parseSettings(settings_);
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(portName(commPort_)));
    if (!port->open(QIODevice::ReadWrite)) {
        throw RunTimeError(err::DeviceUnavailable);
    }
    port->setBaudRate(p.baud);
    port->setParity(p.parity);
    port->setDataBits(p.dataBits);
    port->setStopBits(p.stopBits);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->clearError();
    // Qt 6 reports neither line states nor parity, framing or overrun errors; what it does
    // report and has no other handling reaches the program as an unknown serial event.
    QObject::connect(port.get(), &QSerialPort::errorOccurred, port.get(),
                     [this](QSerialPort::SerialPortError e) {
                         if (e == QSerialPort::UnknownError) {
                             raiseComm(0);
                         }
                     });
    port_ = std::move(port);
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
    if (!portOpen() && !lineLost_) {
        throw RunTimeError(err::PortNotOpen);
    }
}

void QtSerialControl::closeAfterLineLoss() {
    // The other end went away: the open port would wake every poll at once without data.
    // Closed, it behaves as a silent line until the command ends, so the link's time-outs
    // and its transfer-error report take over.
    port_.reset();
    lineLost_ = true;
}

void QtSerialControl::pull() {
    if (!portOpen()) {
        return;
    }
    // Without an event loop the port's buffer only fills in a wait; this one takes what the
    // driver holds and returns at once.
    port_->waitForReadyRead(0);
    // error() keeps its last value (time-outs included), so read it and clear it each time.
    const QSerialPort::SerialPortError e = port_->error();
    port_->clearError();
    if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) {
        closeAfterLineLoss();
        return;
    }
    const QByteArray data = port_->readAll();
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
    port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
    // A short message fits the driver's buffer at once; only a full one is waited for, since
    // every blocking wait costs a task switch.
    if (!port_->flush() || port_->bytesToWrite() > 0) {
        port_->waitForBytesWritten(100);
    }
    const QSerialPort::SerialPortError e = port_->error();
    port_->clearError();
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

int QtSerialControl::waitForInput(int count, double seconds) {
    requireOpen();
    QElapsedTimer clock;
    clock.start();
    const double limit = std::min(seconds, kLongestBlock);
    auto left = [&] { return limit - static_cast<double>(clock.nsecsElapsed()) / 1e9; };
    pull();
    while (buffered() < count && left() > 0.0) {
        if (!portOpen()) { // a lost line stays silent
            sleepFor(left());
            break;
        }
        // The next byte, then the rest: at the line's pace it has all come one wire time after
        // the byte just come, and not much sooner, so the thread wakes twice a block instead
        // of at every byte.
        port_->waitForReadyRead(static_cast<int>(std::ceil(left() * 1000.0)));
        pull();
        const int missing = count - buffered();
        if (missing > 0 && portOpen()) {
            sleepFor(std::min(left(), missing * byteTime_));
            pull();
        }
    }
    return buffered();
}

void QtSerialControl::clearInBuffer() {
    // Discarding needs no open port: a closed port has nothing buffered.
    pull();
    received_.clear();
    head_ = 0;
}

int QtSerialControl::outBufferCount() {
    requireOpen();
    if (lineLost_) {
        return 0;
    }
    return static_cast<int>(port_->bytesToWrite());
}

} // namespace orva
