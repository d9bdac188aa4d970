// Thinks, mate solves and legal moves under AddressSanitizer and UndefinedBehaviorSanitizer, on positions
// where either side or both may lack a king (positions set up by hand, the mate-problem corpus), handicap
// starts, random games and real games; then the positions without kings through the USI session. A fixed
// count of positions at a small level with a fixed seed: what the soak does never depends on the clock.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/corpus.h"
#include "support/positions.h"
#include "support/think_request.h"
#include "tests/usi/usi_harness.h"
#include "think/legal_moves.h"
#include "think/mate_solve.h"
#include "think/think.h"
#include "usi/bench.h"

using namespace halvane;

namespace {

// Depth 6: the root, a full ply, selective plies (the king safety of ply 3) and the recapture plies.
constexpr Strength SOAK_LEVEL = {
    "soak", u"soak", "soak", 6, 6,
    {0, 1, 2, 3, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, nullptr};
constexpr int SOAK_MATE_DEPTH = 7;

const char* const WITHOUT_KINGS[] = {
    "3sks3/9/4+P4/6+B2/9/9/9/9/9 b S2rb4gs4n4l17p 1",   // a mate problem: the attacker has no king
    "9/9/9/9/9/9/9/9/4K4 b - 1",                          // black's king alone
    "9/9/9/9/9/9/9/9/9 b - 1",                            // nothing at all
    "9/9/9/9/4b4/9/9/9/9 b RGSNLP 1",                     // pieces, no king
};
const char* const HANDICAPS[] = {
    "lnsgkgsn1/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1",   // 香落ち
    "lnsgkgsnl/1r7/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1",     // 角落ち
    "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1",       // 二枚落ち
    "3gkg3/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1",           // 八枚落ち
};

// A position of the soak, and whether it is also thought on with the other side to move (not the mate
// problems: their defender's hand makes every reply check a long mate search).
struct SoakPosition {
  SfenPosition pos;
  bool both_sides;
};

std::vector<SoakPosition> soak_positions() {
  std::vector<SoakPosition> out;
  for (const char* sfen : WITHOUT_KINGS) out.push_back({halvane::testing::parse(sfen), true});
  for (const char* sfen : HANDICAPS) out.push_back({halvane::testing::parse(sfen), true});
  for (int i = 0; i < GAME_BENCH_POSITIONS; i += 6) out.push_back({halvane::testing::parse(GAME_BENCH_SFEN[i]), true});
  std::mt19937 rng(5);
  for (int game = 0; game < 2; ++game) {
    std::vector<SfenPosition> line;
    halvane::testing::random_game(rng, 40, line);
    for (size_t i = 19; i < line.size(); i += 20) out.push_back({line[i], true});
  }
  // The mate-problem corpus: every problem whose attacker has no king. (Where both kings stand, the reply
  // checks of a defender with the rest of the set in hand search far too long for a soak.)
  std::ifstream tsv(test_support::corpus_path("tsume/tsume.tsv"));
  std::string line;
  for (int row = 0; std::getline(tsv, line); ++row) {
    const std::string sfen = line.substr(0, line.find('\t'));
    SfenPosition pos;
    std::string error;
    if (row == 0 || !parse_sfen(sfen, pos, error)) continue;
    const std::string board = sfen.substr(0, sfen.find(' '));
    if (board.find('K') == std::string::npos || board.find('k') == std::string::npos) out.push_back({pos, false});
  }
  return out;
}

// An answer (none, a legal move of the side to move, or the capture of a king the side to move attacks,
// in a position no game reaches) that a front end can play.
void expect_playable(Engine& scratch, const SfenPosition& pos, const MoveRecord& m, const std::string& what) {
  if (m.to_col == -1) return;
  if (is_piece(m.captured) && kind_of(m.captured) == KING) {
    EXPECT_TRUE(opponent_king_attacked(scratch, pos)) << what << ": " << move_to_usi(m);
  } else {
    EXPECT_TRUE(is_legal_move(scratch, pos, m)) << what << ": " << move_to_usi(m);
  }
}

}  // namespace

// Each position thought on (the mate thread and the reply checks with it) and mate-solved, on one Engine
// one after the other, so that nothing of one position may reach the next.
TEST(AsanSoak, ThinksAndMateSolvesWithAndWithoutKings) {
  const std::vector<SoakPosition> positions = soak_positions();
  ASSERT_GE(positions.size(), 17u);
  EngineHandle e = new_engine(SOAK_LEVEL);
  auto scratch = halvane::testing::make_engine();
  ThinkRequest fixed_seed;
  fixed_seed.fixed_seed = true;
  int thinks = 0;
  for (const SoakPosition& soak : positions) {
    for (int turn = 0; turn < (soak.both_sides ? 2 : 1); ++turn, ++thinks) {
      SfenPosition pos = soak.pos;
      pos.side_to_move ^= turn;
      const std::string what = format_sfen(pos);
      const EngineView view = engine_view(pos);
      const ThinkResult answer = think(*e, test_support::request_for(view, 40, fixed_seed));   // king safety on
      if (!answer.resigned) expect_playable(*scratch, pos, move_from_engine_view(view, answer.move), what + " (think)");
      const MateSolveResult mate = solve_mate(*e, pos, SOAK_MATE_DEPTH);
      if (mate.found) expect_playable(*scratch, pos, mate.move, what + " (mate)");
    }
  }
  EXPECT_GE(thinks, 34);
}

// The same kinds of position through the USI session, as a GUI sends them: each is thought on and answered.
TEST(AsanSoak, UsiSessionAnswersPositionsWithoutKings) {
  Harness h;
  h.send("setoption name Strength value chuukara");
  for (const char* sfen : WITHOUT_KINGS) {
    const SfenPosition pos = halvane::testing::parse(sfen);
    h.send(std::string("position sfen ") + sfen);
    h.send("go byoyomi 2000");
    const std::string best = h.wait_for("bestmove");
    if (best != "bestmove resign") expect_legal_bestmove(best, pos, sfen);
    h.send("go mate 2000");
    const std::string mate = h.wait_for("checkmate");
    if (mate != "checkmate nomate") {
      SfenPosition line = pos;
      EXPECT_GT(play_answer(line, mate), 0) << sfen;
      EXPECT_TRUE(no_legal_move(line)) << mate;
    }
  }
}
