// The window's analysis session on top of the client, against halvane-usi and the misbehaving engine:
// a go asked while another runs drops the stopped one's answer, lines come in sente's view, and every
// failure ends the session with the window's words for it instead of hanging; an engine registered by its
// path gives its name and options, or the words for why it cannot be used.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/analysis.h"
#include "app/engine_probe.h"
#include "core/legality.h"

using namespace halvane;

TEST(AnalysisSession, AnswersTheLastGoAndFailsCleanly) {
  struct Row {
    const char* program;
    const char* mode;
    const char* failure;   // part of the window's message, or null when the go must be answered
  };
  const Row rows[] = {
      {HALVANE_USI_BIN, nullptr, nullptr},
      {MISBEHAVING_ENGINE_BIN, "garbage", nullptr},
      {MISBEHAVING_ENGINE_BIN, "illegal", "反則手を指しました（2h2c）"},
      {MISBEHAVING_ENGINE_BIN, "no-bestmove", "時間内に応答しませんでした"},
      {MISBEHAVING_ENGINE_BIN, "exit-in-go", "異常終了しました"},
      {MISBEHAVING_ENGINE_BIN, "crash-after-usi", "異常終了しました"},
      {MISBEHAVING_ENGINE_BIN, "no-usiok", "USIで応答しません"},
  };
  const ClientTimeouts quick{.usiok_ms = 1000, .readyok_ms = 1000, .answer_grace_ms = 200, .quit_grace_ms = 300,
                             .term_grace_ms = 300};
  // The first go thinks without end on the initial position; the second, asked before it answered,
  // is on a position with gote to move, where the answer must be gote's.
  SfenPosition after = startpos();
  std::vector<MoveRecord> moves;
  for (const char* text : {"7g7f", "3c3d", "2g2f"}) {
    MoveRecord move;
    std::string error;
    ASSERT_TRUE(parse_usi_move(text, after, move, error));
    apply_move(after, move);
    moves.push_back(move);
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " " + (row.mode ? row.mode : ""));
    EngineEventQueue queue;
    AnalysisSession session;
    std::vector<std::string> arguments;
    if (row.mode) arguments.push_back(row.mode);
    ASSERT_TRUE(analysis_start(session, {row.program, "test", {}}, [&queue](EngineEvent&& e) { push_event(queue, std::move(e)); },
                               quick, arguments));
    const bool garbage = row.mode && std::string(row.mode) == "garbage";
    GoCommand infinite;
    infinite.infinite = true;
    if (!garbage) analysis_go(session, startpos(), {}, infinite);
    // The misbehaving engine answers 7g7f to every go: it is asked on the initial position.
    const bool answered =
        analyse_and_wait(session, queue, startpos(), garbage ? std::vector<MoveRecord>{} : moves, GoCommand{.movetime = 300});
    if (row.failure) {
      EXPECT_FALSE(answered);
      EXPECT_NE(session.error.find(row.failure), std::string::npos) << session.error;
      continue;
    }
    ASSERT_TRUE(answered) << session.error;
    if (garbage) {
      // "score mate + lowerbound … pv 7g7f 3c3d 9i9a 1a1b" with sente to move: sente mates; the line is
      // cut at its first illegal move.
      ASSERT_EQ(session.lines.size(), 1u);
      EXPECT_TRUE(is_mate_evaluation(session.lines[0].evaluation) && session.lines[0].evaluation > 0);
      EXPECT_EQ(session.lines[0].moves.size(), 2u);
      EXPECT_EQ(session.lines[0].depth, 3);
      continue;
    }
    EXPECT_EQ(side_of(session.answer.piece), GOTE) << "the stopped go's answer was dropped";
    const std::vector<MoveRecord> legal = legal_moves(after);
    EXPECT_NE(std::find(legal.begin(), legal.end(), session.answer), legal.end());
    ASSERT_FALSE(session.lines.empty());
    EXPECT_NE(session.lines[0].evaluation, NO_EVALUATION);
    EXPECT_EQ(session.lines[0].first_mover, WHITE);
    ASSERT_FALSE(session.lines[0].moves.empty());
    EXPECT_EQ(side_of(session.lines[0].moves[0].piece), GOTE);
  }
}

TEST(AnalysisSession, RegisteringAnEngineReadsItsUsiAnswer) {
  const struct {
    const char* program;
    const char* mode;
    const char* failure;   // part of the message, or null when the engine must be registered
  } rows[] = {
      {HALVANE_USI_BIN, nullptr, nullptr},
      {MISBEHAVING_ENGINE_BIN, "no-usiok", "USIで応答しません"},
      {MISBEHAVING_ENGINE_BIN, "crash-after-usi", "異常終了しました"},
      {"/nonexistent/engine", nullptr, "起動できませんでした"},
  };
  const ClientTimeouts quick{.usiok_ms = 1000, .readyok_ms = 1000, .answer_grace_ms = 200, .quit_grace_ms = 300,
                             .term_grace_ms = 300};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " " + (row.mode ? row.mode : ""));
    RegisteredEngine engine;
    std::string message;
    const std::vector<std::string> arguments = row.mode ? std::vector<std::string>{row.mode} : std::vector<std::string>{};
    const bool registered = probe_engine(row.program, engine, message, quick, arguments);
    if (row.failure) {
      EXPECT_FALSE(registered);
      EXPECT_NE(message.find(row.failure), std::string::npos) << message;
      continue;
    }
    ASSERT_TRUE(registered) << message;
    EXPECT_EQ(engine.path, row.program);
    EXPECT_NE(engine.name.find("Halvane"), std::string::npos) << engine.name;
    // Its strength option, a choice of the three levels, with the default chosen; the line the settings
    // file keeps reads back as the same engine.
    const auto strength = std::find_if(engine.options.begin(), engine.options.end(),
                                       [](const UsiOption& option) { return option.name == "Strength"; });
    ASSERT_NE(strength, engine.options.end());
    EXPECT_EQ(strength->type, OPTION_COMBO);
    EXPECT_EQ(strength->choices.size(), 3u);
    EXPECT_EQ(strength->value, strength->default_value);
    RegisteredEngine again;
    EXPECT_TRUE(parse_registered_engine(format_registered_engine(engine), again, message)) << message;
    EXPECT_EQ(again, engine);
  }
}
