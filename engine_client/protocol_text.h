// The small pieces of an engine's protocol text that every reader and writer of it shares: a number
// read strictly, and whether a text can travel inside one line.
#pragma once

#include <string_view>

namespace halvane {

// A whole word as a decimal number with an optional sign ("-120", "+3"); false for anything else,
// including a number too large for 64 bits.
bool parse_number(std::string_view word, long long& out);

// Whether a name or value can stand inside one protocol line: no line end, no other control character.
bool protocol_text_ok(std::string_view text);

// The text without the spaces, tabs and carriage return around it: the rest of a line after its keyword.
std::string_view trim_line(std::string_view text);

}  // namespace halvane
