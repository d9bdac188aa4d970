// The opening book: 114 positions with one move each, written into the Engine at start, and the lookup
// that the search's root runs first on every think (an exact hit plays the move, a near one leaves a hint).
#pragma once

#include <cstdint>

#include "core/types.h"

namespace halvane {

// One opening-book entry: the board before the move (index row * 9 + col), +30 / -30 and the move.
struct BookEntry {
  int cells[81];
  int score;
  MoveRecord move;
};

struct BookHint {
  MoveRecord move;           // from_col 999: no hint
  int hint_score;
};

// The whole book: its entries in the order written, and how many there are.
struct Book {
  BookEntry entries[BOOK_ENTRIES];
  int count;
};

constexpr int BOOK_MOVE_SCORE = -100000;   // the think's score when the book supplies the move
constexpr int NO_HINT = 999;               // book_hint.move.from_col when there is no hint

// Writes the 114 entries and the count.
void fill_book(Book& book);

// Looks a board (and the GOTE hand, for drops) up in the book. Returns true when the book plays the move
// now in `result_move` (the search then scores it BOOK_MOVE_SCORE). An exact match writes its move to
// `result_move` even when GOTE cannot play it. Otherwise `hint` is set to the closest entry's GOTE move
// with its score, or invalidated (from_col NO_HINT).
bool book_lookup(const Book& book, const uint8_t board[BOARD_CELLS], const uint8_t gote_hand[8],
                 MoveRecord& result_move, BookHint& hint);

}  // namespace halvane
