// The think driver: schedules and the hand rule per strength, resignation, the mate thread's answer
// replacing the search's, the book, the outside stop, and that no thread outlives a think. Some cases run
// the real search; others give the driver a search of their own that leaves a chosen result, so that the
// driver's own rules are what is tested.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "core/sfen.h"
#include "search/engine.h"
#include "search/search.h"
#include "think/engine_init.h"
#include "support/think_request.h"
#include "think/think.h"
#include "think/think_ahead.h"
#include "think/think_evaluation.h"

using namespace halvane;

namespace {

std::unique_ptr<Engine> make_engine(const Strength& level) {
  auto e = std::make_unique<Engine>();
  engine_init(*e, level);
  return e;
}

EngineView view_of(const char* sfen) {
  SfenPosition pos;
  std::string error;
  EXPECT_TRUE(parse_sfen(sfen, pos, error)) << sfen << ": " << error;
  return engine_view(pos);
}

// The position in its own coordinates, the side to move as it is: not turned into the engine's view.
ThinkRequest own_request(const SfenPosition& pos, const ThinkRequest& options = {}) {
  ThinkRequest r = options;
  clear_board(r.board);
  for (int i = 0; i < 81; ++i) r.board[cell_of(i % 9, i / 9)] = pos.board[i];
  std::memcpy(r.hand[SENTE], pos.hand[BLACK], 8);
  std::memcpy(r.hand[GOTE], pos.hand[WHITE], 8);
  r.side = pos.side_to_move == BLACK ? SENTE : GOTE;
  return r;
}

// What a stand-in search saw and what it leaves behind.
struct SearchScript {
  int score = 0;
  MoveRecord move;
  bool wait_for_mate_thread = false;   // return only after the mate thread has finished its run
  int seen_depth_limit = -1;
  int seen_mode[SCHEDULE_LEN] = {};
  int seen_game_ply = -1;
  int seen_root_best = 0;
};
SearchScript script;

void scripted_search(Engine& e) {
  script.seen_depth_limit = e.depth_limit;
  for (int p = 0; p < SCHEDULE_LEN; ++p) script.seen_mode[p] = e.ply_mode[p];
  script.seen_game_ply = e.game_ply;
  script.seen_root_best = e.ply_best[0];
  if (script.wait_for_mate_thread) {
    // A mate search of these small positions ends in well under a second; the bound keeps a broken
    // solver from hanging the test.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (e.mate_running.load(std::memory_order_acquire) != 0 && std::chrono::steady_clock::now() < give_up)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(e.mate_running.load(), 0) << "the mate thread did not finish";
  }
  e.result_move = script.move;
  e.ply_best[0] = script.score;
}

MoveRecord some_move() {
  MoveRecord m;
  m.from_col = 2, m.from_row = 2, m.piece = 16, m.to_col = 2, m.to_row = 3, m.piece_after = 16;
  return m;
}

// Thinks with the stand-in search, which leaves `score` and some_move(); it may first wait for the mate
// thread, so that the driver's rules see that thread's answer for certain.
void think_scripted(Engine& e, const EngineView& view, int score = 0, bool wait_for_mate_thread = false) {
  script = SearchScript{};
  script.score = score;
  script.move = some_move();
  script.wait_for_mate_thread = wait_for_mate_thread;
  ThinkRequest options;
  options.main_search = scripted_search;
  think(e, test_support::request_for(view, e.game_ply, options));
}

// After 2g2f 8c8d 2f2e 8d8e 6i7h, white to move: no book entry has it.
constexpr const char* OUT_OF_BOOK = "lnsgkgsnl/1r5b1/p1ppppppp/9/1p5P1/9/PPPPPPP1P/1BG4R1/LNS1KGSNL w - 6";
constexpr const char* BENCH_FOUR = "ln1g3nl/1r1s1kg2/p1ppppsp1/1p4p1p/7P1/2P3P2/PPSPPP2P/2G1K2R1/LN3GSNL b Bb 1";
constexpr unsigned BENCH_LIKE_SEED = 12345;

void expect_no_thread_left(const Engine& e) {
  EXPECT_FALSE(e.mate_thread.joinable()) << "the mate thread outlived the think";
  EXPECT_EQ(e.mate_running.load(), 0);
  EXPECT_EQ(e.mate_thread_solver.mate_found.load(), 0) << "the stop signal clears mate_found";
  EXPECT_EQ(e.mate_thread_solver.depth_limit.load(), 0) << "the stop signal zeroes the solver's depth";
}

}  // namespace

TEST(Think, SchedulesAndHandRulePerStrength) {
  const int strongest[SCHEDULE_LEN] = {0, 1, 2, 3, 4, 5, 6, 7, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  const int middle[SCHEDULE_LEN] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  const int weakest[SCHEDULE_LEN] = {0, 1, 2, 3, 4, 5, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  struct Row {
    const char* what;
    const Strength* level;
    const char* sfen;   // white to move, so the engine view is the position itself
    const int* schedule;
    int depth_limit;
  };
  const Row rows[] = {
      {"strongest, empty hands", &STRENGTH_GEKIKARA, "lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2", strongest, 12},
      {"strongest, pawns only", &STRENGTH_GEKIKARA, "lnsgkgsnl/1r5b1/pppppp1pp/9/9/2P6/PP1PPP1PP/1B5R1/LNSGKGSNL w Pp 6", strongest, 12},
      {"strongest, a silver in the human's hand", &STRENGTH_GEKIKARA, "lnsgkg1nl/1r5b1/pppppp1pp/9/9/2P6/PP1PPP1PP/1B5R1/LN1GKGSNL w Sspp 6", middle, 10},
      {"strongest, a rook in the computer's hand", &STRENGTH_GEKIKARA, "lnsgkgsnl/7b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B7/LNSGKGSNL w r 2", middle, 10},
      {"strongest, a bishop each", &STRENGTH_GEKIKARA, "lnsgkgsnl/1r7/ppppppppp/9/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w Bb 2", middle, 10},
      {"middle, a silver in hand (no hand rule)", &STRENGTH_KARAKUCHI, "lnsgkg1nl/1r5b1/pppppp1pp/9/9/2P6/PP1PPP1PP/1B5R1/LN1GKGSNL w Sspp 6", middle, 10},
      {"weakest, mode 8 at ply 6", &STRENGTH_CHUUKARA, "lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2", weakest, 8},
      {"weakest, a rook in hand (no hand rule)", &STRENGTH_CHUUKARA, "lnsgkgsnl/7b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B7/LNSGKGSNL w r 2", weakest, 8},
  };
  for (const Row& row : rows) {
    auto e = make_engine(*row.level);
    const EngineView view = view_of(row.sfen);
    e->game_ply = 41;
    think_scripted(*e, view);
    EXPECT_EQ(script.seen_depth_limit, row.depth_limit) << row.what;
    for (int p = 0; p < SCHEDULE_LEN; ++p) EXPECT_EQ(script.seen_mode[p], row.schedule[p]) << row.what << ", ply " << p;
    EXPECT_EQ(script.seen_game_ply, 42) << row.what << ": the think counts its own move";
    EXPECT_EQ(script.seen_root_best, GOTE_NOTHING_YET) << row.what;
    // The shortened schedule lasts one think only: the level's own schedule is untouched.
    for (int p = 0; p < SCHEDULE_LEN; ++p) EXPECT_EQ(e->ply_mode_base[p], row.level->ply_mode_base[p]) << row.what;
    expect_no_thread_left(*e);
  }
}

TEST(Think, ResignsAtEightThousandBehindButNotAtOneLess) {
  struct Row {
    int score;
    int resign;
  };
  const Row rows[] = {{7999, 0}, {8000, 1}, {25000, 1}, {-100000, 0}, {0, 0}};
  const EngineView view = view_of("lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2");
  auto e = make_engine(STRENGTH_CHUUKARA);
  for (const Row& row : rows) {
    think_scripted(*e, view, row.score, true);   // the opening has no mate: the rule sees f = 0 for certain
    EXPECT_EQ(e->resign_flag, row.resign) << "score " << row.score;
    EXPECT_EQ(e->ply_best[0], row.score) << "score " << row.score;
    if (!row.resign) {
      EXPECT_EQ(e->result_move, some_move()) << "score " << row.score;
    }
    expect_no_thread_left(*e);
  }
}

// The mate thread's answer replaces the search's move and score, so that a think far behind does not
// resign; a mate by a pawn drop is against the rules and is not reported: the search's move stands.
TEST(Think, TheMateThreadsMateReplacesTheSearchsMove) {
  struct Row {
    const char* sfen;   // black (the attacker) to move: the engine view turns it
    int search_score;
    const char* first_move;   // the mate's; nullptr: the search's move stands
    int score;
  };
  const Row rows[] = {
      {"4k4/9/4P4/9/9/9/9/9/4K4 b G 1", 30000, "G*5b", 1 - MATE_SCORE_BASE},
      {"9/4k4/9/4P4/9/9/9/9/4K4 b 2G 1", 30000, "G*5c", 3 - MATE_SCORE_BASE},
      // P*1b would mate at once; there is no other mate.
      {"7nk/7s1/9/7N1/9/9/9/9/8K b P 1", -120, nullptr, -120},
  };
  for (const Row& row : rows) {
    for (const Strength* level : STRENGTHS) {
      auto e = make_engine(*level);
      const EngineView view = view_of(row.sfen);
      think_scripted(*e, view, row.search_score, true);
      EXPECT_EQ(e->resign_flag, 0) << row.sfen << " " << level->name;
      EXPECT_EQ(e->ply_best[0], row.score) << row.sfen << " " << level->name;
      if (row.first_move) {
        EXPECT_EQ(move_to_usi(move_from_engine_view(view, e->result_move)), row.first_move) << row.sfen;
      } else {
        EXPECT_EQ(e->result_move, some_move()) << row.sfen << " " << level->name;
      }
      expect_no_thread_left(*e);
    }
  }
}

TEST(Think, BookMoveScoresMinusOneHundredThousand) {
  // After 7g7f the computer (white) answers from the book with 3c3d.
  SfenPosition pos = startpos();
  MoveRecord m;
  std::string error;
  ASSERT_TRUE(parse_usi_move("7g7f", pos, m, error)) << error;
  apply_move(pos, m);
  const EngineView view = engine_view(pos);
  for (const Strength* level : STRENGTHS) {
    auto e = make_engine(*level);
    think(*e, test_support::request_for(view, 1));
    EXPECT_EQ(e->resign_flag, 0) << level->name;
    EXPECT_EQ(e->ply_best[0], -MATE_SCORE_BASE) << level->name;
    EXPECT_EQ(move_to_usi(move_from_engine_view(view, e->result_move)), "3c3d") << level->name;
    EXPECT_EQ(e->game_ply, 2) << level->name;
    expect_no_thread_left(*e);
  }
}

// The evaluation: the material at the engine's values (counted by hand: pawn 100, lance 400, knight 600,
// silver 800, gold 1000, bishop 1400, rook 1600, promoted 401, 501, 601, 801, 1701, 1901; the same in hand)
// plus the think's change, from the request's SENTE side; the position turned reads the opposite.
TEST(Think, EvaluationIsTheMaterialPlusTheChangeFromSentesSide) {
  enum Expect { CHANGE, MATE_IN_ONE, NONE };
  struct Row { const char* sfen; int material; Expect expect; };
  const Row rows[] = {
      {"lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2", 0, NONE},   // the book's 3c3d
      {OUT_OF_BOOK, 0, CHANGE},
      // After 7g7f 3c3d 8h2b+: a horse for the bishop, the other bishop in hand.
      {"lnsgkgsnl/1r5+B1/pppppp1pp/6p2/9/2P6/PP1PPPPPP/7R1/LNSGKGSNL w B 4", 1701 - 1400 + 1400 + 1400, CHANGE},
      {"k8/9/9/9/9/2+b6/9/9/4K2+L1 b GN3p 1", 501 + 1000 + 600 - 1701 - 300, CHANGE},
      {"4k4/9/4P4/9/9/9/9/9/4K4 b G 1", 100 + 1000, MATE_IN_ONE},
  };
  auto e = make_engine(STRENGTH_CHUUKARA);
  for (const Row& row : rows) {
    SfenPosition pos;
    std::string error;
    ASSERT_TRUE(parse_sfen(row.sfen, pos, error)) << error;
    ThinkRequest own = own_request(pos);
    own.fixed_seed = true;
    EXPECT_EQ(material_balance(own.board, own.hand), row.material) << row.sfen;
    const ThinkResult r = think(*e, own);
    const int change = (own.side == SENTE ? 1 : -1) * r.meaning.value;   // meaning: the think's side's view
    const int expected[] = {row.material + change, mate_evaluation(1, own.side == SENTE), NO_EVALUATION};
    EXPECT_EQ(r.evaluation, expected[row.expect]) << row.sfen;
    const ThinkResult turned = think(*e, test_support::request_for(engine_view(pos), 0, own));
    EXPECT_EQ(turned.evaluation, engine_view(pos).rotated ? other_side_evaluation(r.evaluation) : r.evaluation) << row.sfen;
  }
}

TEST(Think, AStopAskedBeforeTheRootSearchesNothingAndLeavesTheStartScore) {
  const EngineView view = view_of(OUT_OF_BOOK);
  auto e = make_engine(STRENGTH_GEKIKARA);
  e->stop_requested.store(1);
  e->result_move = MoveRecord{};
  think(*e, test_support::request_for(view));
  EXPECT_EQ(e->ply_best[0], GOTE_NOTHING_YET) << "no root move may be searched after the stop";
  EXPECT_EQ(e->result_move, MoveRecord{});
  expect_no_thread_left(*e);
}

TEST(Think, NodeCountsRepeatWithAFixedSeedAndNeverChangeTheMove) {
  const EngineView view = view_of(OUT_OF_BOOK);
  auto e = make_engine(STRENGTH_CHUUKARA);
  ThinkRequest options;
  options.fixed_seed = true;
  options.seed = 7;
  MoveRecord moves[2];
  int scores[2];
  uint64_t nodes[2];
  for (int run = 0; run < 2; ++run) {
    e->nodes = 123456789;   // a stale count from an earlier think must not matter
    think(*e, test_support::request_for(view, 0, options));
    moves[run] = e->result_move;
    scores[run] = e->ply_best[0];
    nodes[run] = e->nodes;
    expect_no_thread_left(*e);
  }
  EXPECT_EQ(moves[0], moves[1]);
  EXPECT_EQ(scores[0], scores[1]);
  EXPECT_EQ(nodes[0], nodes[1]);
  EXPECT_GT(nodes[0], 0u);
  EXPECT_LT(nodes[0], 123456789u);
}

// A request with SENTE to move is the same think on the rotated position: the same nodes, and the answer
// rotated back into the request's coordinates.
TEST(Think, SenteToMoveIsThoughtTurnedAndAnsweredInItsOwnCoordinates) {
  const EngineView view = view_of(OUT_OF_BOOK);
  SfenPosition pos;
  std::string error;
  ASSERT_TRUE(parse_sfen(OUT_OF_BOOK, pos, error)) << error;
  rotate_position(pos);   // the same game seen from the other side: black to move
  ThinkRequest options;
  options.fixed_seed = true;
  options.seed = 5;
  // The rotated game as it stands, black (SENTE) to move, not rotated into the engine's view.
  const ThinkRequest rotated = own_request(pos, options);
  auto e = make_engine(STRENGTH_CHUUKARA);
  const ThinkResult direct = think(*e, test_support::request_for(view, 0, options));
  const ThinkResult other = think(*e, rotated);
  EXPECT_EQ(other.search_nodes, direct.search_nodes);
  EXPECT_EQ(other.score, direct.score);
  EXPECT_EQ(other.move, rotate_move(direct.move));
  // The ranking of the side's moves: led by the answer, distinct, rotated back alike.
  ASSERT_EQ(direct.ranked_count, RANKED_MOVES);
  EXPECT_EQ(direct.ranked[0], direct.move);
  for (int i = 0; i < RANKED_MOVES; ++i) {
    EXPECT_EQ(other.ranked[i], rotate_move(direct.ranked[i])) << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(direct.ranked[i], direct.ranked[j]) << i << " " << j;
  }
}

// A stop asked at an exact node, from inside the search: counts decide, never the clock.
struct StopHook {
  int ply = -1;        // ply of the node the stop was asked at
  int only_depth = 0;  // when not 0: stop only a think of this depth limit
};
StopHook stop_hook;

void stop_at_node(Engine& e) {
  if (stop_hook.only_depth != 0 && e.depth_limit != stop_hook.only_depth) return;
  stop_hook.ply = e.ply;
  stop_think(e);
}

ThinkResult think_with_stop_at(Engine& e, const EngineView& view, uint64_t node, ThinkRequest options) {
  stop_hook = StopHook{};
  e.node_hook_at = node;
  e.node_hook = stop_at_node;
  options.fixed_seed = true;
  options.seed = BENCH_LIKE_SEED;
  return think(e, test_support::request_for(view, 0, options));
}

TEST(Think, AnOutsideStopEndsTheSearchWithinAFewNodesAtAnyPlyAndSide) {
  const EngineView view = view_of(OUT_OF_BOOK);
  auto e = make_engine(STRENGTH_GEKIKARA);
  constexpr uint64_t FEW_NODES = 16;
  bool gote_ply = false, sente_ply = false;
  int deepest = 0;
  for (uint64_t at : {2, 3, 5, 40, 700, 9000, 60000, 150000, 250000, 400000}) {
    clear_stop(*e);
    const ThinkResult r = think_with_stop_at(*e, view, at, ThinkRequest{});
    ASSERT_GE(stop_hook.ply, 0) << "the search ended before node " << at;
    EXPECT_TRUE(r.stopped);
    EXPECT_LE(r.search_nodes, at + FEW_NODES) << "stop asked at node " << at << ", ply " << stop_hook.ply;
    // Inside the first root move's tree: that move's partial value must not be taken.
    if (at <= 5) {
      EXPECT_EQ(r.move.to_col, -1) << "no root move was completed";
    }
    (stop_hook.ply % 2 == 0 ? gote_ply : sente_ply) = true;
    deepest = std::max(deepest, stop_hook.ply);
    expect_no_thread_left(*e);
  }
  EXPECT_TRUE(gote_ply && sente_ply) << "the table should stop nodes of both sides";
  EXPECT_GE(deepest, 4);
}

TEST(Think, ATimeLimitedThinkNeverStoppedIsExactlyTheLevelsThink) {
  const char* const sfens[] = {OUT_OF_BOOK, BENCH_FOUR};
  for (const char* sfen : sfens) {
    const EngineView view = view_of(sfen);
    auto e = make_engine(STRENGTH_CHUUKARA);
    ThinkRequest options;
    options.fixed_seed = true;
    options.seed = BENCH_LIKE_SEED;
    const ThinkResult plain = think(*e, test_support::request_for(view, 0, options));
    options.limit_ms = 3600 * 1000;
    const ThinkResult limited = think(*e, test_support::request_for(view, 0, options));
    EXPECT_TRUE(limited.move == plain.move && limited.score == plain.score) << sfen;
    EXPECT_TRUE(limited.search_nodes == plain.search_nodes && limited.reply_nodes == plain.reply_nodes) << sfen;
    EXPECT_EQ(limited.completed, 3) << "depth 4, depth 6 and the level's own";
    EXPECT_TRUE(limited.depth_limit == 8 && !limited.limited && limited.all_nodes > limited.nodes());
    options.limit_ms = 0;
    options.until_stopped = true;   // halvane-usi's plain go, never stopped: the same
    const ThinkResult unstopped = think(*e, test_support::request_for(view, 0, options));
    EXPECT_TRUE(unstopped.move == plain.move && unstopped.search_nodes == plain.search_nodes && !unstopped.limited) << sfen;
  }
}

TEST(Think, ATimeLimitedThinkStoppedInItsOwnSearchAnswersTheLargestCompletedOne) {
  const EngineView view = view_of(OUT_OF_BOOK);
  ThinkRequest options;
  options.fixed_seed = true;
  options.seed = BENCH_LIKE_SEED;
  auto weaker = make_engine(STRENGTH_CHUUKARA);
  const ThinkResult expected = think(*weaker, test_support::request_for(view, 0, options));

  auto e = make_engine(STRENGTH_KARAKUCHI);
  options.limit_ms = 3600 * 1000;
  stop_hook = StopHook{};
  e->node_hook_at = 20000;
  e->node_hook = stop_at_node;
  stop_hook.only_depth = 10;
  const ThinkResult r = think(*e, test_support::request_for(view, 0, options));
  EXPECT_GE(stop_hook.ply, 0) << "the level's own think was not stopped";
  EXPECT_TRUE(r.limited && r.completed == 3 && r.depth_limit == 8);
  EXPECT_TRUE(r.move == expected.move && r.score == expected.score && r.search_nodes == expected.search_nodes);
  expect_no_thread_left(*e);

  // A limit that passes at once still gives a searched move, never a resignation.
  clear_stop(*e);
  e->node_hook_at = ~0ULL;
  options.limit_ms = 1;
  const ThinkResult quick = think(*e, test_support::request_for(view, 0, options));
  EXPECT_EQ(quick.stopped, quick.completed == 0);
  EXPECT_TRUE(quick.move.to_col != -1 && !quick.resigned);
  EXPECT_EQ(e->stop_requested.load(), 0) << "the limit's own stop must not outlive the think";
}

// Waits until the think ahead thinks on its guessed reply (one played sooner is not taken); returns its request.
ThinkRequest guessed_request(ThinkAhead& a) {
  std::unique_lock<std::mutex> lock(a.mutex);
  a.changed.wait(lock, [&] { return a.guess_done && (a.guessed == 0 || a.running_on[0] >= 0); });
  EXPECT_GT(a.guessed, 0) << "no reply was guessed";
  ThinkRequest r = a.requests[0];
  r.background = false;
  return r;
}

TEST(ThinkAhead, TakesExactlyTheThinkAfterTheGuessedReply) {
  ThinkAhead a;
  a.engines[0] = new_engine(STRENGTH_CHUUKARA);
  ThinkRequest options;
  options.fixed_seed = true;
  options.seed = BENCH_LIKE_SEED;
  const ThinkRequest now = test_support::request_for(view_of(OUT_OF_BOOK), 20, options);

  // The guessed position is the one after one move of the player's, with the next move count.
  think_ahead_start(a, now);
  const ThinkRequest expected = guessed_request(a);
  EXPECT_TRUE(expected.game_ply == 21 && expected.side == GOTE);
  int changed_cells = 0;
  for (int c = 0; c < BOARD_CELLS; ++c) changed_cells += expected.board[c] != now.board[c];
  EXPECT_TRUE(changed_cells == 1 || changed_cells == 2) << changed_cells;

  // Taken: exactly the think the game would have started there.
  ThinkResult result;
  Engine* followed = nullptr;
  const auto follow = [](Engine& thinking, void* seen) { *static_cast<Engine**>(seen) = &thinking; };
  ASSERT_TRUE(think_ahead_take(a, expected, result, follow, &followed));
  EXPECT_EQ(followed, a.engines[0].get());
  EXPECT_FALSE(think_ahead_running(a));
  auto fresh = make_engine(STRENGTH_CHUUKARA);
  const ThinkResult direct = think(*fresh, expected);
  EXPECT_TRUE(result.move == direct.move && result.score == direct.score &&
              result.search_nodes == direct.search_nodes);

  // The likeliest reply's think done, the next likeliest follows; a finished one is taken at once.
  think_ahead_start(a, now);
  ThinkRequest second;
  {
    std::unique_lock<std::mutex> lock(a.mutex);
    a.changed.wait(lock, [&] { return a.complete[1] || (a.guess_done && a.guessed < 2); });
    ASSERT_TRUE(a.complete[1]);
    second = a.requests[1];
    second.background = false;
  }
  EXPECT_FALSE(same_think(second, expected));
  ASSERT_TRUE(think_ahead_take(a, second, result, nullptr, nullptr));
  EXPECT_FALSE(think_ahead_running(a));
  const ThinkResult second_direct = think(*fresh, second);
  EXPECT_TRUE(result.move == second_direct.move && result.search_nodes == second_direct.search_nodes);

  // A cancel at once leaves nothing behind, and the next start works again.
  think_ahead_start(a, now);
  think_ahead_cancel(a);
  EXPECT_TRUE(!think_ahead_running(a) && a.engines[0]->stop_requested.load() == 0);
  expect_no_thread_left(*a.engines[0]);
}
