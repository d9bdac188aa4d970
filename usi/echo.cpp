// Echoes cut to a line's width at a character boundary.
#include "usi/echo.h"

namespace halvane {

std::string echo(std::string_view text) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    // A UTF-8 continuation byte (10xxxxxx) belongs to the character before it.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == ECHO_WIDTH) return std::string(text.substr(0, i)) + "…";
  }
  return std::string(text);
}

}  // namespace halvane
