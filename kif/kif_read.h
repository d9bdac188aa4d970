// The KIF reader: from a file's bytes to a GameRecord, every move checked against the position it is
// played on. Shared by the load command, halvane-kif and the fuzzer; errors come back as values. CP932
// and UTF-8 files are read alike, the encoding decided by the bytes.
#pragma once

#include <string>
#include <string_view>

#include "kif/game_record.h"

namespace halvane {

constexpr int KIF_LINE_LIMIT = 9998;   // bytes of a line looked at; the rest of a longer line is ignored
constexpr int KIF_MOVE_LIMIT = 498;    // moves a file supplies at most

enum KifReadStatus {
  KIF_READ_OK,
  KIF_NOT_A_RECORD,   // no text in a known encoding, or no line heading the moves: not a game record at all
  KIF_BAD_RECORD,     // a record that cannot be loaded: a handicap, a board diagram or a wrong move line
};

struct KifReadResult {
  KifReadStatus status = KIF_READ_OK;
  int line = 0;          // 1-based line of the error, 0 when none
  std::string message;   // what was wrong (English, for the command line and tests)
};

// Fills `record` with the main line's moves (at most KIF_MOVE_LIMIT) and the end its end word names
// (投了 a resignation, 詰み a mate, anything else none). On an error `record` is left empty.
KifReadResult read_kif(std::string_view bytes, GameRecord& record);

}  // namespace halvane
