// Which moves the selective plies search and what the shallow scoring rules give, each on a position
// built for the one rule: the lines the opponent's last move opened, the attacks it created, the human's
// drops right after the root move, the static recapture of the last ply, both cutoff tests, remembered
// moves that no longer fit, and a ply the schedule gives no mode.
#include <gtest/gtest.h>

#include <cstring>

#include "search/search.h"
#include "support/positions.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

// Loads `sfen` as written and sets the Engine up as if a node of ply p were about to run with nothing
// remembered; the parent's values let nothing cut unless a row sets them.
void prepare(Engine& e, const char* sfen, int p) {
  load_untouched(e, parse(sfen));
  std::memcpy(e.ply_mode, e.ply_mode_base, sizeof e.ply_mode);
  e.depth_limit = e.base_depth;
  clear_killers(e, MAX_PLY);
  for (int q = -1; q <= p; ++q) last_to_sq(e, q) = 0;
  for (int q = 0; q < p; ++q) {
    e.ply_eval[q] = 0;
    e.ply_best[q] = q % 2 == 0 ? GOTE_NOTHING_YET : SENTE_NOTHING_YET;
  }
  e.game_ply = 10;
  e.ply = p;
}

// Makes a move of the human's at ply `at`, as the node of that ply would have made it.
void human_moves(Engine& e, int at, int from, int to) {
  const int code = e.pos.board[from];
  make_board_move(e.effects, e.pos, at, last_to_sq(e, at - 1), from, to, code);
  last_to_sq(e, at) = to;
}

// Nodes that one GOTE board move at ply p enters when the depth ends right below it: 1 when its reply is
// searched, 0 when the move is passed over.
uint64_t nodes_of_gote_move(Engine& e, int p, int from, int to) {
  e.ply = p;
  e.depth_limit = p + 1;
  e.ply_best[p] = GOTE_NOTHING_YET;
  const uint64_t before = e.nodes;
  dispatch_move(e, from, e.pos.board[from], to, e.pos.board[from], e.pos.board[to]);
  return e.nodes - before;
}

}  // namespace

TEST(Interest, OpenedLineMeansTheOpponentsMoveOfThePreviousPly) {
  // The human's bishop on 8h, its diagonal blocked by the silver on 7g. The silver steps to 7f and opens
  // the diagonal over 4d. The computer's knight 5b-4d lands there (the gold on 4c defends the cell);
  // nothing attacks the knight and both its new contact cells are empty and unwatched, so only the
  // opened-line rule can make the move interesting (test B at ply 4 of the weakest strength). Landing
  // undefended costs 100 but does not stop the search.
  const char* with_gold = "k8/4n4/5g3/9/9/9/2S6/1B7/8K w - 1";
  const char* without_gold = "k8/4n4/9/9/9/9/2S6/1B7/8K w - 1";
  const int silver_from = cell_of(2, 6), silver_to = cell_of(2, 5);
  const int knight_from = cell_of(4, 1), knight_to = cell_of(5, 3);
  struct Row {
    const char* what;
    const char* sfen;
    int silver_ply;   // the ply at which the human's silver opens the diagonal
    uint64_t nodes;
  } rows[] = {
      {"the line opened by the human's last move, defended: searched", with_gold, 3, 1},
      {"the same line opened by the human's move before: passed over", with_gold, 1, 0},
      // The maps are read before the move, when the mover itself still attacks its destination.
      {"opened by the last move, no other defender: the knight's own attack counts", without_gold, 3, 1},
      {"no defender, line opened before: passed over", without_gold, 1, 0},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_CHUUKARA);
    ASSERT_EQ(e->ply_mode_base[4], 4);
    prepare(*e, row.sfen, 4);
    human_moves(*e, row.silver_ply, silver_from, silver_to);
    ASSERT_GT(e->effects.count[SENTE][knight_to], 0) << row.what << ": the bishop's line reaches the cell";
    EXPECT_EQ(nodes_of_gote_move(*e, 4, knight_from, knight_to), row.nodes) << row.what;
  }
}

TEST(Interest, TestCCountsOnlyAttacksTheLastMoveCreated) {
  // The computer's knight on 5b is attacked by the human's knight on 6d; its move 5b-4d touches nothing.
  // Test B (ply 4) searches it because the knight stands attacked; test C (ply 6) only when the human's
  // last move created that attack.
  const char* jumps_in = "k8/4n4/9/9/9/2N6/9/9/8K w - 1";       // the knight 7f jumps to 6d
  const char* already_there = "k8/4n4/9/3N5/9/9/P8/9/8K w - 1";  // the knight stands on 6d; 9g9f is played
  const int knight_from = cell_of(4, 1), knight_to = cell_of(5, 3);
  struct Row {
    const char* what;
    const char* sfen;
    int human_from, human_to;
    int ply;
    uint64_t nodes;
  } rows[] = {
      {"test C, attack created by the last move: searched", jumps_in, cell_of(2, 5), cell_of(3, 3), 6, 1},
      {"test C, attack that was there before: passed over", already_there, cell_of(0, 6), cell_of(0, 5), 6, 0},
      {"test B, attack created by the last move: searched", jumps_in, cell_of(2, 5), cell_of(3, 3), 4, 1},
      {"test B, attack that was there before: searched", already_there, cell_of(0, 6), cell_of(0, 5), 4, 1},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_KARAKUCHI);
    ASSERT_EQ(e->ply_mode_base[4], 4);
    ASSERT_EQ(e->ply_mode_base[6], 6);
    prepare(*e, row.sfen, row.ply);
    human_moves(*e, row.ply - 1, row.human_from, row.human_to);
    ASSERT_GT(e->effects.count[SENTE][knight_from], 0) << row.what << ": the knight stands attacked";
    EXPECT_EQ(nodes_of_gote_move(*e, row.ply, knight_from, knight_to), row.nodes) << row.what;
  }
}

TEST(Interest, HumansDropsRightAfterTheRootMove) {
  // Drops of the human at ply 1 with the depth ending below: the value is the drop's own delta plus the
  // landing terms. The computer's king on 5a, its gold on 6b watching 6c.
  struct Row {
    const char* what;
    const char* sfen;
    int kind;
    int col, row;
    int expected;   // ply_best[1] afterwards; -600000 when the drop is passed over
  } rows[] = {
      {"checking knight, undefended, a rook's ray on the cell ahead: +500",
       "4k4/3g3R1/9/9/9/9/9/9/8K b N 1", KNIGHT, 3, 2, -203 + 500},
      {"checking knight, undefended, no ray on the cell ahead: -100",
       "4k4/3g5/9/9/9/9/9/9/8K b N 1", KNIGHT, 3, 2, -203 - 100},
      {"undefended gold touching the gold but giving no check: -100, still searched",
       "4k4/3g5/9/9/9/9/9/9/8K b G 1", GOLD, 2, 2, -336 - 100},
      {"the same gold defended by a lance: no landing term",
       "4k4/3g5/9/9/9/9/9/9/2L5K b G 1", GOLD, 2, 2, -336},
      {"a silver far from everything, touching nothing: passed over",
       "4k4/9/9/9/9/9/9/9/8K b S 1", SILVER, 0, 4, SENTE_NOTHING_YET},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_CHUUKARA);
    prepare(*e, row.sfen, 1);
    e->depth_limit = 2;
    e->ply_best[1] = SENTE_NOTHING_YET;
    search_drop(*e, SENTE, cell_of(row.col, row.row), row.kind);
    EXPECT_EQ(e->ply_best[1], row.expected) << row.what;
  }
}

TEST(Interest, StaticRecaptureOfTheLastPly) {
  // The middle strength's ply 9 only scores whether the human can take back on the computer's last
  // destination, 5e.
  struct Row {
    const char* what;
    const char* sfen;
    int expected;
  } rows[] = {
      {"a pawn takes the silver back", "k8/9/9/9/4s4/4P4/9/9/8K b - 1", 800},
      {"a rook two cells below takes it back along its line", "k8/9/9/9/4s4/9/4R4/9/8K b - 1", 800},
      {"a knight takes it back", "k8/9/9/9/4s4/9/5N3/9/8K b - 1", 800},
      {"nothing of the human's reaches the cell", "k8/9/9/9/4s4/9/9/9/8K b - 1", 0},
      {"the rook's line is blocked by its own pawn", "k8/9/9/9/4s4/4P4/4R4/9/8K b - 1", 800},
      {"the cell holds the human's own piece", "k8/9/9/9/4P4/4G4/9/9/8K b - 1", 0},
      {"the computer's king stands there attacked: no king test at this ply", "9/9/9/9/4k4/4P4/9/9/8K b - 1",
       300000},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_KARAKUCHI);
    ASSERT_EQ(e->ply_mode_base[9], 9);
    prepare(*e, row.sfen, 9);
    last_to_sq(*e, 8) = cell_of(4, 4);
    sente_node(*e);
    EXPECT_EQ(e->ply_best[9], row.expected) << row.what;
  }
}

TEST(Interest, CutoffComparesThroughTheParentsMove) {
  // A lone king to move, depth ending right below: every king move is worth 0 and is searched (ply 1
  // searches all moves, ply 2's test A all king moves). The parent's move is worth 0 too, so the node
  // stops after its first move exactly when that 0 already matches the parent's best.
  struct Row {
    const char* what;
    int ply;
    int parent_best;
    uint64_t nodes;   // the node itself, its searched replies and its pass
  } rows[] = {
      {"human's node: the parent's best -1 is already reached, cut after one move", 1, -1, 2},
      {"human's node: the parent's best 0 is matched, cut after one move", 1, 0, 2},
      {"human's node: the parent's best 1 is not, five moves and the pass", 1, 1, 7},
      {"computer's node: the parent's best 1 is already reached, cut after one move", 2, 1, 2},
      {"computer's node: the parent's best 0 is matched, cut after one move", 2, 0, 2},
      {"computer's node: the parent's best -1 is not, five moves and the pass", 2, -1, 7},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_CHUUKARA);
    prepare(*e, "4k4/9/9/9/9/9/9/9/4K4 b - 1", row.ply);
    e->depth_limit = row.ply + 1;
    e->ply_eval[row.ply - 1] = 0;
    e->ply_best[row.ply - 1] = row.parent_best;
    const uint64_t before = e->nodes;
    if (row.ply == 1) sente_node(*e); else gote_node(*e);
    EXPECT_EQ(e->nodes - before, row.nodes) << row.what;
    EXPECT_EQ(e->ply_best[row.ply], 0) << row.what;
  }
}

TEST(Interest, RememberedMoveMustStillFitThePosition) {
  // The computer's rook on 9a once took a pawn on 9d down an open file (its ray reached 9d then). Now
  // its own pawn on 9c blocks the file: the remembered capture fails the rays test and is not tried, so
  // the node searches exactly what it searches with nothing remembered. On the open file it is tried
  // from the list and skipped by generation, which again gives the same count.
  struct Row {
    const char* what;
    const char* sfen;
  } rows[] = {
      {"file blocked by the computer's own pawn", "r3k4/9/p8/P8/9/9/9/9/4K4 w - 1"},
      {"file open", "r3k4/9/9/P8/9/9/9/9/4K4 w - 1"},
  };
  const int from = cell_of(0, 0), to = cell_of(0, 3);
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_CHUUKARA);
    auto count_nodes = [&](bool remembered) {
      prepare(*e, row.sfen, 2);
      e->depth_limit = 3;
      if (remembered) remember_board_move(*e, 2, from, ROOK + GOTE_BIT, to, ROOK + GOTE_BIT, PAWN, RAY_S);
      const uint64_t before = e->nodes;
      gote_node(*e);
      return e->nodes - before;
    };
    const uint64_t plain = count_nodes(false);
    EXPECT_GT(plain, 1u) << row.what;
    EXPECT_EQ(count_nodes(true), plain) << row.what;
  }
}

TEST(Interest, PlyWithoutAVariantEndsItsNodeWithZero) {
  // A schedule that ends before the depth does: the first move tried at the mode -1 ply ends the node.
  auto e = make_engine(STRENGTH_CHUUKARA);
  prepare(*e, "4k4/9/9/9/9/9/9/9/4K4 w - 1", 2);
  e->ply_mode[2] = -1;
  e->ply_best[2] = 12345;
  const uint64_t before = e->nodes;
  gote_node(*e);
  EXPECT_EQ(e->ply_best[2], 0);
  EXPECT_EQ(e->nodes - before, 1u) << "nothing below the node is searched";
}
