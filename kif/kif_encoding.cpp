// Deciding a KIF file's encoding from its bytes and turning UTF-8 text into CP932, so that the reader
// matches every name as CP932 bytes whatever the file was written in.
#include "kif/kif_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace halvane {

namespace {

constexpr std::string_view BOM = "\xef\xbb\xbf";

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one (overlong forms, surrogates and
// values beyond U+10FFFF are refused).
int utf8_sequence(std::string_view s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned c = byte(i);
  if (c < 0x80) return 1;
  int n;
  unsigned low = 0x80, high = 0xBF;   // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (int k = 2; k < n; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return n;
}

// A control byte that no text file holds (NUL and the like); tab, line feed, vertical tab, form feed,
// carriage return and the DOS end-of-file mark 0x1A pass.
bool control_byte(unsigned char c) { return (c < 0x20 && (c < 0x09 || c > 0x0D) && c != 0x1A) || c == 0x7F; }

// Whether the bytes are CP932 text: single bytes (ASCII and half-width katakana) and lead bytes each
// followed by a trail byte.
bool cp932_text(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = s[i];
    if (control_byte(c)) return false;
    if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead || i + 1 >= s.size()) return false;
    const unsigned char t = s[++i];
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
  }
  return true;
}

// `bytes` from encoding `from` into `to`, whole runs at a time; a character iconv refuses becomes
// `replacement`, and `skip(i)` says how many bytes it took. Without the conversion, the bytes as they are.
template <class Skip>
std::string convert(std::string_view bytes, const char* to, const char* from, std::string_view replacement, Skip skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  char buffer[4096];
  size_t i = 0;
  while (i < bytes.size()) {
    char* in = const_cast<char*>(bytes.data() + i);
    size_t in_left = bytes.size() - i;
    char* o = buffer;
    size_t out_left = sizeof buffer;
    const size_t r = iconv(cd, &in, &in_left, &o, &out_left);
    out.append(buffer, o - buffer);
    i = in - bytes.data();
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    out += replacement;
    i += skip(i);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

// CP932 bytes in another encoding; an undecodable byte becomes `replacement` (U+FFFD in that encoding).
std::string from_cp932(std::string_view bytes, const char* encoding, std::string_view replacement) {
  return convert(bytes, encoding, "CP932", replacement, [](size_t) { return size_t{1}; });
}

}  // namespace

KifEncoding detect_kif_encoding(std::string_view bytes) {
  if (bytes.substr(0, 3) == BOM) {
    for (unsigned char c : bytes)
      if (control_byte(c)) return KIF_NOT_TEXT;
    return KIF_UTF8_BOM;
  }
  bool wide = false;
  for (size_t i = 0; i < bytes.size();) {
    const int n = utf8_sequence(bytes, i);
    if (n == 0) return cp932_text(bytes) ? KIF_CP932 : KIF_NOT_TEXT;
    if (n == 1 && control_byte(bytes[i])) return KIF_NOT_TEXT;
    wide |= n > 1;
    i += n;
  }
  return wide ? KIF_UTF8 : KIF_CP932;
}

std::string kif_to_cp932(std::string_view bytes) {
  const KifEncoding encoding = detect_kif_encoding(bytes);
  if (encoding == KIF_CP932 || encoding == KIF_NOT_TEXT) return std::string(bytes);
  if (encoding == KIF_UTF8_BOM) bytes.remove_prefix(BOM.size());
  return utf8_to_cp932(bytes);
}

std::string utf8_to_cp932(std::string_view bytes) {
  // A character without a CP932 form (or a sequence cut at the end): one '?' in its place.
  return convert(bytes, "CP932", "UTF-8", "?", [bytes](size_t i) {
    const int n = utf8_sequence(bytes, i);
    return static_cast<size_t>(n > 0 ? n : 1);
  });
}

std::string kif_to_utf8(std::string_view bytes) {
  const KifEncoding encoding = detect_kif_encoding(bytes);
  if (encoding == KIF_UTF8_BOM) bytes.remove_prefix(BOM.size());
  if (encoding != KIF_UTF8 && encoding != KIF_UTF8_BOM) return cp932_to_utf8(bytes);
  // A byte-order mark vouches for no byte after it: a stray byte becomes U+FFFD, so that a record
  // holds text only and writes back in either encoding.
  std::string text;
  for (size_t i = 0; i < bytes.size();) {
    const int n = utf8_sequence(bytes, i);
    text += n ? bytes.substr(i, n) : std::string_view("\xef\xbf\xbd");
    i += n ? n : 1;
  }
  return text;
}

std::u16string cp932_to_utf16(std::string_view bytes) {
  const std::string units = from_cp932(bytes, "UTF-16LE", "\xfd\xff");
  std::u16string out;
  for (size_t p = 0; p + 1 < units.size(); p += 2)
    out += static_cast<char16_t>(static_cast<unsigned char>(units[p]) | static_cast<unsigned char>(units[p + 1]) << 8);
  return out;
}

std::string cp932_to_utf8(std::string_view bytes) { return from_cp932(bytes, "UTF-8", "\xef\xbf\xbd"); }

}  // namespace halvane
