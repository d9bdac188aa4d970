// The rules of a move on a SfenPosition, for the records and the positions players bring: whether a move
// is legal and, when not, which rule it breaks, and the legal moves of a position. The record formats
// check every move they read through it; the engine keeps its own generators for speed, and the tests
// hold the two to the same counts.
#pragma once

#include <vector>

#include "core/sfen.h"

namespace halvane {

enum MoveVerdict {
  MOVE_OK,
  MOVE_NO_PIECE,          // no piece of the side to move on the origin, or a drop of a piece not in hand
  MOVE_ONTO_OWN_PIECE,    // the destination holds the mover's own piece (or a drop onto any piece)
  MOVE_OUT_OF_REACH,      // the piece does not move so, or a piece stands in its way
  MOVE_BAD_PROMOTION,     // a promotion of a piece that cannot promote, or outside the zone
  MOVE_DEAD_PIECE,        // a pawn, lance or knight left or dropped where it could never move again
  MOVE_SECOND_PAWN,       // 二歩: a pawn dropped into a file that holds the side's own pawn
  MOVE_CAPTURES_KING,     // the other side's king is taken: its previous move left it in check
  MOVE_LEAVES_KING,       // the mover's own king is left or put in check
  MOVE_PAWN_DROP_MATE,    // 打ち歩詰め: a pawn drop that mates
};

// What the verdict means, in English, for messages of the command-line tools and tests.
const char* verdict_text(MoveVerdict verdict);

// The verdict on `move` (origin, destination, piece before and after, as parse_usi_move fills it; the
// captured code is taken from the board) in `pos`, for the side to move.
MoveVerdict judge_move(const SfenPosition& pos, const MoveRecord& move);

// The legal moves of the side to move, with `captured` filled from the board.
std::vector<MoveRecord> legal_moves(const SfenPosition& pos);

// Whether `side`'s king stands attacked by the other side; false when `side` has no king on the board.
bool king_in_check(const SfenPosition& pos, int side);

// The pieces of each kind in a set, by hand kind (kings as KING).
constexpr int SET_PIECES[8] = {18, 4, 4, 4, 4, 2, 2, 2};

// What makes a position impossible to play on. The first fault found is told, with the side it
// concerns, the square (row * 9 + col, -1 when none) and the kind (a hand kind, -1 when none).
enum PositionFault {
  POSITION_OK,
  POSITION_KING_IN_HAND,     // a king among the pieces in hand
  POSITION_DEAD_PIECE,       // a pawn, lance or knight on a rank it could never leave
  POSITION_SECOND_PAWN,      // 二歩: two unpromoted pawns of a side on a file
  POSITION_TWO_KINGS,        // a side with two kings or more
  POSITION_NO_KING,          // a side without a king, where the position needs one
  POSITION_TOO_MANY,         // more pieces of a kind than the set has
  POSITION_OTHER_IN_CHECK,   // the side not to move is in check: its king could be taken at once
};
struct PositionVerdict {
  PositionFault fault = POSITION_OK;
  int side = BLACK;
  int square = -1;
  int kind = -1;
};
// Which kings a position must have: none (a record may set out a study of pieces alone), both sides',
// or the side not to move's only (a mate problem, whose attacker moves first and often has no king).
enum KingsNeeded { KINGS_ANY, KINGS_BOTH, KINGS_DEFENDER };

PositionVerdict judge_position(const SfenPosition& pos, KingsNeeded needed = KINGS_ANY);
// The fault in English, for messages of the command-line tools and tests; null for POSITION_OK.
const char* position_fault_text(PositionFault fault);

// What makes a position impossible to play on, or null when nothing does (judge_position with any
// kings allowed: a mate problem's attacker, or both sides for a study of pieces alone).
const char* position_fault(const SfenPosition& pos);

// Leaf positions `depth` plies below `pos` by these rules (a perft count, for tests).
long long count_legal_leaves(const SfenPosition& pos, int depth);

}  // namespace halvane
