#pragma once

#include <string>
#include <string_view>

namespace orva {

// Texts inside the logic are UTF-8. Files are Windows-1252 and the wire carries single bytes;
// these conversions sit at those borders.

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined map to the
// control characters of the same value, so every byte string survives the round trip.
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252. Characters the code page lacks, and broken UTF-8, become '?'.
std::string utf8ToCp1252(std::string_view text);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF).
bool isUtf8(std::string_view bytes);

// Bytes from the serial line, one character each (Latin-1), as UTF-8 for display.
std::string latin1ToUtf8(std::string_view bytes);

// The printable characters of bytes from the serial line, as UTF-8: control characters of
// the framing would show as boxes.
std::string printableOnly(std::string_view bytes);

// Number of characters of a UTF-8 text (for fixed-width fields counted in characters).
std::size_t utf8Length(std::string_view text);

} // namespace orva

namespace orva {

// Characters start..start+len-1 (1-based, counted in characters) of a UTF-8 text; positions
// past the end give a shorter or empty text, never an error.
std::string midChars(std::string_view text, std::size_t start, std::size_t len);

} // namespace orva
