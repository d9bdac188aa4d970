// The pieces of KIF text that the reader and the writer share, in UTF-8: blanks (full-width ones too),
// the full-width file digits and the kanji rank numerals, kanji counts ("十七"), square and piece names.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

inline constexpr std::string_view WIDE_BLANK = "　";
// Index 1..9; KANJI_DIGITS[10] is 十.
inline constexpr const char* WIDE_DIGITS[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
inline constexpr const char* KANJI_DIGITS[11] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};

inline bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Drops leading and trailing ASCII blanks, tabs and full-width blanks.
inline std::string_view trim_kif_blanks(std::string_view s) {
  for (;;) {
    if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    else if (starts_with(s, WIDE_BLANK)) s.remove_prefix(WIDE_BLANK.size());
    else break;
  }
  for (;;) {
    if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    else if (s.size() >= WIDE_BLANK.size() && s.substr(s.size() - WIDE_BLANK.size()) == WIDE_BLANK)
      s.remove_suffix(WIDE_BLANK.size());
    else break;
  }
  return s;
}

// A count in kanji at the start of `text` ("二", "十", "十七"), consumed; 0 when none stands there.
inline int read_kanji_number(std::string_view& text) {
  int value = 0, digit = 0;
  bool any = false;
  for (;;) {
    int found = -1;
    for (int d = 1; d <= 10; ++d)
      if (starts_with(text, KANJI_DIGITS[d])) found = d;
    if (found < 0) break;
    text.remove_prefix(3);
    any = true;
    if (found == 10) {
      value += (digit == 0 ? 1 : digit) * 10;
      digit = 0;
    } else {
      digit = found;
    }
  }
  return any ? value + digit : 0;
}

// A count in kanji: 1..99.
inline std::string kanji_number(int n) {
  std::string text;
  if (n >= 10) {
    if (n >= 20) text += KANJI_DIGITS[n / 10];
    text += KANJI_DIGITS[10];
  }
  if (n % 10) text += KANJI_DIGITS[n % 10];
  return text;
}

// "７六" for the square (col, row) of a SfenPosition (col 0 is file 9).
inline std::string kif_square_name(int col, int row) { return std::string(WIDE_DIGITS[9 - col]) + KANJI_DIGITS[row + 1]; }

}  // namespace halvane

namespace halvane {

// The move-line names of the pieces by kind (12 and 15 stand for no piece).
inline constexpr const char* KIF_PIECE_WORDS[16] = {"歩", "香", "桂", "銀", "金", "角", "飛", "玉",
                                                    "と", "成香", "成桂", "成銀", "", "馬", "龍", ""};

}  // namespace halvane
