// Numbers and line-safe texts of the engine protocol.
#include "engine_client/protocol_text.h"

#include <charconv>

namespace halvane {

bool parse_number(std::string_view word, long long& out) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty() || word.front() == '+') return false;
  long long n = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), n);
  if (error != std::errc() || end != word.data() + word.size()) return false;
  out = n;
  return true;
}

bool protocol_text_ok(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  return true;
}

std::string_view trim_line(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace halvane
