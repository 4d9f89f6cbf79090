#pragma once

#include <string>
#include <string_view>

namespace orva::test {

// The link's messages as bytes, written once for every test; SYN (0x16) begins each one.
inline const std::string kSyn = "\x16";
inline const std::string kAck = "\x16\x06";
inline const std::string kNak = "\x16\x15";
inline const std::string kEot = "\x16\x04";
inline const std::string kWake = "\x16\x16\x16\x16\x16\x05";

// SYN STX, the text and ETX (0x03), or ETB (0x17) for a block that is not the last.
inline std::string framed(std::string_view text, char last = '\x03') {
    return "\x16\x02" + std::string(text) + last;
}

} // namespace orva::test
