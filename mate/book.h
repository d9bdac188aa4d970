// The opening book: 114 positions with one move each, written into the Engine at start, and the lookup
// that the search's root runs first on every think (an exact hit plays the move, a near one leaves a hint).
#pragma once

#include "engine/engine.h"

namespace halvane {

constexpr int BOOK_MOVE_SCORE = -100000;   // the think's score when the book supplies the move
constexpr int NO_HINT = 999;               // book_hint.move.from_col when there is no hint

// Writes the 114 entries and book_count.
void fill_book(Engine& e);

// Looks the main search's board (and the GOTE hand, for drops) up in the book. Returns true when the book
// plays: result_move is the book move and ply_best[0] is BOOK_MOVE_SCORE. Otherwise book_hint is set to the
// closest entry's GOTE move with its score, or invalidated (from_col NO_HINT).
bool book_lookup(Engine& e);

}  // namespace halvane
