#pragma once

#include "app/ORVA_DS.h"
#include "app/frmEditor.h"

#include <string>

namespace orva {

// Control characters of the link.
namespace ctl {
inline constexpr char STX = 2;
inline constexpr char ETX = 3;
inline constexpr char EOT = 4;
inline constexpr char ENQ = 5;
inline constexpr char ACK = 6;
inline constexpr char NAK = 21;
inline constexpr char SYN = 22;
inline constexpr char ETB = 23;
} // namespace ctl

// The character-level protocol with the light barrier. Outcomes go to the shared state
// (`LinkErrorCount`, `ReceiveBuffer`, `BlockText`), not to return values; run-time errors of
// the serial control pass to the calling command's trap.
class DeviceLink {
public:
    DeviceLink(ORVA_DS& state, EditorVariables& vars, OrvaModule& module);

    void WakeDevice();
    void SendCommand(const std::string& command);
    void ReceiveCharacters(int count);
    void ReceiveVerifiedBlock();
    void ReportTransferError();
    // Receives the count data blocks of a download into `CountText`.
    void ReceiveBulkData();
    void MSComm1_OnComm(int commEvent);

    // The sync character followed by `c`.
    std::string sync(char c) const;
    // Seconds since the current wait's `StartTime`.
    double elapsed();
    // Polls until `count` bytes are buffered or `limit` seconds have passed since StartTime.
    void waitForBytes(int count, double limit);
    // Polls while bytes are still arriving, up to `limit` seconds since StartTime. With
    // `inclusive` the poll goes on at exactly the limit too.
    void settle(double limit, bool inclusive);

    std::string RepeatText;
    // The two copies of the data block under reception.
    std::string FirstCopy;
    std::string RepeatCopy;

private:
    ORVA_DS& s_;
    EditorVariables& v_;
    OrvaModule& module_;
    SerialControl& comm_;
    std::string eventSlot_;
    std::string errorSlot_;
};

} // namespace orva
