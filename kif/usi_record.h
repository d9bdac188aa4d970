// A record as one USI line: "position startpos moves 7g7f 3c3d", "position sfen <SFEN> moves ...", the
// same without "position", a bare SFEN with or without moves, or "moves ..." from the initial position.
// Such a line holds the start and the main line only: no ends, times, comments or variations.
#pragma once

#include <string>
#include <string_view>

#include "kif/kif_read.h"

namespace halvane {

// Reads the first line of text that is not blank. On an error `record` is left as a new record.
KifReadResult read_usi_record(std::string_view bytes, GameRecord& record);

// The start and the main line as "sfen <SFEN> moves ...", or (`position_command`) as the USI command
// "position startpos moves ..." ("position sfen <SFEN> moves ..." from any other start); LF at the end.
// A last move that broke a rule (told by 反則勝ち) is left out: the line would be refused by any reader.
std::string usi_record_text(const GameRecord& record, bool position_command);

}  // namespace halvane
