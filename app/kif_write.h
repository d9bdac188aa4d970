// The KIF writer: turns the game record into the bytes of a KIF file (CP932, CR LF after every line but
// the last). The record must already stand sente-at-bottom (orient_for_file); save_kif and halvane-kif
// write these bytes to disk, and the move derivation is shared with anything that lists the record's moves.
#pragma once

#include <string>

#include "app/game_state.h"
#include "engine/types.h"

namespace halvane {

// Local date and time of the first header line.
struct KifDate {
  int year, month, day, hour, minute, second;
};
KifDate local_kif_date();

// The clock save_kif takes its date from; tests put a fixed one here.
extern KifDate (*kif_clock)();

// What comparing slot k with slot k + 1 shows.
enum SlotChange {
  SLOT_UNCHANGED,   // no square differs: the record ends here
  SLOT_MOVE,        // a board move or a drop, described in the MoveRecord
  SLOT_MALFORMED,   // one or two differences that are not a move
  SLOT_TOO_MANY,    // more than two squares differ
};

// The move from slot k to slot k + 1, in the record's own coordinates. `differences` is the number of
// squares that differ.
SlotChange slot_move(const GameState& gs, int k, MoveRecord& move, int& differences);

// The text of one move line (without its line end): "1 ７六歩(77)", "23 ２二角成(88)", "40 ５五角打".
std::string kif_move_line(int number, const MoveRecord& move);

enum KifWriteError { KIF_WRITE_OK, KIF_WRITE_MALFORMED, KIF_WRITE_TOO_MANY };

struct KifWriteResult {
  std::string text;        // the file's bytes; on an error, what was written before it
  KifWriteError error;
  int differences;         // with KIF_WRITE_TOO_MANY: how many squares differed
  int moves;               // move lines written
};

// The header with the date line (ends in CR LF).
std::string kif_header(const KifDate& date);
// Header, one line per move of slots 0..length, and the closing "N 投了" without a line end. The record
// must be oriented sente-at-bottom.
KifWriteResult kif_text(const GameState& gs, const KifDate& date);

}  // namespace halvane
