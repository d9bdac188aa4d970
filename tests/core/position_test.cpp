// Engine position: cells, loading, king location, the 180-degree rotation and the Engine's start values.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "search/engine.h"
#include "think/engine_init.h"
#include "core/position.h"
#include "core/sfen.h"
#include "core/rotation.h"
#include "core/declaration.h"

using namespace halvane;

TEST(Cells, CornersAndTheirWalls) {
  EXPECT_EQ(cell_of(0, 0), 51);
  EXPECT_EQ(cell_of(8, 8), 187);
  uint8_t board[BOARD_CELLS];
  clear_board(board);
  for (int wall : {35, 50, 188, 203}) EXPECT_EQ(board[wall], SQ_WALL) << "cell " << wall;
  EXPECT_EQ(board[51], SQ_EMPTY);
  EXPECT_EQ(board[187], SQ_EMPTY);
  int squares = 0;
  for (int cell = 0; cell < BOARD_CELLS; ++cell) {
    if (board[cell] != SQ_EMPTY) continue;
    ++squares;
    EXPECT_EQ(cell_of(col_of(cell), row_of(cell)), cell);
    EXPECT_TRUE(on_board(cell));
    EXPECT_EQ(board[ROTATION_SUM - cell], SQ_EMPTY) << "the turn of a square is a square";
  }
  EXPECT_EQ(squares, 81);
  // Every step and knight jump off any square lands on a square or a wall, never outside the array.
  for (int cell = 0; cell < BOARD_CELLS; ++cell) {
    if (!on_board(cell)) continue;
    for (int d : {-33, -31, -17, -16, -15, -1, 1, 15, 16, 17, 31, 33}) {
      ASSERT_GE(cell + d, 0);
      ASSERT_LT(cell + d, BOARD_CELLS);
      EXPECT_TRUE(on_board(cell + d) || board[cell + d] == SQ_WALL);
    }
  }
}

TEST(Position, LoadingFindsKingsAndMarksMissingOnes) {
  auto view = engine_view(startpos());
  EnginePosition pos;
  for (int side = 0; side < 2; ++side)
    for (int p = 0; p < MAX_PLY; ++p) pos.king_sq[side][p] = -7;
  load_position(pos, view.board, view.hand[SENTE], view.hand[GOTE]);
  // Black to move: the engine sees the position rotated, black's king at the top as GOTE's.
  EXPECT_EQ(pos.king_sq[GOTE][0], cell_of(4, 0));
  EXPECT_EQ(pos.king_sq[GOTE][1], cell_of(4, 0));
  EXPECT_EQ(pos.king_sq[SENTE][0], cell_of(4, 8));
  EXPECT_EQ(pos.king_sq[SENTE][2], -7) << "only plies 0 and 1 are written";

  SfenPosition tsume;
  std::string error;
  ASSERT_TRUE(parse_sfen("3k5/9/3S5/9/9/9/9/9/9 w S2r2b4g2s4n4l18p 1", tsume, error)) << error;
  auto v2 = engine_view(tsume);
  load_position(pos, v2.board, v2.hand[SENTE], v2.hand[GOTE]);
  for (int p : {0, 1, MAX_PLY - 1})
    EXPECT_EQ(pos.king_sq[SENTE][p], NO_KING) << "no SENTE king on the board, nothing kept of the last one";
  EXPECT_EQ(pos.king_sq[GOTE][0], cell_of(3, 0));
  EXPECT_EQ(locate_piece(pos.board, SENTE_KING), -1);
  EXPECT_EQ(pos.hand[GOTE][SILVER], 2);
  EXPECT_EQ(pos.hand[SENTE][SILVER], 1);
}

TEST(Position, RotatingTwiceRestoresBoardAndHands) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 50; ++trial) {
    EnginePosition pos;
    clear_board(pos.board);
    // Random pieces of both sides, kings included, and random hands.
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) {
        int r = rng() % 40;
        if (r < 31 && (r & 15) != 12 && (r & 15) != 15 && (r & 15) != 7) pos.board[cell_of(col, row)] = r;
      }
    pos.board[cell_of(rng() % 9, 0)] = GOTE_KING;
    pos.board[cell_of(rng() % 9, 8)] = SENTE_KING;
    for (int side = 0; side < 2; ++side)
      for (int k = 0; k < 7; ++k) pos.hand[side][k] = rng() % 3;
    pos.hand[0][7] = pos.hand[1][7] = 0;
    fill_king_stacks(pos);
    EnginePosition before = pos;
    uint8_t saved[BOARD_CELLS];
    rotate_position(pos, saved);
    EXPECT_EQ(std::memcmp(saved, before.board, BOARD_CELLS), 0);
    EXPECT_EQ(std::memcmp(pos.hand[SENTE], before.hand[GOTE], 8), 0);
    // The GOTE king now stands where the SENTE king's image is, and its stack says so at every ply.
    EXPECT_EQ(pos.king_sq[GOTE][0], ROTATION_SUM - before.king_sq[SENTE][0]);
    EXPECT_EQ(pos.king_sq[GOTE][63], pos.king_sq[GOTE][0]);
    EXPECT_EQ(pos.board[pos.king_sq[SENTE][5]], SENTE_KING);
    for (int cell = 0; cell < BOARD_CELLS; ++cell) EXPECT_TRUE(on_board(cell) || pos.board[cell] == SQ_WALL);
    rotate_position(pos, saved);
    EXPECT_EQ(std::memcmp(pos.board, before.board, BOARD_CELLS), 0);
    EXPECT_EQ(std::memcmp(pos.hand, before.hand, sizeof pos.hand), 0);
    EXPECT_EQ(std::memcmp(pos.king_sq, before.king_sq, sizeof pos.king_sq), 0);
  }
}

TEST(EngineInit, StrengthTablesAndDefaults) {
  const Strength* levels[3] = {&STRENGTH_CHUUKARA, &STRENGTH_KARAKUCHI, &STRENGTH_GEKIKARA};
  const int depth[3] = {8, 10, 12};
  for (int i = 0; i < 3; ++i) {
    auto e = std::make_unique<Engine>();
    engine_init(*e, *levels[i]);
    EXPECT_EQ(e->max_plies, depth[i]);
    EXPECT_EQ(e->base_depth, depth[i]);
    EXPECT_EQ(e->depth_limit, depth[i]);
    EXPECT_EQ(e->hand_rule_depth, i == 2 ? 10 : 0);
    // Every schedule closes with the recapture modes on the two plies just below the depth limit and
    // -1 from the depth limit on; even plies get even modes (GOTE), odd plies odd ones (SENTE).
    EXPECT_EQ(e->ply_mode[depth[i] - 2], 8);
    EXPECT_EQ(e->ply_mode[depth[i] - 1], 9);
    for (int p = 0; p < SCHEDULE_LEN; ++p) {
      if (p < depth[i]) {
        EXPECT_EQ(e->ply_mode[p] % 2, p % 2) << "ply " << p;
      } else {
        EXPECT_EQ(e->ply_mode[p], -1);
      }
    }
    EXPECT_EQ(e->reply_solver.base_depth.load(), 12);
    EXPECT_EQ(e->mate_thread_solver.best_mate_len, NO_MATE_LEN);
    EXPECT_EQ(e->mate_thread_solver.mate_found.load(), 0);
    EXPECT_EQ(last_to_sq(*e, -1), 0);
    EXPECT_EQ(e->game_ply, 0);
  }
  EXPECT_EQ(KILLER_WIDTH[0], 0);
  EXPECT_EQ(KILLER_WIDTH[3], 20);
  EXPECT_EQ(KILLER_WIDTH[9], 10);
  EXPECT_EQ(KILLER_WIDTH[10], 1);
}

TEST(EngineInit, CaptureValuesFavourTheComputerByTen) {
  for (int kind = 0; kind < 16; ++kind) {
    if (kind == 12 || kind == 15) continue;
    if (kind == KING) {
      EXPECT_EQ(CAPTURE_VALUE[kind], -300000);
      EXPECT_EQ(CAPTURE_VALUE[kind + 16], 300000);
      continue;
    }
    EXPECT_LT(CAPTURE_VALUE[kind], 0);
    EXPECT_EQ(-CAPTURE_VALUE[kind], CAPTURE_VALUE[kind + 16] + 10) << "kind " << kind;
  }
  EXPECT_EQ(CAPTURE_VALUE[14], -1911);
  EXPECT_EQ(CAPTURE_VALUE[29], 1701);
}

// 入玉宣言: the king in the enemy camp and out of check, ten more pieces there, 28 points for sente (27
// for gote) there and in hand, a rook or bishop counting 5.
TEST(Declaration, KingTenPiecesAndThePointsOutOfCheck) {
  const struct {
    const char* sfen;
    bool granted;
  } rows[] = {
      {"RB2K4/PPPP1PPPP/9/9/9/9/9/9/4k4 b RB 1", true},     // ten pieces, exactly 28 points
      {"RB2K4/PPPP1PPPP/9/9/9/9/9/9/4k4 b R4P 1", false},   // 27 points: one short for sente
      {"RB2K4/PPPPgPPPP/9/9/9/9/9/9/4k4 b RB 1", false},    // in check from the gold
      {"RB2K4/PPP2PPPP/9/9/9/9/9/9/4k4 b RBG 1", false},    // nine pieces, though 28 points
      {"RB7/PPPP1PPPP/9/K8/9/9/9/9/4k4 b RB 1", false},     // the king outside the camp
      {"4K4/9/9/9/9/9/pppp1pppp/rb7/k8 w r4p 1", true},     // 27 points are enough for gote
      {"4K4/9/9/9/9/9/ppp2pppp/rb7/k8 w rb 1", false},      // nine pieces, though 27 points
  };
  for (const auto& row : rows) {
    SfenPosition pos;
    std::string error;
    ASSERT_TRUE(parse_sfen(row.sfen, pos, error)) << row.sfen << ": " << error;
    EXPECT_EQ(may_declare_win(pos), row.granted) << row.sfen;
  }
}
