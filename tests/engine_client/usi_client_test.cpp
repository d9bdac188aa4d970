// The USI client against halvane-usi and against an engine that misbehaves on purpose: every answer comes
// as its event with its go's request id, and whatever the engine does, nothing hangs and its process is
// reaped. The tests wait for events; the minute's bound is only a safety net.
#include <gtest/gtest.h>
#include <errno.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <optional>

#include "core/legality.h"
#include "engine_client/registered_engine.h"
#include "engine_client/usi_client.h"

using namespace halvane;

namespace {

struct Conversation {
  EngineEventQueue queue;   // declared first: the client may still hand it events while it closes
  UsiClient client;

  bool start(const char* path, const ClientTimeouts& timeouts, const char* mode = nullptr) {
    if (mode != nullptr) client.arguments = {mode};
    std::string error;
    return client_start(client, path, [this](EngineEvent&& e) { push_event(queue, std::move(e)); }, timeouts, error);
  }

  // The next event of `kind` (and of `request`, when given), passing over others; an error is a failure
  // unless it was asked for. Nothing when the engine ended first.
  std::optional<EngineEvent> expect(EngineEventKind kind, int request = NO_REQUEST) {
    EngineEvent e;
    while (wait_event(queue, e, std::chrono::seconds(60))) {
      if (e.kind == kind && (request == NO_REQUEST || e.request_id == request)) return e;
      if (e.kind == EVENT_ERROR) ADD_FAILURE() << "unexpected error: " << e.text;
      if (e.kind == EVENT_EXITED) break;
    }
    return std::nullopt;
  }
};

bool reaped(pid_t pid) { return kill(pid, 0) == -1 && errno == ESRCH; }

MoveRecord usi(const SfenPosition& pos, const char* text) {
  MoveRecord move;
  std::string error;
  EXPECT_TRUE(parse_usi_move(text, pos, move, error)) << text;
  return move;
}

bool is_legal(const MoveRecord& move, const SfenPosition& pos) {
  const std::vector<MoveRecord> legal = legal_moves(pos);
  return std::find(legal.begin(), legal.end(), move) != legal.end();
}

}  // namespace

TEST(UsiClient, ThinksWithHalvaneUsi) {
  Conversation t;
  ASSERT_TRUE(t.start(HALVANE_USI_BIN, {}));
  const pid_t pid = t.client.pid;
  auto id = t.expect(EVENT_IDENTIFIED);
  ASSERT_TRUE(id);
  EXPECT_EQ(id->name.rfind("Halvane ", 0), 0u) << id->name;
  auto strength = std::find_if(id->options.begin(), id->options.end(), [](auto& o) { return o.name == "Strength"; });
  ASSERT_NE(strength, id->options.end());
  EXPECT_EQ(strength->type, OPTION_COMBO);
  ASSERT_TRUE(option_value_valid(*strength, "chuukara"));
  strength->value = "chuukara";
  EXPECT_TRUE(client_set_option(t.client, *strength));
  client_is_ready(t.client);
  ASSERT_TRUE(t.expect(EVENT_READY));
  client_new_game(t.client);

  // A position out of the book, from a record; a timed go's info lines and its legal answer.
  GameRecord record;
  int node = 0;
  for (const char* move : {"7g7f", "3c3d", "2g2f", "4c4d", "2f2e", "2b3c", "3i4h", "8b4b", "5i6h", "5a6b", "6h7h", "6b7b"})
    node = add_move(record, node, usi(position_at(record, node), move));
  client_position(t.client, record, node);
  GoCommand byoyomi;
  byoyomi.time[BLACK] = byoyomi.time[WHITE] = 0;
  byoyomi.byoyomi = 300;
  client_go(t.client, byoyomi, 1);
  const auto info = t.expect(EVENT_INFO, 1);
  ASSERT_TRUE(info);
  EXPECT_GT(info->info.depth, 0);
  EXPECT_EQ(info->info.score_kind, SCORE_CP);
  EXPECT_FALSE(info->info.pv.empty());
  EXPECT_EQ(info->pv_moves.size(), info->info.pv.size()) << "its whole best line is legal";
  const auto answer = t.expect(EVENT_BESTMOVE, 1);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(is_legal(answer->move, position_at(record, node)));

  // go infinite, stopped; a new position's go answers after it, each answer under its own id.
  node = add_move(record, node, answer->move);
  client_position(t.client, record, node);
  client_go(t.client, GoCommand{.infinite = true}, 2);
  ASSERT_TRUE(t.expect(EVENT_INFO, 2));
  client_stop(t.client);
  node = add_move(record, node, legal_moves(position_at(record, node)).front());
  client_position(t.client, record, node);
  client_go(t.client, byoyomi, 3);
  const auto stopped = t.expect(EVENT_BESTMOVE);
  ASSERT_TRUE(stopped);
  EXPECT_EQ(stopped->request_id, 2) << "the stopped go answers first";
  const auto next = t.expect(EVENT_BESTMOVE);
  ASSERT_TRUE(next);
  EXPECT_EQ(next->request_id, 3);
  EXPECT_TRUE(is_legal(next->move, position_at(record, node)));

  client_quit(t.client);
  const auto exited = t.expect(EVENT_EXITED);
  ASSERT_TRUE(exited);
  EXPECT_TRUE(exited->asked);
  EXPECT_TRUE(WIFEXITED(exited->wait_status) && WEXITSTATUS(exited->wait_status) == 0) << exited->wait_status;
  EXPECT_TRUE(reaped(pid));
}

TEST(UsiClient, SurvivesMisbehavingEngines) {
  struct Row {
    const char* mode;
    long long byoyomi;    // a go is sent (from the initial position, request 5) when not -1; 0: go infinite
                          // and stop at once
    EngineError error;    // the error it must cause
    int exit_status;      // how it ends: an exit status, or a signal
    int exit_signal;
  };
  const Row rows[] = {
      {"crash-after-usi", -1, ENGINE_CRASHED, 3, 0},   {"no-usiok", -1, ENGINE_NO_USIOK, 0, 0},
      {"no-bestmove", 100, ENGINE_TIME_OUT, 0, 0},     {"no-bestmove", 0, ENGINE_TIME_OUT, 0, 0},
      {"illegal", 30000, ENGINE_ILLEGAL_MOVE, 0, 0},   {"exit-in-go", 30000, ENGINE_CRASHED, 7, 0},
      {"close-output", 30000, ENGINE_CRASHED, 0, 0},   {"ignore-quit", -1, ENGINE_OK, 0, SIGKILL},
      {"garbage", 30000, ENGINE_OK, 0, 0},
  };
  const ClientTimeouts quick{.usiok_ms = 1000, .readyok_ms = 1000, .answer_grace_ms = 200, .quit_grace_ms = 300,
                             .term_grace_ms = 300};
  const std::string folder = std::string(MISBEHAVING_ENGINE_BIN).substr(0, std::string(MISBEHAVING_ENGINE_BIN).rfind('/'));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.mode);
    const std::string mode = row.mode;
    Conversation t;
    ASSERT_TRUE(t.start(MISBEHAVING_ENGINE_BIN, quick, row.mode));
    const pid_t pid = t.client.pid;
    if (row.byoyomi >= 0 || row.error == ENGINE_OK) {
      const auto id = t.expect(EVENT_IDENTIFIED);
      ASSERT_TRUE(id);
      EXPECT_EQ(id->name, "Misbehaving");
      EXPECT_EQ(id->author, folder) << "it runs in its own folder";
      ASSERT_EQ(id->options.size(), 1u);
      EXPECT_EQ(id->options[0].max, 1024);
    }
    if (row.byoyomi >= 0) {
      client_position(t.client, startpos(), {});
      client_go(t.client, row.byoyomi > 0 ? GoCommand{.byoyomi = row.byoyomi} : GoCommand{.infinite = true}, 5);
      if (row.byoyomi == 0) client_stop(t.client);
    }
    if (row.error != ENGINE_OK) {
      const auto error = t.expect(EVENT_ERROR);
      ASSERT_TRUE(error);
      EXPECT_EQ(error->error, row.error) << error->text;
      EXPECT_EQ(error->request_id, row.byoyomi >= 0 ? 5 : NO_REQUEST);
      if (row.error == ENGINE_ILLEGAL_MOVE) {
        EXPECT_EQ(error->move_text, "2h2c");
      }
    }
    if (mode == "garbage") {
      // Noise, an over-long line and unreadable info lines are counted and passed over; the rest is read.
      const auto info = t.expect(EVENT_INFO, 5);
      ASSERT_TRUE(info);
      EXPECT_EQ(info->info.score_kind, SCORE_MATE);
      EXPECT_FALSE(info->info.mate_length_known);
      EXPECT_EQ(info->info.score, 1);
      EXPECT_EQ(info->info.bound, BOUND_LOWER);
      EXPECT_EQ(info->info.seldepth, 5);
      EXPECT_EQ(info->info.nodes, 99);
      EXPECT_EQ(info->info.pv.size(), 4u);
      EXPECT_EQ(info->pv_moves.size(), 2u) << "the line is cut at its first illegal move";
      const auto text = t.expect(EVENT_INFO, 5);
      ASSERT_TRUE(text);
      EXPECT_EQ(text->info.text, "a   spaced   text");
      const auto answer = t.expect(EVENT_BESTMOVE, 5);
      ASSERT_TRUE(answer);
      EXPECT_EQ(answer->move, usi(startpos(), "7g7f"));
      EXPECT_TRUE(answer->has_ponder);
      EXPECT_EQ(t.client.garbage_lines, 9);
    }
    client_quit(t.client);
    const auto exited = t.expect(EVENT_EXITED);
    ASSERT_TRUE(exited);
    if (row.exit_signal != 0)
      EXPECT_TRUE(WIFSIGNALED(exited->wait_status) && WTERMSIG(exited->wait_status) == row.exit_signal);
    else
      EXPECT_TRUE(WIFEXITED(exited->wait_status) && WEXITSTATUS(exited->wait_status) == row.exit_status)
          << describe_wait_status(exited->wait_status);
    EXPECT_TRUE(reaped(pid));
  }

  // A program that is not there never starts, and says why.
  Conversation missing;
  EXPECT_FALSE(missing.start("/nonexistent/engine", quick));
  const auto error = missing.expect(EVENT_ERROR);
  ASSERT_TRUE(error);
  EXPECT_EQ(error->error, ENGINE_START_FAILED);
}

TEST(UsiClient, ReadsOptionLinesAndWritesTheirCommands) {
  struct Row {
    const char* words;         // after "option"
    bool ok;
    UsiOptionType type;
    const char* default_value;
    const char* setoption;     // with the default as value
  };
  const Row rows[] = {
      {"name USI_Hash type spin default 256 min 1 max 4096", true, OPTION_SPIN, "256", "setoption name USI_Hash value 256"},
      {"name Skill type spin default 99 min -20 max 20", true, OPTION_SPIN, "20", "setoption name Skill value 20"},
      {"name Clear Hash type button", true, OPTION_BUTTON, "", "setoption name Clear Hash"},
      {"name Debug Log File type string default ", true, OPTION_STRING, "", "setoption name Debug Log File value <empty>"},
      {"name Book type filename default <empty>", true, OPTION_FILENAME, "", "setoption name Book value <empty>"},
      {"name Ponder type check default false", true, OPTION_CHECK, "false", "setoption name Ponder value false"},
      {"name Variant type combo default shogi var chess var shogi", true, OPTION_COMBO, "shogi",
       "setoption name Variant value shogi"},
      {"name Style type combo default odd var calm var sharp", true, OPTION_COMBO, "calm", "setoption name Style value calm"},
      {"name Ponder type check default maybe", false}, {"type spin default 1 min 1 max 2", false},
      {"name Hash type spin default many min 1 max 2", false}, {"name Hash type spinner default 1", false},
      {"name Style type combo default calm", false},
  };
  for (const Row& row : rows) {
    UsiOption option;
    std::string error;
    ASSERT_EQ(parse_option_line(row.words, option, error), row.ok) << row.words << ": " << error;
    if (!row.ok) continue;
    EXPECT_EQ(option.type, row.type) << row.words;
    EXPECT_EQ(option.default_value, row.default_value) << row.words;
    EXPECT_EQ(setoption_line(option), row.setoption) << row.words;
  }
  UsiOption injected{.name = "Book", .type = OPTION_STRING, .value = "a\nquit"};
  EXPECT_EQ(setoption_line(injected), "") << "a value cannot end the line";

  // go lines and the time the answer may take: the side to move's clock with byoyomi or increment.
  GoCommand clock{.time = {60000, 50000}, .inc = {1000, 2000}};
  EXPECT_EQ(go_line(clock), "go btime 60000 wtime 50000 binc 1000 winc 2000");
  EXPECT_EQ(answer_budget_ms(clock, WHITE), 52000);
  GoCommand ponder{.time = {0, 0}, .byoyomi = 3000, .ponder = true};
  EXPECT_EQ(go_line(ponder), "go ponder btime 0 wtime 0 byoyomi 3000");
  EXPECT_EQ(answer_budget_ms(ponder, BLACK), -1);
  ponder.ponder = false;
  EXPECT_EQ(answer_budget_ms(ponder, BLACK), 3000);
  EXPECT_EQ(answer_budget_ms(GoCommand{.movetime = 500}, BLACK), 500);
  EXPECT_EQ(answer_budget_ms(GoCommand{}, BLACK), -1);
  SfenPosition after = startpos();
  apply_move(after, usi(after, "7g7f"));
  EXPECT_EQ(position_line(after, {usi(after, "3c3d")}),
            "position sfen lnsgkgsnl/1r5b1/ppppppppp/9/9/2P6/PP1PPPPPP/1B5R1/LNSGKGSNL w - 2 moves 3c3d");
}

TEST(UsiClient, RegisteredEngineLineReadsBackOrIsRefused) {
  RegisteredEngine engine{"/usr/games/fairy-stockfish", "Fairy-Stockfish 11.1 将棋 100%", {}};
  for (const char* words : {"name Hash type spin default 16 min 1 max 131072", "name Clear Hash type button",
                            "name Debug Log File type string default <empty>",
                            "name UCI_Variant type combo default shogi var shogi var minishogi var kyoto shogi"}) {
    UsiOption option;
    std::string error;
    ASSERT_TRUE(parse_option_line(words, option, error)) << words;
    engine.options.push_back(option);
  }
  engine.options[0].value = "256";
  engine.options[2].value = "log 50%.txt";
  engine.options[3].value = "kyoto shogi";
  const std::string line = format_registered_engine(engine);
  EXPECT_EQ(line.find_first_of("\n\r\t"), std::string::npos) << line;
  RegisteredEngine back;
  std::string error;
  ASSERT_TRUE(parse_registered_engine(line, back, error)) << error << "\n" << line;
  EXPECT_EQ(back, engine);

  // What the engine offers now takes the stored values that still suit it.
  std::vector<UsiOption> offered = {engine.options[0], engine.options[3]};
  offered[0].value = offered[0].default_value;
  offered[1].choices.pop_back();   // "kyoto shogi" is no longer offered
  offered[1].value = offered[1].default_value;
  take_stored_values(offered, engine.options);
  EXPECT_EQ(offered[0].value, "256");
  EXPECT_EQ(offered[1].value, "shogi");

  const std::string good_option = " Threads spin 1 1 1 8 0";
  const std::vector<std::string> refused = {
      "", "usi-engine 2 /e x 0", "usi-engine 1 e x 0", "usi-engine 1 % x 0", "usi-engine 1 /e x 1",
      "usi-engine 1 /e x 0 more", "usi-engine 1 /e%4 x 0", "usi-engine 1 /e x%0A 0", "usi-engine 1 /e x 99999999999",
      "usi-engine 1 /e x 1" + good_option + " extra", "usi-engine 1 /e x 1 Threads spin 1 9 1 8 0",
      "usi-engine 1 /e x 1 Threads spinner 1 1 1 8 0", "usi-engine 1 /e x 1 V combo a b 0 0 1 a",
      "usi-engine 1 /e x 1 V check true yes 0 0 0"};
  for (const std::string& bad : refused) {
    RegisteredEngine out = engine;
    EXPECT_FALSE(parse_registered_engine(bad, out, error)) << bad;
    EXPECT_EQ(out, engine) << bad;
  }
  EXPECT_TRUE(parse_registered_engine("usi-engine 1 /e x 1" + good_option, back, error)) << error;
}
