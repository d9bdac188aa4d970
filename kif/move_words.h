// A move as KIF and KI2 write it, taken apart: the destination (a square, or 同 for the previous move's),
// the piece named, and the words after it — promotion (成, 不成), drop (打) and KI2's words that tell
// two pieces of a kind apart (右, 左, 上, 引, 寄, 直; 行 and 入 as older spellings of 上). KIF adds the
// origin in brackets; KI2 leaves it to the words, resolved against the position.
#pragma once

#include <string>
#include <string_view>

#include "core/sfen.h"
#include "core/types.h"

namespace halvane {

// KI2's words by what they say of the piece that moves, from its mover's side of the board.
enum WhichPiece : unsigned {
  WHICH_RIGHT = 1,      // 右: the piece farthest to the mover's right
  WHICH_LEFT = 2,       // 左: the piece farthest to the mover's left
  WHICH_FORWARD = 4,    // 上 (行, 入): it moves towards the other side
  WHICH_BACK = 8,       // 引: it moves back
  WHICH_SIDEWAYS = 16,  // 寄: it stays on its rank
  WHICH_STRAIGHT = 32,  // 直: it moves one square straight forward
};

struct MoveWords {
  int to_col = -1, to_row = -1;   // SfenPosition coordinates
  int kind = -1;                  // the piece named, PieceKind
  bool promote = false;           // 成
  bool no_promote = false;        // 不成 or 生
  bool drop = false;              // 打
  unsigned which = 0;             // WhichPiece bits
};

// Reads the move at the front of `text` (consumed, blanks after 同 included), `previous` being the move
// before it (for 同) or null. Empty when it was read, else what was missing.
std::string read_move_words(std::string_view& text, const MoveRecord* previous, MoveWords& out);

// The drop the words say in `pos`, for the side to move. Empty when the kind can be dropped at all.
std::string drop_from_words(const SfenPosition& pos, const MoveWords& words, MoveRecord& move);
// The move the words say in `pos` with the origin KIF writes after them ("(77)", consumed from `text`):
// the piece on the origin, which must be the one named, promoted where 成 says; or the drop 打 says.
// Empty when read, else what was wrong.
std::string move_from_origin(std::string_view& text, const SfenPosition& pos, const MoveWords& words, MoveRecord& move);

// The KI2 spelling of the words in `which`, in the order KI2 writes them ("右", "左上", "直").
std::string which_piece_text(unsigned which);

}  // namespace halvane
