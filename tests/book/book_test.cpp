// The opening book: its contents checked against the rules (every book move is a legal move of its
// board, found by the search's own generators), the runs' shape, and both passes of the lookup.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "book/book.h"
#include "core/sfen.h"
#include "search/engine.h"
#include "search/perft.h"
#include "support/positions.h"
#include "think/engine_init.h"

using namespace halvane;

namespace {

constexpr int RUN_STARTS[] = {0, 24, 46, 70, 82, 96, 106, 113, 114};

using halvane::testing::make_engine;

void board_of_entry(const BookEntry& entry, uint8_t board[BOARD_CELLS]) {
  clear_board(board);
  for (int i = 0; i < 81; ++i) board[cell_of(i % 9, i / 9)] = static_cast<uint8_t>(entry.cells[i]);
}

void load_entry(Engine& e, const BookEntry& entry, const uint8_t gote_hand[8]) {
  uint8_t board[BOARD_CELLS];
  board_of_entry(entry, board);
  const uint8_t none[8] = {};
  load_position(e.pos, board, none, gote_hand);
}

// The root's look-up, as the search makes it.
bool lookup(Engine& e) { return book_lookup(e.book, e.pos.board, e.pos.hand[GOTE], e.result_move, e.book_hint); }

void collect(void* context, const MoveRecord& move, uint64_t) {
  static_cast<std::vector<MoveRecord>*>(context)->push_back(move);
}

const MoveRecord PAWN_34 = {6, 2, 16, 6, 3, 16, SQ_EMPTY};   // △３四歩(33)

}  // namespace

TEST(Book, RunsAlternateSidesAndCount114) {
  auto e = make_engine();
  ASSERT_EQ(e->book.count, 114);
  int sente = 0, gote = 0;
  for (int run = 0; run < 8; ++run) {
    for (int n = RUN_STARTS[run]; n < RUN_STARTS[run + 1]; ++n) {
      const BookEntry& entry = e->book.entries[n];
      const bool gote_move = (n - RUN_STARTS[run]) % 2 == 1 || run == 7;
      EXPECT_EQ(entry.score, gote_move ? -30 : 30) << "entry " << n;
      EXPECT_EQ((entry.move.piece & GOTE_BIT) != 0, gote_move) << "entry " << n;
      (gote_move ? gote : sente) += 1;
    }
  }
  EXPECT_EQ(sente, 57);
  EXPECT_EQ(gote, 57);
  // Runs 1, 2 and 4-7 reach the board after ▲７六歩 △３四歩 with their third move; run 8 stands on it.
  for (int run : {0, 1, 3, 4, 5, 6})
    EXPECT_EQ(std::memcmp(e->book.entries[RUN_STARTS[run] + 2].cells, e->book.entries[113].cells, sizeof(int) * 81), 0)
        << "run " << run + 1;
  EXPECT_EQ(e->book.entries[113].move, (MoveRecord{5, 2, 16, 5, 3, 16, SQ_EMPTY}));   // △４四歩(43)
}

// Each entry's move is one the generators produce as legal on the entry's board (the mover's side to
// move, a bishop in hand for the drop), and the next entry of the run stands on the board after it.
TEST(Book, EveryMoveIsLegalOnItsBoardAndLeadsToTheNextEntry) {
  auto e = make_engine();
  auto probe = make_engine();
  for (int run = 0; run < 8; ++run) {
    for (int n = RUN_STARTS[run]; n < RUN_STARTS[run + 1]; ++n) {
      const BookEntry& entry = e->book.entries[n];
      const MoveRecord& m = entry.move;
      uint8_t board[BOARD_CELLS];
      board_of_entry(entry, board);
      uint8_t hand[2][8] = {};
      if (m.is_drop()) hand[side_of(m.piece)][m.piece & 7] = 1;
      perft_load(*probe, board, hand[SENTE], hand[GOTE]);
      std::vector<MoveRecord> legal;
      perft(*probe, side_of(m.piece), 1, collect, &legal);
      bool found = false;
      for (const MoveRecord& l : legal) found = found || l == m;
      EXPECT_TRUE(found) << "entry " << n << " move " << move_to_usi(m);
      if (n + 1 < RUN_STARTS[run + 1]) {
        int after[81];
        std::memcpy(after, entry.cells, sizeof after);
        if (!m.is_drop()) after[m.from_row * 9 + m.from_col] = SQ_EMPTY;
        after[m.to_row * 9 + m.to_col] = m.piece_after;
        EXPECT_EQ(std::memcmp(after, e->book.entries[n + 1].cells, sizeof after), 0) << "entry " << n;
      }
    }
  }
  // The captures and the drop as they are stored.
  EXPECT_EQ(e->book.entries[70 + 9].move, (MoveRecord{7, 1, 21, 1, 7, 29, 5}));    // △８八角成(22)
  EXPECT_EQ(e->book.entries[70 + 10].move, (MoveRecord{2, 8, 3, 1, 7, 3, 29}));    // ▲８八銀(79)
  EXPECT_EQ(e->book.entries[82 + 11].move, (MoveRecord{-1, -1, 21, 4, 4, 21, SQ_EMPTY}));   // △５五角打
}

TEST(Book, ExactHitPlaysTheMoveWithoutSearch) {
  auto e = make_engine();
  const uint8_t none[8] = {};
  // After ▲７六歩: the book's second entry, whatever the hands hold.
  const uint8_t some[8] = {2, 0, 0, 0, 0, 0, 0, 0};
  load_entry(*e, e->book.entries[1], some);
  EXPECT_TRUE(lookup(*e));
  EXPECT_EQ(e->result_move, PAWN_34);
  // The drop entry plays only with the bishop in the computer's hand.
  const BookEntry& drop_entry = e->book.entries[82 + 11];
  load_entry(*e, drop_entry, none);
  EXPECT_FALSE(lookup(*e));
  const uint8_t bishop[8] = {0, 0, 0, 0, 0, 1, 0, 0};
  load_entry(*e, drop_entry, bishop);
  EXPECT_TRUE(lookup(*e));
  EXPECT_EQ(e->result_move, drop_entry.move);
}

TEST(Book, InitialPositionLeavesAHint) {
  auto e = make_engine();
  const uint8_t none[8] = {};
  load_entry(*e, e->book.entries[0], none);   // the initial position: only a SENTE move stands on it
  EXPECT_FALSE(lookup(*e));
  EXPECT_EQ(e->book_hint.move, PAWN_34);
  EXPECT_EQ(e->book_hint.hint_score, -30);
}

TEST(Book, ClosestEntryHints) {
  auto e = make_engine();
  const uint8_t none[8] = {};
  // The human plays ▲１六歩 where run 1 has ▲２五歩. The earlier GOTE entries (△３四歩, △４四歩) have
  // the computer's pawns elsewhere and their origins are empty now; entry 5 (△３三角, after ▲２五歩)
  // has every GOTE piece where this board has it, so its move is the hint and the pass ends there.
  BookEntry entry = e->book.entries[4];   // board before ▲２五歩: ▲７六歩 △３四歩 ▲２六歩 △４四歩 played
  entry.cells[6 * 9 + 8] = SQ_EMPTY;   // ▲１七歩 → ▲１六歩
  entry.cells[5 * 9 + 8] = PAWN;
  load_entry(*e, entry, none);
  EXPECT_FALSE(lookup(*e));
  EXPECT_EQ(e->book_hint.move, e->book.entries[5].move) << "first entry whose GOTE pieces all agree";
  EXPECT_EQ(e->book_hint.move, (MoveRecord{7, 1, 21, 6, 2, 21, SQ_EMPTY}));
  EXPECT_EQ(e->book_hint.hint_score, -30);
  // A board where the computer's pieces match no entry: the entry sharing the most squares whose move
  // still fits (the piece on its origin, the captured code on its destination) gives the hint.
  entry = e->book.entries[1];                     // after ▲７六歩
  entry.cells[0 * 9 + 0] = SQ_EMPTY;      // the computer's lance on ９一 has gone to ９二
  entry.cells[1 * 9 + 0] = LANCE + GOTE_BIT;
  load_entry(*e, entry, none);
  EXPECT_FALSE(lookup(*e));
  EXPECT_EQ(e->book_hint.move, PAWN_34);
  // Nothing fits: only the kings, the computer's on ９一 where no book move starts.
  BookEntry empty{};
  for (int& c : empty.cells) c = SQ_EMPTY;
  empty.cells[0] = GOTE_KING;
  empty.cells[76] = SENTE_KING;
  load_entry(*e, empty, none);
  EXPECT_FALSE(lookup(*e));
  EXPECT_EQ(e->book_hint.move.from_col, NO_HINT);
}
