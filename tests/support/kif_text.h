// KIF text for the reader's and the load command's tests: CP932 from UTF-8 literals (through iconv, so the
// expectations do not reuse the program's own name tables), minimal files around move lines, file bytes.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace halvane::kif_test {

// UTF-8 text as CP932 bytes.
inline std::string cp932(const std::string& utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string out(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t in_left = utf8.size();
  char* o = out.data();
  size_t out_left = out.size();
  const size_t r = iconv(cd, &in, &in_left, &o, &out_left);
  iconv_close(cd);
  EXPECT_NE(r, static_cast<size_t>(-1)) << "not convertible: " << utf8;
  out.resize(o - out.data());
  return out;
}

// Lines joined with the given end; the last line gets none unless `final_end`.
inline std::string join(const std::vector<std::string>& lines, const std::string& end, bool final_end = false) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i + 1 < lines.size() || final_end) text += end;
  }
  return text;
}

// A KIF text in CP932: a minimal header, the move lines given in UTF-8, LF ends.
inline std::string kif_file(const std::vector<std::string>& move_lines, const std::string& end = "\n") {
  std::vector<std::string> lines = {cp932("手合割：平手"), cp932("手数----指手---------消費時間--")};
  for (const auto& l : move_lines) lines.push_back(cp932(l));
  return join(lines, end, true);
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace halvane::kif_test
