// The main search from its root: the book, king captures, the reply-mate score, the refused pawn-drop
// mate, the scoring of root moves, ties kept by generation order, and a search that leaves the position
// and the effect maps exactly as it found them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "book/book.h"
#include "search/search.h"
#include "support/positions.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

// What the think driver does before it runs the root: load, effects, the schedule, killers cleared.
void prepare_root(Engine& e, const SfenPosition& pos, int game_ply = 30) {
  const EngineView view = engine_view(pos);
  load_position(e.pos, view.board, view.hand[SENTE], view.hand[GOTE]);
  rebuild_effects(e.effects, e.pos);
  e.depth_limit = e.base_depth;
  std::memcpy(e.ply_mode, e.ply_mode_base, sizeof e.ply_mode);
  e.game_ply = game_ply;
  e.ply = 0;
  e.root_progress.store(0);
  e.ply_best[0] = GOTE_NOTHING_YET;
  e.result_move = MoveRecord{};
  e.mate_thread_solver.mate_found.store(0);
  clear_killers(e, e.max_plies);
}

// A USI move in the position's own coordinates.
MoveRecord parse_move(const SfenPosition& pos, std::string_view text) {
  MoveRecord m;
  std::string error;
  EXPECT_TRUE(parse_usi_move(text, pos, m, error)) << text << ": " << error;
  return m;
}

// The same move as the engine sees it (its view of a black-to-move position is rotated).
MoveRecord usi_move(const SfenPosition& pos, std::string_view text) {
  const MoveRecord m = parse_move(pos, text);
  return engine_view(pos).rotated ? rotate_move(m) : m;
}

struct Snapshot {
  EnginePosition pos;
  std::unique_ptr<EffectMaps> fx;
  explicit Snapshot(const Engine& e) : pos(e.pos), fx(std::make_unique<EffectMaps>(e.effects)) {}
  void expect_same(const Engine& e, const std::string& what) const {
    EXPECT_EQ(std::memcmp(pos.board, e.pos.board, sizeof pos.board), 0) << what << ": board";
    EXPECT_EQ(std::memcmp(pos.hand, e.pos.hand, sizeof pos.hand), 0) << what << ": hands";
    EXPECT_EQ(std::memcmp(fx->count, e.effects.count, sizeof fx->count), 0) << what << ": count";
    EXPECT_EQ(std::memcmp(fx->rays, e.effects.rays, sizeof fx->rays), 0) << what << ": rays";
    EXPECT_EQ(std::memcmp(fx->delta_count, e.effects.delta_count, sizeof fx->delta_count), 0)
        << what << ": delta_count";
  }
};

}  // namespace

TEST(Search, BookMoveEndsTheThinkAtOnce) {
  auto e = make_engine();
  SfenPosition pos = startpos();
  apply_move(pos, parse_move(pos, "7g7f"));   // the human's ▲７六歩; the computer (white) answers
  prepare_root(*e, pos);
  e->nodes = 0;
  gote_node(*e);
  EXPECT_EQ(e->result_move, (MoveRecord{6, 2, 16, 6, 3, 16, SQ_EMPTY}));   // △３四歩
  EXPECT_EQ(e->ply_best[0], BOOK_MOVE_SCORE);
  EXPECT_EQ(e->nodes, 1u) << "no node below the root";
}

TEST(Search, BookHintFavoursItsMove) {
  // The computer moves first: no book move, the hint △３四歩 with -30. With the reply cut off (depth 1)
  // a root move's value is its own delta plus 0..9 of noise, so the hinted move must win.
  auto e = make_engine();
  SfenPosition pos = startpos();
  rotate_position(pos);   // white (the computer) to move on the initial board
  prepare_root(*e, pos, 0);
  e->depth_limit = 1;
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    std::srand(seed);
    e->ply_best[0] = GOTE_NOTHING_YET;
    gote_node(*e);
    EXPECT_EQ(e->book_hint.move, (MoveRecord{6, 2, 16, 6, 3, 16, SQ_EMPTY}));
    EXPECT_EQ(e->book_hint.hint_score, -30);
    EXPECT_EQ(e->result_move, e->book_hint.move) << "seed " << seed;
    EXPECT_GE(e->ply_best[0], -30);
    EXPECT_LE(e->ply_best[0], -21);
  }
}

TEST(Search, RootMoveScores) {
  // With depth 1 the reply is not searched, so the root's best is the best move's delta plus noise.
  struct Row {
    const char* what;
    const char* sfen;
    const char* best;   // USI, the position's own coordinates
    int delta;
  } rows[] = {
      {"capture of a rook, promoting", "4k4/9/9/9/4r4/9/9/4R4/K8 w - 1", "5e5h+", -1610 - 268},
      {"capture of a rook, outside the zone", "4k4/9/9/9/4r4/4R4/9/9/K8 w - 1", "5e5f", -1610},
      {"pawn promotion", "8k/9/9/9/9/9/4p4/9/K8 w - 1", "5g5h+", -300},
      {"bishop promotion on a capture of a pawn", "8k/9/9/9/9/1b7/9/3P5/K8 w - 1", "8f6h+", -110 - 235},
      {"rook takes a gold, promoting", "8k/9/9/9/9/9/9/9/r3G3K w - 1", "9i5i+", -1010 - 268},
  };
  for (const Row& row : rows) {
    auto e = make_engine();
    const SfenPosition pos = parse(row.sfen);
    prepare_root(*e, pos);
    e->depth_limit = 1;
    gote_node(*e);
    EXPECT_EQ(e->result_move, usi_move(pos, row.best)) << row.what;
    EXPECT_GE(e->ply_best[0], row.delta) << row.what;
    EXPECT_LE(e->ply_best[0], row.delta + 9) << row.what;
  }
}

TEST(Search, RootKingCaptureScoresMinus300000) {
  auto e = make_engine(STRENGTH_CHUUKARA);
  // White's rook sees black's king down the file.
  const SfenPosition pos = parse("k8/9/9/9/4r4/9/9/9/4K4 w - 1");
  prepare_root(*e, pos);
  gote_node(*e);
  EXPECT_EQ(e->result_move, usi_move(pos, "5e5i+"));
  EXPECT_EQ(e->ply_best[0], -300000);
}

TEST(Search, FirstGeneratedOfEqualRootMovesWins) {
  // Kings only: every line is worth 0, so a root move's value is its noise, rand() % 10. The king on
  // 9a generates 9b, 8b, 8a in that order. Seeds are picked so that the smallest noise is shared.
  auto e = make_engine(STRENGTH_CHUUKARA);
  const SfenPosition pos = parse("k8/9/9/9/9/9/9/9/8K w - 1");
  const MoveRecord in_order[3] = {usi_move(pos, "9a9b"), usi_move(pos, "9a8b"), usi_move(pos, "9a8a")};
  int ties = 0, later_wins = 0;
  for (unsigned seed = 1; seed < 400 && (ties < 3 || later_wins < 2); ++seed) {
    std::srand(seed);
    int noise[3];
    for (int& n : noise) n = std::rand() % 10;
    const int low = std::min({noise[0], noise[1], noise[2]});
    const int first_low = noise[0] == low ? 0 : noise[1] == low ? 1 : 2;
    const int lows = (noise[0] == low) + (noise[1] == low) + (noise[2] == low);
    if (lows < 2 && (first_low == 0 || later_wins >= 2)) continue;
    prepare_root(*e, pos);
    seed_noise(*e, seed);   // the engine's own generator draws what srand and rand draw
    gote_node(*e);
    EXPECT_EQ(e->result_move, in_order[first_low]) << "seed " << seed;
    EXPECT_EQ(e->ply_best[0], low) << "seed " << seed;
    (lows >= 2 ? ties : later_wins) += 1;
  }
  EXPECT_GE(ties, 3);
}

TEST(Search, ReplyMateScores25000) {
  // White's king on 5a, black's gold on 5c backed by a pawn, a gold in black's hand: every king move
  // either walks into the gold or lets black drop the second gold for mate.
  auto e = make_engine(STRENGTH_CHUUKARA);
  const SfenPosition pos = parse("4k4/9/4G4/4P4/9/9/9/9/8K w G 1");
  prepare_root(*e, pos);
  gote_node(*e);
  EXPECT_GE(e->ply_best[0], REPLY_MATE_SCORE);
  EXPECT_LE(e->ply_best[0], REPLY_MATE_SCORE + 9 + 100);
}

TEST(Search, RootPawnDropMateIsNeverChosen) {
  // Black's king in the corner behind its knight and silver, white's gold on 1g: P*1h would mate, which
  // the rules forbid; with a gold in hand instead, G*1h mates and is played.
  auto e = make_engine(STRENGTH_CHUUKARA);
  const SfenPosition with_pawn = parse("k8/9/9/9/9/9/8g/7S1/7NK w p 1");
  prepare_root(*e, with_pawn);
  gote_node(*e);
  EXPECT_NE(e->result_move, usi_move(with_pawn, "P*1h"));
  EXPECT_GT(e->ply_best[0], ROOT_PAWN_DROP_MATE);
  const SfenPosition with_gold = parse("k8/9/9/9/9/9/8g/7S1/7NK w g 1");
  prepare_root(*e, with_gold);
  gote_node(*e);
  EXPECT_EQ(e->result_move, usi_move(with_gold, "G*1h"));
  EXPECT_LE(e->ply_best[0], ROOT_PAWN_DROP_MATE);
}

TEST(Search, WholeSearchLeavesPositionAndEffectsAsFound) {
  const char* sfens[] = {
      "l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1",
      "lnsgkgsnl/1r5b1/pppppp1pp/6p2/9/P1P6/1P1PPPPPP/1B5R1/LNSGKGSNL w - 1",
  };
  for (const char* sfen : sfens) {
    auto e = make_engine(STRENGTH_CHUUKARA);
    prepare_root(*e, parse(sfen));
    const Snapshot before(*e);
    const int kings[2] = {e->pos.king_sq[SENTE][0], e->pos.king_sq[GOTE][0]};
    gote_node(*e);
    before.expect_same(*e, sfen);
    EXPECT_EQ(e->pos.king_sq[SENTE][0], kings[SENTE]);
    EXPECT_EQ(e->pos.king_sq[GOTE][0], kings[GOTE]);
    EXPECT_LT(e->ply_best[0], GOTE_NOTHING_YET) << "a move was chosen";
    EXPECT_GT(e->nodes, 1u);
  }
}

TEST(Search, MateFoundStopsTheRootBeforeItsFirstColumn) {
  auto e = make_engine(STRENGTH_CHUUKARA);
  prepare_root(*e, parse("4k4/9/9/9/9/9/9/9/4K4 w - 1"));
  e->mate_thread_solver.mate_found.store(1);
  gote_node(*e);
  EXPECT_EQ(e->ply_best[0], GOTE_NOTHING_YET);
  EXPECT_EQ(e->root_progress.load(), 0);
  e->mate_thread_solver.mate_found.store(0);
}
