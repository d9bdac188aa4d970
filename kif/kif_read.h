// The KIF reader: from a file's bytes to a GameRecord — the header's fields, the start position (a 手合割
// name or a board diagram), the main line and every variation ("変化：N手"), the moves' times and the
// comments, and the end word of each line. Every move is held to the rules of the position it is played
// on: an illegal move is refused with its line and reason, except as a line's last move followed by
// 反則勝ち, which records exactly that foul. Shared by the load command, halvane-kif and the fuzzer;
// errors come back as values. CP932 and UTF-8 files are read alike, the encoding decided by the bytes.
#pragma once

#include <string>
#include <string_view>

#include "kif/line_reader.h"
#include "record/game_record.h"

namespace halvane {

enum KifReadStatus {
  KIF_READ_OK,
  KIF_NOT_A_RECORD,   // no text in a known encoding, or no line heading the moves: not a game record at all
  KIF_BAD_RECORD,     // a record that cannot be loaded: a wrong start position or move line
};

struct KifReadResult {
  KifReadStatus status = KIF_READ_OK;
  int line = 0;          // 1-based line of the error, 0 when none
  std::string message;   // what was wrong (English, for the command line and tests)
};

// The longest times a record keeps (each move's in minutes, a side's total in hours), far beyond any game:
// what is longer is not a time at all.
constexpr int KIF_MINUTES_LIMIT = 35000;
constexpr int KIF_HOURS_LIMIT = 500;

// A refusal with its message, "line N: " before it when the line is known (the readers of every format
// report so).
KifReadResult kif_refusal(KifReadStatus status, int line, const std::string& message);

// The end word at the front of `text` ("投了", "千日手", "反則勝ち", ...), or GAME_END_NONE.
GameEnd kif_end_at(std::string_view text);

// Fills `record` with the whole file. On an error `record` is left as a new record (the even game's start,
// no moves).
KifReadResult read_kif(std::string_view bytes, GameRecord& record);

}  // namespace halvane
