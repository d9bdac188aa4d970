// The mate solver's rules on positions set up by hand: mates in one of every kind, the generation order
// that breaks ties, shorter mates replacing longer ones, the pawn-drop mate in one, interposing drops,
// the king capture at the root, the repetition test, the ply limit, the stop signal and the reply check.
#include <atomic>
#include <chrono>
#include <thread>

#include "mate/mate_nodes.h"
#include "mate_fixture.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

// The reply check's root stops at the first mate it proves, in generation order: what the mate thread's
// root meets first, before it looks for shorter ones.
struct FirstMate {
  bool proven;
  std::string move;
  int len;
};
FirstMate first_mate_in_order(const std::string& sfen) {
  EngineView view;
  auto s = solver_for(sfen, &view);
  for (int side = 0; side < 2; ++side)
    for (int ply = 0; ply < MAX_PLY; ++ply) s->pos.king_sq[side][ply] = 0;
  fill_king_stacks(s->pos);
  const bool proven = run_reply_check(*s) == 1;
  return {proven, proven ? move_to_usi(move_from_engine_view(view, s->mate_move)) : "", s->mate_len[0]};
}

}  // namespace

// What the solver answers on positions set up by hand: `len` is mate_len[0] when a mate is found, else
// best_mate_len (set also when the kept mate was refused); `move` the kept mate's first move, "" for none.
TEST(MateSearch, AnswersOnHandSetPositions) {
  struct Row {
    const char* what;
    const char* sfen;
    bool found;
    int len;
    const char* move;
  } rows[] = {
      // Gold to 5b protected by the pawn; the pawn's promotion and the other gold mate as well, but the
      // gold on file 4 is generated first (files 1 to 9 as the attacker sees the board).
      {"first of three equal mates in one", "4k4/9/3GPG3/9/9/9/9/9/9 b - 1", true, 1, "4c5b"},
      {"with the gold behind it the promoting pawn comes first", "4k4/9/3GP4/9/9/9/9/9/9 b - 1", true, 1, "5c5b+"},
      {"knight drop into a smothered corner", "7lk/7np/9/9/9/9/9/9/9 b N 1", true, 1, "N*2c"},
      {"the same corner rotated, white attacking", "9/9/9/9/9/9/9/PN7/KL7 w n 1", true, 1, "N*8g"},
      // The silver steps off the rank and uncovers the rook; a pawn could only interpose on cells the
      // defender does not cover (file 2 already holds its pawn), so no defence is offered.
      {"discovered check", "RS6k/8p/7p1/6N2/9/9/9/9/9 b - 1", true, 1, "8a7b+"},
      {"discovered check, only futile interpositions in hand", "RS6k/8p/7p1/6N2/9/9/9/9/9 b p 1", true, 1, "8a7b+"},
      {"rook drop two cells off; the lances cannot interpose", "3lkl3/9/9/2N3N2/9/9/9/9/9 b R 1", true, 1, "R*5c"},
      // A discovered check can be blocked on the square the piece left and on every square between it and
      // the slider behind: the silver's step to 4b uncovers the rook, but the gold on 6b steps up to 6a or
      // 5a. Taking the gold first mates; without the gold the first discovered check generated mates.
      {"discovered check blocked behind the vacated square", "R3S3k/3g4p/7p1/6N2/9/9/9/9/9 b - 1", true, 1, "5a6b+"},
      {"the same without the gold", "R3S3k/8p/7p1/6N2/9/9/9/9/9 b - 1", true, 1, "5a4b+"},
      // The only defence against the discovered check is a gold dropped on 2a, a cell the king covers; it
      // is offered and holds the mate off for four more plies.
      {"a covered interposing drop is the only defence", "RS6k/8p/7p1/6N2/9/9/9/9/9 b g 1", true, 5, "8a7b+"},
      {"the initial position", "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1", false, NO_MATE_LEN, ""},
      // The pawn in hand may interpose on 2a, which the king covers: the discovered check no longer mates.
      {"interposition on a covered cell", "RS6k/8p/9/6N2/9/9/9/9/9 b p 1", false, NO_MATE_LEN, ""},
      {"a pawn interposes next to the king", "3lkl3/9/9/2N3N2/9/9/9/9/9 b Rp 1", false, NO_MATE_LEN, ""},
      // P*5b, protected by the knight, would mate: the lances and silvers hem the king in. Forbidden. With
      // a rook in hand as well longer mates exist, yet the pawn drop holds the shortest length and the
      // whole answer is refused; rotated round, as the think driver sees a black-to-move position, the same.
      {"pawn-drop mate in one", "3lkl3/3s1s3/9/3N5/9/9/9/9/9 b P 1", false, 1, "P*5b"},
      {"pawn-drop mate in one beside longer mates", "3lkl3/3s1s3/9/3N5/9/9/9/9/9 b PR 1", false, 1, "P*5b"},
      {"pawn-drop mate in one, rotated", "9/9/9/9/9/5n3/9/3S1S3/3LKL3 w p 1", false, 1, "P*5h"},
      // Without the defender's king there is nothing to check, nor any cell beside it to drop on.
      {"no king to attack", "9/9/9/9/9/9/9/9/4K4 b 2G 1", false, NO_MATE_LEN, ""},
      {"no king on the board", "9/9/9/9/4B4/9/9/9/9 b RGSNLP 1", false, NO_MATE_LEN, ""},
  };
  for (const Row& r : rows) {
    const MateRun run = solve_mate(r.sfen);
    EXPECT_EQ(run.found, r.found) << r.what;
    EXPECT_EQ(r.found ? run.len : run.best_len, r.len) << r.what;
    EXPECT_EQ(run.move, r.move) << r.what;
  }
}

TEST(MateSearch, EqualLengthsKeepTheFirstShorterReplacesLonger) {
  // Ties: the three mates in one of the first row above; the first generated stays.
  const FirstMate tie = first_mate_in_order("4k4/9/3GPG3/9/9/9/9/9/9 b - 1");
  ASSERT_TRUE(tie.proven);
  EXPECT_EQ(tie.move, "4c5b");
  EXPECT_EQ(solve_mate("4k4/9/3GPG3/9/9/9/9/9/9 b - 1").move, tie.move);

  // Shorter replaces longer: on the cell in front of the king the silver is dropped before the gold. The
  // silver drop mates too, but only after more plies; the gold drop that mates at once replaces it.
  const char* sfen = "4k4/9/4P4/9/9/9/9/9/9 b 2GS 1";
  const FirstMate first = first_mate_in_order(sfen);
  ASSERT_TRUE(first.proven);
  EXPECT_EQ(first.move, "S*5b");
  EXPECT_GT(first.len, 1);
  const MateRun best = solve_mate(sfen);
  EXPECT_TRUE(best.found);
  EXPECT_EQ(best.len, 1);
  EXPECT_EQ(best.move, "G*5b");
}

TEST(MateSearch, KingCaptureAtTheRoot) {
  EngineView view;
  auto s = solver_for("4k4/4R4/9/9/9/9/9/9/9 b - 1", &view);
  run_mate_search(*s);
  const MateRun run = read_result(*s, view);
  EXPECT_TRUE(run.found);
  EXPECT_EQ(run.len, 0);
  EXPECT_EQ(run.move, "5b5a+") << "the rook's first ray, promoted first in the zone";
  EXPECT_EQ(s->pass_at[0], FIRST_PASS) << "the second pass does not run";
}

// Back at the root position at an attacker ply of 4 or more, a line proves nothing; at ply 2, or with
// anything different (here one pawn more in hand), the same mate in one is proved.
TEST(MateSearch, RepetitionOfTheRootPositionProvesNothing) {
  auto s = solver_for("4k4/9/4PG3/9/9/9/9/9/9 b - 1");
  run_mate_search(*s);
  ASSERT_EQ(s->mate_found.load(), 1);
  auto node_at = [&](int ply) {
    s->depth_limit.store(MATE_DEPTH);
    rebuild_effects(s->effects, s->pos);
    s->ply = ply;
    attacker_node(*s, FIRST_PASS);
    return s->proven[ply];
  };
  EXPECT_EQ(node_at(4), 0);
  EXPECT_EQ(node_at(6), 0);
  EXPECT_EQ(node_at(2), 1);
  ++s->pos.hand[GOTE][PAWN];
  EXPECT_EQ(node_at(4), 1);
}

TEST(MateSearch, StopSignal) {
  // Depth words at 0 before the run: both root passes return at once, and a mate in one goes unseen.
  {
    auto s = solver_for("4k4/9/4PG3/9/9/9/9/9/9 b - 1");
    s->base_depth.store(0);
    s->depth_limit.store(0);
    run_mate_search(*s);
    EXPECT_EQ(s->mate_found.load(), 0);
    EXPECT_EQ(s->nodes, 2u);
  }
  // Set by another thread at the search's 1000th node: it winds down with no mate within a few nodes.
  const char* sfen = "4k4/9/9/9/9/9/9/9/4K4 b RBS 1";
  const MateRun full = solve_mate(sfen);
  ASSERT_FALSE(full.found);
  ASSERT_GT(full.nodes, 10000u);
  auto s = solver_for(sfen);
  static std::atomic<int> reached{0};
  static std::atomic<int> stopped{0};
  s->node_hook_at = 1000;
  s->node_hook = [](MateSolver&) {
    reached.store(1);
    while (stopped.load() == 0) std::this_thread::yield();
  };
  std::thread mate_thread([&] { run_mate_search(*s); });
  while (reached.load() == 0) std::this_thread::yield();
  s->base_depth.store(0);
  s->depth_limit.store(0);
  stopped.store(1);
  mate_thread.join();
  EXPECT_EQ(s->mate_found.load(std::memory_order_acquire), 0);
  EXPECT_LT(s->nodes, 1100u) << "full run " << full.nodes;
}

// Mates of every length the limit allows. `shortest` is the shortest mate the solver's rules allow, found
// by the ply limit: a limit of shortest + 1 proves it, shortest - 1 does not (so 11 plies fit the limit of
// 12 and 13 would not). `reported` is mate_len[0]: below the root the attacker keeps the first mate it
// proves and a defender node the length of the last answer it refuted, so it may differ.
TEST(MateSearch, MatesOfEveryLength) {
  struct Row {
    const char* what;
    const char* sfen;
    int shortest, reported;
    const char* move;
  } rows[] = {
      {"silver drop, then a gold drop wherever the king goes", "9/8k/9/7P1/9/9/9/9/9 b GS2r2b3g3s4n4l17p 1", 3, 3, "S*2c"},
      {"the only defence is a gold dropped on a cell the king covers", "RS6k/8p/7p1/6N2/9/9/9/9/9 b g 1", 5, 5, "8a7b+"},
      {"silver drop against a king with the whole rest in hand", "1s7/k1G6/2+RN5/9/9/9/9/9/9 b Sr2b3g2s3n4l18p 1", 5, 5, "S*9c"},
      {"bishop takes the silver and promotes", "s8/k2l5/n1B6/9/9/1R7/9/9/9 b Prb4g3s3n3l17p 1", 7, 7, "7c9a+"},
      {"lance drop up the edge file", "6nRG/9/5s1Nk/7l1/9/9/9/9/9 b BNLrb3g3sn2l18p 1", 9, 11, "L*1e"},
      {"bishop drop from afar", "5l3/5R3/8k/9/5B3/9/9/9/9 b BPr4g4s4n3l17p 1", 11, 7, "B*4f"},
  };
  for (const Row& r : rows) {
    const MateRun run = solve_mate(r.sfen);
    EXPECT_TRUE(run.found) << r.what;
    EXPECT_EQ(run.len, r.reported) << r.what;
    EXPECT_EQ(run.move, r.move) << r.what;
    if (r.shortest + 1 < MATE_DEPTH) {
      EXPECT_TRUE(solve_mate(r.sfen, r.shortest + 1).found) << r.what;
    }
    EXPECT_FALSE(solve_mate(r.sfen, r.shortest - 1).found) << r.what;
  }
}

// The silver dropped next to the king stands where the king can take it and nothing of the attacker's
// covers it: the first pass, which leaves such sacrifices out, proves nothing; the second finds the mate.
TEST(MateSearch, MateNeedingASacrifice) {
  const char* sfen = "k8/1b7/3l5/1L7/1l7/9/G8/9/9 b BGS2r2g3s4nl18p 1";
  auto s = solver_for(sfen);
  fill_king_stacks(s->pos);
  s->reply_mode = true;
  std::memset(s->proven, 0, sizeof s->proven);
  rebuild_effects(s->effects, s->pos);
  s->ply = 0;
  attacker_node(*s, FIRST_PASS);
  EXPECT_EQ(s->proven[0], 0);
  attacker_node(*s, SECOND_PASS);
  EXPECT_EQ(s->proven[0], 1);
  const MateRun run = solve_mate(sfen);
  EXPECT_TRUE(run.found);
  EXPECT_EQ(run.len, 5);
  EXPECT_EQ(run.move, "S*9b");
}

TEST(ReplyCheck, FindsTheHumansMate) {
  struct Row {
    const char* what;
    const char* sfen;   // white (the computer) to move; the human is black
    int expected;
  } rows[] = {
      // The reply check knows no pawn-drop rule: the human's P*5b counts.
      {"pawn-drop mate in one", "3lkl3/3s1s3/9/3N5/9/9/9/9/9 w P 1", 1},
      {"nothing in hand, no mate", "3lkl3/3s1s3/9/3N5/9/9/9/9/9 w - 1", 0},
      {"a mate in five behind a covered interposition", "RS6k/8p/7p1/6N2/9/9/9/9/9 w g 1", 1},
      {"the computer's king left en prise", "4k4/4R4/9/9/9/9/9/9/9 w - 1", 1},
      {"the initial position", "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1", 0},
      // The computer plays a mate problem's attacker: it has no king to be mated.
      {"the computer has no king", "9/9/9/9/9/2+b6/4+p4/9/3SKS3 w s2RB4GS4N4L17P 1", 0},
      {"no king on the board", "9/9/9/9/4b4/9/9/9/9 w RGSNLP 1", 0},
  };
  auto s = std::make_unique<MateSolver>();
  arm_mate_solver(*s, MATE_DEPTH);
  for (const Row& r : rows) {
    SfenPosition sp;
    std::string error;
    ASSERT_TRUE(parse_sfen(r.sfen, sp, error)) << error;
    const EngineView view = engine_view(sp);
    ASSERT_FALSE(view.rotated);
    uint8_t board[BOARD_CELLS];
    std::memcpy(board, view.board, BOARD_CELLS);
    EXPECT_EQ(reply_probe(*s, board, view.hand[SENTE], view.hand[GOTE]), r.expected) << r.what;
    EXPECT_EQ(std::memcmp(s->saved_board, view.board, BOARD_CELLS), 0) << r.what << ": the unturned board is kept";
  }
}
