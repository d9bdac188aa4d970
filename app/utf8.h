// UTF-16 text (the game's messages and captions) as UTF-8, for front ends that print it and for readable
// test messages, and UTF-8 (paths, the system's texts) as UTF-16 for the message boxes. Surrogate pairs
// become one four-byte sequence and back.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

std::string utf8_from_utf16(std::u16string_view text);
// UTF-8 text (paths, record fields, the closing line of a record) as UTF-16.
std::u16string utf16_from_utf8(std::string_view text);

}  // namespace halvane
