// The KIF reader: replays the moves of a KIF file's bytes onto the initial position and fills the record
// slots. Shared by load_kif, halvane-kif and the fuzzer; errors come back as values. CP932 and UTF-8 files
// are read alike, the encoding decided by the bytes.
#pragma once

#include <string>
#include <string_view>

#include "app/game_state.h"

namespace halvane {

constexpr int KIF_LINE_LIMIT = 9998;   // bytes of a line looked at; the rest of a longer line is ignored
constexpr int KIF_MOVE_LIMIT = 498;    // moves a file supplies at most

enum KifEncoding { KIF_CP932, KIF_UTF8, KIF_UTF8_BOM };

// A byte-order mark, else valid UTF-8 with at least one non-ASCII byte, else CP932.
KifEncoding detect_kif_encoding(std::string_view bytes);
// The file's text as CP932 bytes. Characters CP932 lacks become '?'.
std::string kif_to_cp932(std::string_view bytes);

struct KifReadResult {
  int length;            // moves read; -1 after a format error
  bool format_error;
  int line;              // 1-based line of the error, 0 when none
  std::string message;   // what was wrong (English, for the command line and tests)
};

// Slot 0 becomes the initial position with empty hands and slots 1..length the positions after each
// move (player = sente, moving first). Nothing else of `gs` changes. A format error leaves slot 0 as the
// initial position and returns length -1.
KifReadResult read_kif(GameState& gs, std::string_view bytes);

}  // namespace halvane
