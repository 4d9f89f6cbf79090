#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orva {

// Codes of the serial control's OnComm event.
namespace comm {
inline constexpr int EvSend = 1;
inline constexpr int EvReceive = 2;
inline constexpr int EvCTS = 3;
inline constexpr int EvDSR = 4;
inline constexpr int EvCD = 5;
inline constexpr int EvRing = 6;
inline constexpr int EvEOF = 7;
inline constexpr int EvBreak = 1001;
inline constexpr int ErCTSTO = 1002;
inline constexpr int ErDSRTO = 1003;
inline constexpr int ErFrame = 1004;
inline constexpr int ErOverrun = 1006;
inline constexpr int ErCDTO = 1007;
inline constexpr int ErRxOver = 1008;
inline constexpr int ErRxParity = 1009;
inline constexpr int ErTxFull = 1010;
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
    // Bytes received and not yet taken. A poll: it may block about a millisecond waiting for
    // data, and it never lets window events run.
    virtual int inBufferCount() = 0;
    // InBufferCount = 0: discards what was received and not yet taken (nothing when closed).
    virtual void clearInBuffer() = 0;
    virtual int outBufferCount() = 0;

    // Raised with an OnComm code; the program serves it between commands only.
    std::function<void(int)> onComm;
};

} // namespace orva
