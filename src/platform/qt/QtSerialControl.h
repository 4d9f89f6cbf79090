#pragma once

#include "platform/LineTrace.h"
#include "platform/SerialControl.h"

#include <QSerialPort>

#include <functional>
#include <memory>
#include <string>

namespace orva {

// The serial control on QSerialPort. Port n is COMn on Windows; elsewhere the data
// directory's COMn when that name exists (a link to a USB adapter or to the simulator's
// pseudo-terminal), else /dev/ttyS<n-1>. It waits with the port's blocking calls, so it
// belongs to the thread that opened the port until it is closed again.
class QtSerialControl : public SerialControl {
public:
    explicit QtSerialControl(std::string dataDirectory);
    ~QtSerialControl() override;

    int commPort() const override { return commPort_; }
    void setCommPort(int port) override;
    std::string settings() const override { return settings_; }
    void setSettings(const std::string& settings) override;
    bool portOpen() const override { return port_ && port_->isOpen(); }
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
    // Serial events go through here to `onComm` (run at once when not set).
    std::function<void(std::function<void()>)> deliverEvent;

private:
    void requireOpen() const;
    void pull();
    void closeAfterLineLoss();
    int buffered() const { return static_cast<int>(received_.size() - head_); }
    void raiseComm(int code);

    std::string dataDirectory_;
    std::unique_ptr<QSerialPort> port_; // made by the open, gone with the close
    int commPort_ = 1;
    std::string settings_ = "9600,N,8,1";
    int inputLen_ = 0;
    double byteTime_ = 10.0 / 9600; // seconds per character at the settings' line parameters
    std::string received_;          // bytes read from the port and not yet taken
    std::size_t head_ = 0;          // start of the untaken part of received_
    bool lineLost_ = false;         // the other end went away while the port was open
    LineTrace* trace_ = nullptr;
};

} // namespace orva
