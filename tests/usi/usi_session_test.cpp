// The USI session driven line by line in-process: the protocol's answers, positions refused with a
// reason, the clock's budget, perft's lines, mate answers, and that every bestmove is legal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/usi/usi_harness.h"
#include "usi/bench.h"
#include "usi/go_request.h"
#include "usi/think_answer.h"

using namespace halvane;

namespace {

std::string current_sfen(Harness& h) { return format_sfen(h.session.game.pos); }

}  // namespace

TEST(UsiSession, IntroducesItselfWithTheStrengthOption) {
  Harness h;
  h.send("usi");
  EXPECT_EQ(h.wait_for("id name"), "id name Halvane " HALVANE_VERSION " 激辛");
  EXPECT_EQ(h.wait_for("option"), "option name Strength type combo default gekikara var chuukara var karakuchi var gekikara");
  EXPECT_EQ(h.wait_for("option name USI_Ponder"), "option name USI_Ponder type check default false");
  EXPECT_EQ(h.wait_for("usiok"), "usiok");
  h.send("setoption name Strength value chuukara");
  h.send("usi");
  EXPECT_EQ(h.wait_for("id name"), "id name Halvane " HALVANE_VERSION " 中辛");
  EXPECT_EQ(h.session.engine->base_depth, 8);
  h.send("setoption name Strength value 辛口");
  EXPECT_EQ(h.session.engine->base_depth, 10);
  h.send("isready");
  EXPECT_EQ(h.wait_for("readyok"), "readyok");
}

TEST(UsiSession, BadInputIsNamedAndChangesNothing) {
  struct Row {
    const char* line;
    const char* complaint;   // a part of the info string that must name the fault
  };
  const std::string runaway = std::string(79, 'x') + "激辛辛", runaway_echo = "'" + std::string(79, 'x') + "激…'";
  const Row rows[] = {
      {"frobnicate now", "unknown command 'frobnicate'"},
      {runaway.c_str(), runaway_echo.c_str()},   // a line's width of it, cut between characters
      {"setoption name Strength value spicy", "unknown Strength 'spicy'"},
      {"setoption name Hash value 3", "unknown option 'Hash'"},
      {"setoption Strength", "needs 'name'"},
      {"position", "startpos or sfen"},
      {"position start", "not 'start'"},
      {"position sfen lnsgkgsnl/9 b - 1", "bad SFEN"},
      {"position sfen lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL q - 1", "bad SFEN"},
      {"position startpos moves 7g7f 3c3d x9", "move 3 (x9)"},
      {"position startpos moves 7g7f 3c3d 2h2c", "move 3 (2h2c) is not legal"},   // the rook's path is blocked
      {"position startpos moves 7g7f 3c3d 5i5h 5a4b 5h5g", "move 5 (5h5g)"},       // onto its own pawn
      {"position startpos wrong 7g7f", "expected 'moves'"},
      {"position sfen 4k4/4R4/9/9/9/9/9/9/4K4 b - 1", "capture the king"},
      {"go perft", "go perft needs a depth"},
      {"go perft 99", "go perft needs a depth"},
      {"go btime soon", "bad value for btime"},
      {"go sideways", "unknown go argument 'sideways'"},
      {"go mate soon", "bad time for go mate"},
      {"go mate -1", "bad time for go mate: '-1'"},
  };
  Harness h;
  h.send("position startpos moves 7g7f");
  const std::string before = current_sfen(h);
  for (const Row& row : rows) {
    h.send(row.line);
    EXPECT_TRUE(h.wait_until_said(row.complaint)) << row.line;
    EXPECT_EQ(current_sfen(h), before) << row.line << ": a refused command must leave the position";
  }
  h.send("");
  h.send("   ");
  h.send("isready");
  EXPECT_EQ(h.wait_for("readyok"), "readyok");
  EXPECT_FALSE(h.said("checkmate")) << "a refused go mate is answered";
}

TEST(UsiSession, PositionsCountTheGamePlyAndRefuseIllegalMoves) {
  struct Row {
    const char* command;
    bool accepted;
    const char* sfen_after;   // when accepted
    int game_ply;
  };
  const Row rows[] = {
      {"position startpos", true, "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1", 0},
      {"position startpos moves 7g7f 3c3d 8h2b+ 3a2b B*4e", true,
       "lnsgkg1nl/1r5s1/pppppp1pp/6p2/5B3/2P6/PP1PPPPPP/7R1/LNSGKGSNL w b 6", 5},
      {"position sfen lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 31 moves 3c3d", true,
       "lnsgkgsnl/1r5b1/pppppp1pp/6p2/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 32", 31},
      // A second pawn on a file, a pawn dropped where it could never move, a pinned piece moved, the
      // king stepping into an attack, and a mate by a pawn drop.
      {"position sfen 4k4/9/9/9/9/9/4P4/9/4K4 b P 1 moves P*5e", false, "", 0},
      {"position sfen 4k4/9/9/9/9/9/9/9/4K4 b P 1 moves P*1a", false, "", 0},
      {"position sfen 4k4/4r4/9/9/9/9/9/4G4/4K4 b - 1 moves 5h6h", false, "", 0},
      {"position sfen 4k4/4r4/9/9/9/9/9/9/3K5 b - 1 moves 6i5i", false, "", 0},
      {"position sfen 7nk/7s1/9/7N1/9/9/9/9/8K b P 1 moves P*1b", false, "", 0},
      {"position sfen 7nk/7s1/9/7N1/9/9/9/9/8K b P 1 moves P*1c", true, "7nk/7s1/8P/7N1/9/9/9/9/8K w - 2", 1},
      // A line ending in a carriage return, as a GUI on Windows sends it.
      {"position sfen 7nk/7s1/9/7N1/9/9/9/9/8K b P 1 moves P*1c\r", true, "7nk/7s1/8P/7N1/9/9/9/9/8K w - 2", 1},
      {"position sfen 7nk/7s1/9/7N1/9/9/9/9/8K b P 1\r", true, "7nk/7s1/9/7N1/9/9/9/9/8K b P 1", 0},
  };
  for (const Row& row : rows) {
    Harness h;
    h.send("position startpos moves 2g2f");
    const std::string before = current_sfen(h);
    h.send(row.command);
    if (row.accepted) {
      EXPECT_EQ(current_sfen(h), row.sfen_after) << row.command;
      EXPECT_EQ(h.session.game.game_ply, row.game_ply) << row.command;
      EXPECT_FALSE(h.said("info string")) << row.command;
    } else {
      EXPECT_EQ(current_sfen(h), before) << row.command;
      EXPECT_NE(h.wait_for("info string position refused", 5), "") << row.command;
    }
  }
}

TEST(UsiSession, ClockBudgets) {
  struct Row {
    const char* args;
    int side;
    long long budget;
    long long extension = 0;   // more for an unfinished think: another share of the main time, within it
  };
  const Row rows[] = {
      {"", 0, -1},
      {"infinite", 0, -1},
      {"btime 60000 wtime 50000 byoyomi 10000", 0, 60000 / 15 + 10000, 60000 / 15},
      {"btime 60000 wtime 45000 byoyomi 10000", 1, 45000 / 15 + 10000, 45000 / 15},
      {"btime 0 wtime 0 byoyomi 1000", 0, 750},
      {"btime 0 wtime 0 byoyomi 600", 0, 400},                    // a third kept back on a short clock
      {"byoyomi 5000", 1, 4750},
      {"btime 1000 wtime 1000", 0, 1000 / 15, 1000 / 15},
      {"btime 300000 wtime 300000 binc 2000 winc 3000", 1, 300000 / 15 + 3000, 300000 / 15},
      {"btime 100 wtime 100 byoyomi 0", 0, 6, 6},
      {"btime 0 wtime 0", 0, 0},
      {"movetime 500", 0, 334},
      {"movetime 500\r", 0, 334},
      {"wtime 200 btime 100 byoyomi 0 depth 5 nodes 1000 movestogo 3", 1, 13, 13},
      {"btime 3000 wtime 3000 byoyomi 0", 0, 200, 200},
      {"btime 400 wtime 400 byoyomi 0", 0, 26, 26},
      {"btime 30 wtime 30 binc 1000", 0, 780, 0},   // the increment is all there is: no more to take
  };
  for (const Row& row : rows) {
    GoRequest go;
    std::string error;
    ASSERT_TRUE(parse_go(row.args, go, error)) << row.args << ": " << error;
    EXPECT_EQ(think_budget_ms(go, row.side), row.budget) << "go " << row.args;
    EXPECT_EQ(think_extension_ms(go, row.side), row.extension) << "go " << row.args;
  }
}

// go perft prints each root move with its count, then the total (the counts are perft's own test's).
TEST(UsiSession, PerftPrintsEachRootMoveAndTheTotal) {
  Harness h;
  h.send("position sfen l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1");
  h.send("go perft 2");
  EXPECT_EQ(h.wait_for("Nodes searched"), "Nodes searched: 28684");
  int move_lines = 0;
  for (const std::string& line : h.all())
    if (line.find(": ") != std::string::npos && line.rfind("Nodes", 0) != 0) ++move_lines;
  EXPECT_EQ(move_lines, 207);
}

// isready is answered before perft or bench ends; stop ends them with no total and the session as it was.
TEST(UsiSession, PerftAndBenchAnswerIsreadyAndEndOnStop) {
  Harness h;
  const char* const jobs[][2] = {{"go perft 6", "go perft stopped"}, {"bench", "bench stopped"}};
  for (const auto& [job, stopped] : jobs) {
    for (const char* line : {job, "isready"}) h.send(line);
    EXPECT_EQ(h.wait_for("readyok"), "readyok") << job;
    EXPECT_FALSE(h.said("Nodes searched") || h.said("bench signature")) << job << ": ended before readyok";
    h.send("stop");
    EXPECT_TRUE(h.wait_until_said(stopped)) << job;
  }
  h.send("go perft 1");
  EXPECT_EQ(h.wait_for("Nodes searched"), "Nodes searched: 30");
}

TEST(UsiSession, GoMateAnswersTheLineNomateOrTimeout) {
  struct Row {
    const char* position;
    const char* go;
    const char* answer_prefix;
    int moves;   // in the answer's line; 0 for the fixed answers, -1 for a line of any length
  };
  const Row rows[] = {
      {"position sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1", "go mate 60000", "checkmate G*5b", 1},
      {"position sfen 9/4k4/9/4P4/9/9/9/9/4K4 b 2G 1", "go mate 60000", "checkmate G*5c ", 3},
      {"position sfen 9/4k4/9/4P4/9/9/9/9/9 b 2G 1", "go mate infinite", "checkmate G*5c ", 3},   // no attacker king
      {"position sfen 4k4/9/9/9/9/4p4/9/4K4/9 w 2g 1", "go mate", "checkmate G*5g ", 3},         // white attacks
      {"position sfen 7nk/7s1/9/7N1/9/9/9/9/8K b P 1", "go mate 60000", "checkmate nomate", 0},    // only a pawn-drop mate
      {"position sfen 9/4k4/9/9/9/9/9/9/9 b - 1", "go mate 60000", "checkmate nomate", 0},
      {"position sfen 9/9/9/9/9/9/9/9/4K4 b 2G 1", "go mate 60000", "checkmate nomate", 0},       // no king to mate
      // A mate in eleven whose line is found again defence by defence.
      {"position sfen 6l2/6nk1/6R2/5Lppp/9/9/9/9/9 b 2BNr4g4s2n2l15p 1", "go mate 60000", "checkmate B*1c ", -1},
  };
  for (const Row& row : rows) {
    Harness h;
    h.send(row.position);
    h.send(row.go);
    const std::string answer = h.wait_for("checkmate");
    EXPECT_EQ(answer.rfind(row.answer_prefix, 0), 0u) << row.position << " -> " << answer;
    if (row.moves != 0) {
      // The line is played out: every move legal, and the last one leaves the defender without a move.
      SfenPosition pos = h.session.game.pos;
      const int count = play_answer(pos, answer);
      if (row.moves > 0) {
        EXPECT_EQ(count, row.moves) << answer;
      } else {
        EXPECT_TRUE(count % 2 == 1 && count >= 3) << answer << ": the line was not recovered";
      }
      EXPECT_TRUE(no_legal_move(pos)) << answer << ": the line does not end in mate";
    }
  }
}

TEST(UsiSession, GoMateTimesOutOnABigSearch) {
  // A bare king in the open against a rook and a bishop in hand: no mate, and far too many checks for
  // the solver to see through in 20 ms.
  Harness h;
  h.send("position sfen 9/9/9/9/4k4/9/9/9/9 b RB 1");
  h.send("go mate 20");
  EXPECT_EQ(h.wait_for("checkmate"), "checkmate timeout");
  h.send("go mate infinite");
  h.send("stop");
  EXPECT_EQ(h.wait_for("checkmate"), "checkmate timeout");
}

TEST(UsiSession, EveryBestmoveIsLegalAndTheAnswerWaitsForStopWhenInfinite) {
  Harness h;
  h.send("setoption name Strength value chuukara");
  struct Row {
    const char* position;
    const char* go;
  };
  const Row rows[] = {
      {"position startpos", "go btime 60000 wtime 60000 byoyomi 10000"},           // the book
      {"position startpos moves 2g2f 8c8d 2f2e 8d8e", "go byoyomi 10000"},          // out of the book, black
      {"position startpos moves 2g2f 8c8d 2f2e 8d8e 6i7h", "go byoyomi 10000"},     // white to move
      {"position startpos moves 2g2f 8c8d 2f2e", "go btime 0 wtime 0 byoyomi 0"},   // no time at all
      {"position sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1", "go"},                        // a mate in one
      {"position sfen 9/4k4/9/4P4/9/9/9/9/9 b 2G 1", "go byoyomi 10000"},           // no king of its own
  };
  for (const Row& row : rows) {
    h.send(row.position);
    const SfenPosition pos = h.session.game.pos;
    h.send(row.go);
    expect_legal_bestmove(h.wait_for("bestmove"), pos, row.position);
  }
  // An ordinary score is told in centipawns, a mate in plies.
  h.send("position startpos moves 2g2f 8c8d 2f2e 8d8e 6i7h");
  h.send("go byoyomi 10000");
  h.wait_for("bestmove");
  EXPECT_NE(h.last_info().find(" score cp "), std::string::npos);
  h.send("position sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1");
  h.send("go");
  EXPECT_EQ(h.wait_for("bestmove"), "bestmove G*5b");
  EXPECT_NE(h.last_info().find("score mate 1 "), std::string::npos);
  // The score is the evaluation from the side to move, in centipawns or as a mate in plies; the pv is the
  // whole best line, led by the answer, every move legal in turn.
  struct Told { const char *position, *score; int sign; };   // sign: the number's, 0 either
  const Told told[] = {
      {"position startpos moves 2g2f 8c8d 2f2e 8d8e 6i7h", "score cp", 0},
      {"position sfen lnsgkgsnl/7b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b R 1", "score cp", 1},   // a rook up
      {"position sfen lnsgkgsnl/7b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w R 2", "score cp", -1},  // a rook down
      {"position sfen 4k4/9/4P4/9/9/9/9/9/4K4 b G 1", "score mate", 1},
  };
  for (const Told& row : told) {
    h.send(row.position);
    h.send("go byoyomi 10000");
    const std::string best = h.wait_for("bestmove"), info = h.last_info();
    const size_t score = info.find(" " + std::string(row.score) + " "), pv = info.find(" pv ");
    ASSERT_TRUE(score != std::string::npos && pv != std::string::npos) << info;
    const int value = std::atoi(info.c_str() + score + std::strlen(row.score) + 2);
    EXPECT_TRUE(row.sign * value > 0 || (row.sign == 0 && value != 0)) << info;
    EXPECT_EQ(info.compare(pv + 4, best.size() - 9, best, 9), 0) << info << " / " << best;
    SfenPosition line = h.session.game.pos;
    EXPECT_GE(play_checked(line, info.substr(pv + 4), info), row.sign == 0 ? 2 : 1) << info;
  }

  // A lost position resigns; one without any legal move too.
  h.send("position sfen 8k/9/9/9/9/9/4p4/4g4/4K4 b - 1");
  h.send("go");
  EXPECT_EQ(h.wait_for("bestmove"), "bestmove resign");

  // go infinite holds its answer until stop, and the answer is legal.
  h.send("position startpos moves 2g2f 8c8d");
  const SfenPosition pos = h.session.game.pos;
  const size_t mark = h.all().size();
  h.send("go infinite");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (size_t i = mark; i < h.all().size(); ++i) EXPECT_NE(h.all()[i].rfind("bestmove", 0), 0u) << "bestmove before stop";
  h.send("stop");
  expect_legal_bestmove(h.wait_for("bestmove"), pos, "go infinite");

  // go ponder answers at ponderhit.
  h.send("go ponder byoyomi 2000");
  h.send("ponderhit");
  expect_legal_bestmove(h.wait_for("bestmove"), pos, "go ponder");

  // A GUI that ponders is told the expected reply: a legal move after the answer.
  h.send("setoption name USI_Ponder value true");
  const std::string moves = "position startpos moves 2g2f 8c8d 2f2e 8d8e 6i7h";
  h.send(moves);
  h.send("go byoyomi 10000");
  const std::string answer = h.wait_for("bestmove");
  const size_t at = answer.find(" ponder ");
  ASSERT_NE(at, std::string::npos) << answer;
  h.send(moves + " " + answer.substr(9, at - 9));
  expect_legal_bestmove("bestmove " + answer.substr(at + 8), h.session.game.pos, "the expected reply");
}

TEST(UsiSession, StopAnswersALegalMoveAtOnce) {
  // A stop that comes before the root has searched anything still gets a legal move, never resign, and
  // no info line names a move no search has seen; a line that names one carries its score, even when the
  // stop or the clock cut the first think. A plain go stopped after its first think completed answers the
  // largest completed think: the move of the last think's own info line. Rows 7-9: a crowded middlegame
  // whose first think outlasts a tiny time limit, which cuts it before any stop.
  Harness h;
  h.send("position startpos moves 2g2f 8c8d 2f2e 8d8e 6i7h");
  SfenPosition pos = h.session.game.pos;
  for (int i = 0; i < 10; ++i) {
    if (i == 7) {
      h.send("position sfen l2g3nl/1r3kg2/p2ppp1p1/2p3p1p/1p7/2PP1PP1P/PPS1P4/2G4R1/L2K1G2L b BSSNbsnp 1");
      pos = h.session.game.pos;
    }
    h.send(i < 7 ? (i % 2 ? "go" : "go byoyomi 60000") : i == 7 ? "go movetime 1" : "go btime 0 wtime 0 byoyomi 5");
    if (i == 6) h.wait_for("info depth 4 ");
    if (i < 7) h.send("stop");
    h.wait_for("bestmove");
    const std::vector<std::string> lines = h.all();   // ..., [last completed think's info,] note, info, bestmove
    const std::string &best = lines.back(), &info = lines[lines.size() - 2], pv = " pv " + best.substr(9);
    expect_legal_bestmove(best, pos, "stop " + std::to_string(i));
    const bool unsearched = lines[lines.size() - 3] == "info string stopped before any move was searched";
    EXPECT_EQ(info.find(unsearched ? " pv " : pv) == std::string::npos, unsearched) << info;
    EXPECT_EQ(info.find(" score ") == std::string::npos, unsearched) << info;
    EXPECT_TRUE(i != 6 || lines[lines.size() - 4].find(pv) != std::string::npos) << "not the largest completed think";
  }
  h.send("quit");
}

TEST(UsiSession, BenchThinksOnEveryPositionAndRepeatsItsSearchNodes) {
  Harness h;
  h.send("setoption name Strength value chuukara");
  std::vector<std::string> runs[2];
  for (auto& run : runs) {
    h.send("bench");
    for (int i = 1; i <= BENCH_POSITIONS; ++i) run.push_back(h.wait_for("bench " + std::to_string(i) + ":"));
    EXPECT_NE(h.wait_for("bench total"), "");
  }
  EXPECT_FALSE(h.said("info string bench position")) << "a bench position was refused";
  for (int i = 0; i < BENCH_POSITIONS; ++i) {
    // The position's own move must be legal there.
    GamePosition game;
    std::string error;
    ASSERT_TRUE(parse_position_command(checker(), BENCH_POSITION_TEXT[i], game, error)) << error;
    const std::string& line = runs[0][i];
    const size_t at = line.find("move ");
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_EQ(play_checked(game.pos, line.substr(at + 5, line.find(',', at) - at - 5), line), 1);
    // With the seed fixed the search repeats itself. The last position is a mate for the mate thread,
    // which may end the search early at any moment; no other has a mate.
    auto search_nodes = [](const std::string& l) { return l.substr(l.find("(search "), l.find(", mate") - l.find("(search ")); };
    if (i < BENCH_POSITIONS - 1) {
      EXPECT_EQ(search_nodes(runs[0][i]), search_nodes(runs[1][i])) << runs[0][i] << " / " << runs[1][i];
    }
  }
}

// The best line on every bench position (and the games' a light level thinks on quickly): led by the move,
// legal move by move, the search's own table already so (the rules' check cut nothing), and longer than
// the move unless it is the book's or a mate's.
TEST(UsiSession, TheBestLineIsLegalAndLedByTheMoveOnEveryBenchPosition) {
  std::vector<std::string> positions(BENCH_POSITION_TEXT, BENCH_POSITION_TEXT + BENCH_POSITIONS);
  for (int i = 0; i < 20; ++i) positions.push_back(std::string("sfen ") + GAME_BENCH_SFEN[i]);
  auto e = new_engine(STRENGTH_CHUUKARA);
  for (const std::string& position : positions) {
    GamePosition game;
    std::string error;
    ASSERT_TRUE(parse_position_command(checker(), position, game, error)) << error;
    ThinkRequest options;
    options.fixed_seed = true, options.seed = BENCH_SEED;
    const ThinkAnswer a = answer_think(*e, game, options);
    ASSERT_TRUE(a.searched && a.pv.length >= 1) << position;
    EXPECT_EQ(a.pv.moves[0], a.move) << position;
    std::string line;
    for (int m = 0; m < a.pv.length; ++m) line += move_to_usi(a.pv.moves[m]) + " ";
    SfenPosition pos = game.pos;
    EXPECT_EQ(play_checked(pos, line, position), a.pv.length) << line;
    EXPECT_TRUE(a.mate_used || e->pv_length[0] == a.pv.length) << position << ": " << line;
    EXPECT_TRUE(a.book || a.mate_used || a.pv.length >= 2) << position << ": " << line;
  }
}

// The games table holds only positions a game can reach; a run on the first of them prints its line and
// the median, 90th percentile and total, and a count that is no number is refused.
TEST(UsiSession, BenchGamesTableAndSubset) {
  for (int i = 0; i < GAME_BENCH_POSITIONS; ++i) {
    GamePosition game;
    std::string error;
    EXPECT_TRUE(parse_position_command(checker(), std::string("sfen ") + GAME_BENCH_SFEN[i], game, error))
        << "games position " << i + 1 << ": " << error;
  }
  Harness h;
  h.send("setoption name Strength value chuukara");
  h.send("bench games x");
  EXPECT_NE(h.wait_for("info string bench games wants a count"), "");
  h.send("bench games 1");
  EXPECT_NE(h.wait_for("bench games: "), "");
  const std::string line = h.wait_for("bench 1:");
  EXPECT_NE(line.find(" move "), std::string::npos) << line;
  EXPECT_NE(h.wait_for("bench median:"), "");
  EXPECT_NE(h.wait_for("bench 90th percentile:"), "");
  EXPECT_NE(h.wait_for("bench total:"), "");
  EXPECT_FALSE(h.said("bench 2:"));
}
