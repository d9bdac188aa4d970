// A record file's text handed out line by line, for every reader of the record formats: LF or CR LF ends
// a line, the last line needs no end, and only the first KIF_LINE_LIMIT bytes of a line are looked at.
// Also the small scanning steps the readers share: a word taken from the front, a leading number.
#pragma once

#include <string_view>

#include "kif/kif_text.h"

namespace halvane {

constexpr int KIF_LINE_LIMIT = 9998;   // bytes of a line looked at; the rest of a longer line is ignored

struct LineReader {
  std::string_view text;
  size_t pos = 0;
  int number = 0;       // 1-based number of the line handed out last
  size_t last_pos = 0;  // where that line began, so that a reader can hand it back
  size_t limit = KIF_LINE_LIMIT;

  bool next(std::string_view& line) {
    if (pos >= text.size()) return false;
    last_pos = pos;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > limit) {
      size_t cut = limit;   // cut at a character's start
      while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
      line = line.substr(0, cut);
    }
    return true;
  }

  // Hands the line just read out again with the next call.
  void put_back() {
    pos = last_pos;
    --number;
  }
};

// Removes `word` from the front of `text` when it stands there.
inline bool take(std::string_view& text, std::string_view word) {
  if (!starts_with(text, word)) return false;
  text.remove_prefix(word.size());
  return true;
}

// A leading decimal number (at most 9 digits), consumed; -1 when none stands there.
inline long read_number(std::string_view& text) {
  long value = 0;
  size_t n = 0;
  while (n < text.size() && n < 10 && text[n] >= '0' && text[n] <= '9') value = value * 10 + (text[n++] - '0');
  if (n == 0 || n == 10) return -1;
  text.remove_prefix(n);
  return value;
}

}  // namespace halvane
