#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orva {

// Codes of the serial control's OnComm event.
namespace comm {
enum Code : int {
    EvSend = 1,
    EvReceive = 2,
    EvCTS = 3,
    EvDSR = 4,
    EvCD = 5,
    EvRing = 6,
    EvEOF = 7,
    EvBreak = 1001,
    ErCTSTO = 1002,
    ErDSRTO = 1003,
    ErFrame = 1004,
    ErOverrun = 1006,
    ErCDTO = 1007,
    ErRxOver = 1008,
    ErRxParity = 1009,
    ErTxFull = 1010,
};
} // namespace comm

// The serial port as the program drives it: a port number, line parameters, open/closed, bytes
// out, bytes in. Failures are run-time errors: 68 port unavailable, 8002 invalid port number,
// 8005 port already open, 8018 operation needs an open port.
class SerialControl {
public:
    virtual ~SerialControl() = default;

    virtual int commPort() const = 0;
    virtual void setCommPort(int port) = 0;
    virtual std::string settings() const = 0;
    virtual void setSettings(const std::string& settings) = 0;
    virtual bool portOpen() const = 0;
    virtual void setPortOpen(bool open) = 0;
    virtual int inputLen() const = 0;
    virtual void setInputLen(int len) = 0;

    // Sends the bytes in order.
    virtual void output(std::string_view bytes) = 0;
    // Takes up to inputLen bytes (all when inputLen is 0) from the front of the receive buffer.
    virtual std::string input() = 0;
    // Bytes received and not yet taken; does not wait.
    virtual int inBufferCount() = 0;
    // Waits until `count` bytes are buffered or `seconds` have passed; returns the bytes
    // buffered. It may return sooner, so callers judge the count and their clock themselves.
    virtual int waitForInput(int count, double seconds) = 0;
    // InBufferCount = 0: discards what was received and not yet taken (nothing when closed).
    virtual void clearInBuffer() = 0;
    virtual int outBufferCount() = 0;

    // Raised with an OnComm code, on the thread that uses the port.
    std::function<void(int)> onComm;
};

} // namespace orva
