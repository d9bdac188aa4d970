// Words the GUI sent, said back in an "info string" when they are refused: at most a line's width of
// them, so that a runaway line (a file pasted into the engine, a GUI's bug) is named, not repeated.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

constexpr size_t ECHO_WIDTH = 80;   // characters (UTF-8 code points) of an echo, then "…"

// `text` whole when it is at most ECHO_WIDTH characters, else its first ECHO_WIDTH and "…". A cut never
// splits a character.
std::string echo(std::string_view text);

}  // namespace halvane
