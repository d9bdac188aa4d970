// The opening book's contents, written by replaying seven opening lines from the initial position plus
// one extra entry, and the two-pass lookup (exact board, then the closest board with a GOTE move).
#include "book/book.h"

#include "core/initial_position.h"

namespace halvane {

namespace {

// A move as the book lines name it: origin and destination as file * 10 + rank (origin 0 for a drop),
// and whether it promotes. A drop names the dropped kind; the mover's side fills in the code.
struct BookMove {
  int from;
  int to;
  bool promotes = false;
  int drop_kind = -1;
};

constexpr BookMove DROP_BISHOP_55 = {0, 55, false, BISHOP};

const BookMove LINE_1[] = {{77, 76}, {33, 34}, {27, 26}, {43, 44}, {26, 25}, {22, 33}, {39, 38}, {82, 22},
                           {49, 58}, {31, 32}, {59, 68}, {51, 62}, {68, 78}, {62, 72}, {97, 96}, {41, 52},
                           {87, 86}, {72, 82}, {78, 87}, {71, 72}, {79, 78}, {93, 94}, {37, 36}, {44, 45}};
const BookMove LINE_2[] = {{77, 76}, {33, 34}, {27, 26}, {43, 44}, {26, 25}, {22, 33}, {39, 48}, {82, 22},
                           {59, 68}, {31, 32}, {68, 78}, {51, 62}, {49, 58}, {62, 72}, {47, 46}, {72, 82},
                           {48, 47}, {71, 72}, {47, 56}, {41, 52}, {28, 48}, {93, 94}};
const BookMove LINE_3[] = {{27, 26}, {33, 34}, {26, 25}, {22, 33}, {77, 76}, {43, 44}, {39, 38}, {82, 22},
                           {38, 27}, {31, 32}, {49, 58}, {51, 62}, {59, 68}, {62, 72}, {68, 78}, {72, 82},
                           {97, 96}, {41, 52}, {87, 86}, {71, 72}, {78, 87}, {93, 94}, {79, 78}, {44, 45}};
const BookMove LINE_4[] = {{77, 76}, {33, 34}, {27, 26}, {34, 35}, {26, 25}, {82, 32},
                           {25, 24}, {23, 24}, {28, 24}, {22, 88, true}, {79, 88}, {31, 22}};
const BookMove LINE_5[] = {{77, 76}, {33, 34}, {27, 26}, {34, 35}, {26, 25}, {82, 32}, {39, 48},
                           {22, 88, true}, {79, 88}, {35, 36}, {37, 36}, DROP_BISHOP_55, {48, 37}, {32, 36}};
const BookMove LINE_6[] = {{77, 76}, {33, 34}, {27, 26}, {34, 35}, {26, 25},
                           {82, 32}, {39, 48}, {35, 36}, {37, 36}, {32, 36}};
const BookMove LINE_7[] = {{77, 76}, {33, 34}, {76, 75}, {34, 35}, {28, 78}, {22, 88, true}, {79, 88}};

struct BookLine {
  const BookMove* moves;
  int length;
};

const BookLine LINES[] = {{LINE_1, 24}, {LINE_2, 22}, {LINE_3, 24}, {LINE_4, 12},
                          {LINE_5, 14}, {LINE_6, 10}, {LINE_7, 7}};

// Book squares are file (9 at the left) and rank (1 at the top).
int square_col(int square) { return 9 - square / 10; }
int square_row(int square) { return square % 10 - 1; }
int square_index(int square) { return square_row(square) * 9 + square_col(square); }

// The MoveRecord of a book move on the working board; `side` is the mover's.
MoveRecord book_record(const int cells[81], const BookMove& m, int side) {
  MoveRecord r;
  r.to_col = square_col(m.to);
  r.to_row = square_row(m.to);
  r.captured = cells[square_index(m.to)];
  if (m.drop_kind >= 0) {
    r.from_col = r.from_row = -1;
    r.piece = r.piece_after = m.drop_kind + (side == GOTE ? GOTE_BIT : 0);
  } else {
    r.from_col = square_col(m.from);
    r.from_row = square_row(m.from);
    r.piece = cells[square_index(m.from)];
    r.piece_after = m.promotes ? r.piece + PROMOTED_BIT : r.piece;
  }
  return r;
}

void play_on_cells(int cells[81], const MoveRecord& r) {
  if (!r.is_drop()) cells[r.from_row * 9 + r.from_col] = SQ_EMPTY;
  cells[r.to_row * 9 + r.to_col] = r.piece_after;   // a capture simply replaces the code; hands are not kept
}

void write_entry(Book& book, const int cells[81], const MoveRecord& r, int side) {
  BookEntry& entry = book.entries[book.count++];
  for (int i = 0; i < 81; ++i) entry.cells[i] = cells[i];
  entry.score = side == SENTE ? 30 : -30;
  entry.move = r;
}

bool book_move_playable(const uint8_t board[BOARD_CELLS], const uint8_t gote_hand[8], const MoveRecord& m) {
  if (!m.is_drop()) return (m.piece_after & GOTE_BIT) != 0;
  return board[cell_of(m.to_col, m.to_row)] == SQ_EMPTY && gote_hand[m.piece_after & 7] > 0;
}

void set_hint(BookHint& hint, const BookEntry& entry) {
  hint.move = entry.move;
  hint.hint_score = entry.score;
}

}  // namespace

void fill_book(Book& book) {
  book.count = 0;
  int cells[81];
  // Runs 1-7: each line replayed from the initial position, ▲ first.
  for (const BookLine& line : LINES) {
    for (int i = 0; i < 81; ++i) cells[i] = INITIAL_POSITION[i / 9][i % 9];
    for (int k = 0; k < line.length; ++k) {
      const int side = k % 2 == 0 ? SENTE : GOTE;
      const MoveRecord r = book_record(cells, line.moves[k], side);
      write_entry(book, cells, r, side);
      play_on_cells(cells, r);
    }
  }
  // Run 8: after ▲７六歩 △３四歩 — the board the computer meets when it moved first — answer △４四歩.
  for (int i = 0; i < 81; ++i) cells[i] = INITIAL_POSITION[i / 9][i % 9];
  play_on_cells(cells, book_record(cells, {77, 76}, SENTE));
  play_on_cells(cells, book_record(cells, {33, 34}, GOTE));
  write_entry(book, cells, book_record(cells, {43, 44}, GOTE), GOTE);
}

bool book_lookup(const Book& book, const uint8_t board[BOARD_CELLS], const uint8_t gote_hand[8],
                 MoveRecord& result_move, BookHint& hint) {
  // 1. Exact match: the first entry with this board whose move the computer can play.
  for (int n = 0; n < book.count; ++n) {
    const BookEntry& entry = book.entries[n];
    bool equal = true;
    for (int i = 0; i < 81 && equal; ++i) equal = entry.cells[i] == board[cell_of(i % 9, i / 9)];
    if (equal) {
      result_move = entry.move;
      if (book_move_playable(board, gote_hand, entry.move)) return true;
    }
    hint.move.from_col = NO_HINT;
  }
  // 2. Closest entry with a GOTE move: one whose GOTE pieces all stand as here ends the pass; otherwise
  //    the entry sharing the most squares whose move fits this board.
  int best_same = 0;
  for (int n = 0; n < book.count; ++n) {
    const BookEntry& entry = book.entries[n];
    int same = 0;
    bool gote_differs = false;
    for (int i = 0; i < 81; ++i) {
      const int here = board[cell_of(i % 9, i / 9)];
      if (entry.cells[i] == here) {
        ++same;
      } else if (is_gote_piece(entry.cells[i]) || is_gote_piece(here)) {
        gote_differs = true;
      }
    }
    if (entry.score >= 0) continue;
    if (!gote_differs) {
      set_hint(hint, entry);
      break;
    }
    const MoveRecord& m = entry.move;
    if (same > best_same && !m.is_drop() && board[cell_of(m.from_col, m.from_row)] == m.piece &&
        board[cell_of(m.to_col, m.to_row)] == m.captured) {
      best_same = same;
      set_hint(hint, entry);
    }
  }
  return false;
}

}  // namespace halvane
