// A KIF file's encoding decided from its bytes, and its text as CP932, so that the reader matches every
// name as CP932 bytes whatever the file was written in.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

enum KifEncoding { KIF_CP932, KIF_UTF8, KIF_UTF8_BOM, KIF_NOT_TEXT };

// A byte-order mark, else valid UTF-8 with at least one non-ASCII byte, else CP932 when the bytes are
// well-formed CP932 text; anything else (a picture, random bytes, UTF-16) is KIF_NOT_TEXT. Text holds no
// control bytes but tab, line and page ends and the end-of-file mark.
KifEncoding detect_kif_encoding(std::string_view bytes);
// The file's text as CP932 bytes. Characters CP932 lacks become '?'; bytes that are no text pass as they are.
std::string kif_to_cp932(std::string_view bytes);
// UTF-8 text (a record the writer made) as CP932, as it stands: characters CP932 lacks become '?'.
std::string utf8_to_cp932(std::string_view bytes);
// CP932 bytes as UTF-16 (for showing the KIF names in a window); an undecodable byte becomes U+FFFD.
std::u16string cp932_to_utf16(std::string_view bytes);
// The file's text as UTF-8, whatever it was written in (a byte-order mark dropped, a byte that is no
// UTF-8 after it turned into U+FFFD).
std::string kif_to_utf8(std::string_view bytes);
// CP932 bytes as UTF-8 (a record's header fields and comments); an undecodable byte becomes U+FFFD.
std::string cp932_to_utf8(std::string_view bytes);

}  // namespace halvane
