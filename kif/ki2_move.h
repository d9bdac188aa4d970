// KI2's moves: the origin left out, the piece told apart by words only where two pieces of the kind could
// make the move. Reading resolves the words against the position; writing adds the fewest words that the
// reading needs (and 打 where a piece on the board could reach the square of a drop).
#pragma once

#include <string>

#include "core/sfen.h"
#include "kif/move_words.h"

namespace halvane {

// The move that `words` say in `pos`, for the side to move: a drop when 打 says so or when no piece of the
// kind on the board could move there, else the one piece of the kind named that the words leave among
// those that can legally move there (a move that breaks a rule only when no legal one fits: a recorded
// foul). Empty when found, else why not: no piece fits, or more than one does.
std::string resolve_ki2_move(const SfenPosition& pos, const MoveWords& words, MoveRecord& move);

// The move's KI2 text without its side's mark: "７六歩", "同　金右", "５五角打", "２二角成", "８一飛不成".
// `previous` is the move before it (for 同), or null.
std::string ki2_move_text(const SfenPosition& pos, const MoveRecord& move, const MoveRecord* previous);

}  // namespace halvane
