#pragma once

#include "platform/SerialControl.h"

#include <QSerialPort>

#include <string>

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
    void clearInBuffer() override;
    int outBufferCount() override;

    std::string portName(int port) const;

private:
    void requireOpen() const;
    void pull(int waitMs);
    void closeAfterLineLoss();

    std::string dataDirectory_;
    QSerialPort port_;
    int commPort_ = 1;
    std::string settings_ = "9600,N,8,1";
    int inputLen_ = 0;
    std::string received_;  // bytes read from the port and not yet taken
    std::size_t head_ = 0;  // start of the untaken part of received_
    bool lineLost_ = false; // the other end went away while the port was open
};

} // namespace orva
