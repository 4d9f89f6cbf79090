#pragma once

#include "platform/LineTrace.h"
#include "platform/SerialControl.h"

#include <QSerialPort>

#include <functional>
#include <string>
#include <vector>

class QSocketNotifier;

namespace orva {

// The serial control on QSerialPort. Port n is COMn on Windows; elsewhere the data
// directory's COMn when that name exists (a link to a USB adapter or to the simulator's
// pseudo-terminal), else /dev/ttyS<n-1>.
class QtSerialControl : public SerialControl {
public:
    explicit QtSerialControl(std::string dataDirectory);
    ~QtSerialControl() override;

    int commPort() const override { return commPort_; }
    void setCommPort(int port) override;
    std::string settings() const override { return settings_; }
    void setSettings(const std::string& settings) override;
    bool portOpen() const override { return port_.isOpen(); }
    void setPortOpen(bool open) override;
    int inputLen() const override { return inputLen_; }
    void setInputLen(int len) override;
    void output(std::string_view bytes) override;
    std::string input() override;
    int inBufferCount() override;
    int waitForInput(int count, double seconds) override;
    void clearInBuffer() override;
    int outBufferCount() override;

    std::string portName(int port) const;
    // Every byte on the line goes to `trace` as well (none when null).
    void setTrace(LineTrace* trace) { trace_ = trace; }

private:
    void requireOpen() const;
    void pull();
    void closeAfterLineLoss();
    int buffered() const { return static_cast<int>(received_.size() - head_); }
    QSocketNotifier* readNotifier() const;
    // Runs window events except user input for `seconds`, or until `done` holds after bytes
    // came (no `done`: the port is not watched).
    void runEvents(double seconds, const std::function<bool()>& done);
    void raiseComm(int code);

    std::string dataDirectory_;
    QSerialPort port_;
    int commPort_ = 1;
    std::string settings_ = "9600,N,8,1";
    int inputLen_ = 0;
    double byteTime_ = 10.0 / 9600; // seconds per character at the settings' line parameters
    std::string received_;          // bytes read from the port and not yet taken
    std::size_t head_ = 0;          // start of the untaken part of received_
    bool lineLost_ = false;         // the other end went away while the port was open
    bool waiting_ = false;          // inside waitForInput
    std::vector<int> heldComm_;     // serial events that came during a wait
    LineTrace* trace_ = nullptr;
};

} // namespace orva
