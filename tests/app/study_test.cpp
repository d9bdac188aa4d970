// 検討 and ヒント through the window's own commands, with halvane-usi beside the tests as the analyst: 検討
// moves to every position stepped to and leaves the record alone; a hint names a legal move of the
// player's, highlights it and plays nothing. The test waits on the analyst's posted events.
#include "app/engine_opponent.h"
#include "app/study.h"
#include "core/legality.h"
#include "play_fixture.h"

namespace halvane::test_support {

namespace {

struct StudyTest : PlayTest {
  // Runs the window thread's events until `done` holds (or the analyst failed, a failure of the test).
  template <typename Done>
  void run_until(Done done) {
    while (!done()) {
      ASSERT_TRUE(study_of(*gs).session && !study_of(*gs).session->failed) << status_utf8();
      wait_for_window_event();
    }
  }
  std::string status_utf8() { return utf8(status()); }
  void TearDown() override {
    close_analyst(*gs);
    close_engine_opponent(*gs);
    PlayTest::TearDown();
  }
};

TEST_F(StudyTest, ConsiderFollowsStepsAndAHintPlaysNothing) {
  start(true);
  for (Square s : {Square{2, 6}, Square{2, 5}}) click(s);   // ▲７六歩
  run_computer_turn();
  const GameRecord before = gs->game.record;
  command(CMD_STUDY_START);
  // 1. 検討 thinks on each position stepped to, with the side to move there; the record stays as it was.
  for (int step : {CMD_BACK, CMD_BACK, CMD_FORWARD}) {
    command(step);
    const int node = gs->game.cursor;
    run_until([&] {
      const AnalysisSession& s = *study_of(*gs).session;
      return study_of(*gs).node == node && !s.lines.empty() && s.lines[0].evaluation != NO_EVALUATION;
    });
    const AnalysisLine& line = study_of(*gs).session->lines[0];
    EXPECT_EQ(line.first_mover, gs->game.position.side_to_move) << "step " << step;
    EXPECT_NE(scripted_ui().study_pane.find("評価値"), std::string::npos) << scripted_ui().study_pane;
  }
  command(CMD_STUDY_STOP);
  EXPECT_EQ(scripted_ui().study_pane, "");
  EXPECT_EQ(gs->game.record.nodes.size(), before.nodes.size());
  // 2. A hint on the player's turn: a legal move of the player's, shown, not played.
  command(CMD_LAST);
  command(CMD_PAUSE);   // the game goes on
  const size_t moves = gs->game.record.nodes.size();
  command(CMD_HINT);
  run_until([&] { return shown_hint(*gs) != nullptr; });
  const std::vector<MoveRecord> legal = legal_moves(gs->game.position);
  EXPECT_NE(std::find(legal.begin(), legal.end(), *shown_hint(*gs)), legal.end());
  EXPECT_NE(status_utf8().find("ヒント：▲"), std::string::npos) << status_utf8();
  EXPECT_EQ(gs->game.record.nodes.size(), moves);
}

// A registered engine as the computer, chosen in the new-game dialog: halvane-usi answers the player's
// move within the window's think limit; an engine's illegal move ends the game as its 反則負け; one that
// dies in its think holds the game with a message, the record as it was, and its next turn starts it again.
TEST_F(StudyTest, AnEngineAsTheComputerAndItsFailures) {
  register_engine(study_of(*gs).engines, RegisteredEngine{MISBEHAVING_ENGINE_BIN, "Misbehaving", {}});
  gs->flags.think_limit_ms = 300;
  struct Row {
    int opponent;
    const char* misdeed;
    GameEnd end;
    const char* box;   // the engine's failure, told
  };
  const Row rows[] = {
      {0, nullptr, GAME_END_NONE, nullptr},
      {1, "illegal", GAME_END_FOUL, "反則手を指しました（2h2c）"},
      {1, "exit-in-go", GAME_END_NONE, "異常終了しました"},
  };
  for (const Row& row : rows) {
    NewGameChoice choice{0, 0, -1};
    choice.opponent = row.opponent;
    scripted_ui().new_game_answers.push_back(choice);
    command(CMD_NEW_GAME);
    ASSERT_TRUE(engine_plays(*gs)) << row.opponent;
    if (row.misdeed) gs->opponent->arguments = {row.misdeed};
    scripted_ui().boxes.clear();
    for (Square s : {Square{2, 6}, Square{2, 5}}) click(s);   // ▲７六歩
    run_computer_turn();
    const std::string said = scripted_ui().boxes.empty() ? "" : utf8(scripted_ui().boxes.back().text);
    EXPECT_EQ(end_here(*gs), row.end) << row.opponent << " " << said;
    if (!row.box) {
      EXPECT_EQ(cursor_ply(*gs), 2);
      EXPECT_TRUE(legal_move_by(*gs, 2, GOTE));
      EXPECT_TRUE(player_to_move(*gs));
      continue;
    }
    EXPECT_EQ(cursor_ply(*gs), 1) << row.misdeed;
    EXPECT_NE(said.find(row.box), std::string::npos) << row.misdeed << ": " << said;
    if (row.end == GAME_END_NONE) {
      // Held, not ended: the pause's button goes on with the engine started again (now answering
      // black's 7g7f for white: a foul of its own).
      EXPECT_TRUE(gs->flags.paused);
      gs->opponent->arguments.clear();
      command(CMD_PAUSE);
      run_computer_turn();
      EXPECT_EQ(end_here(*gs), GAME_END_FOUL);
      EXPECT_NE(utf8(scripted_ui().boxes.back().text).find("（7g7f）"), std::string::npos);
    }
  }
}

TEST_F(StudyTest, ConsiderThinksOnTheEditedPosition) {
  start(true);
  command(CMD_STUDY_START);
  const StudyState& study = study_of(*gs);
  const auto has_line = [&] { return !study.session->lines.empty() && !study.session->lines[0].moves.empty(); };
  // 1. 局面編集 keeps 検討 going, and every edit restarts it on the edited position: here 香落ち, 上手 to move.
  command(CMD_EDIT_POSITION);
  edit_set_start(*gs, *e, 1);
  run_until([&] { return study.on_edit && study.edit_revision == gs->edit.revision && has_line(); });
  const std::vector<MoveRecord> legal = legal_moves(gs->edit.position);
  EXPECT_EQ(study.session->lines[0].first_mover, WHITE);
  EXPECT_NE(std::find(legal.begin(), legal.end(), study.session->lines[0].moves[0]), legal.end());
  // 2. A position no engine could take is not sent: the pane says why.
  command(CMD_EDIT_CLEAR);
  EXPECT_NE(scripted_ui().study_pane.find("この局面は検討できません。\n先手の玉がありません。"), std::string::npos)
      << scripted_ui().study_pane;
  // 3. キャンセル: back to the game's position, sente to move.
  command(CMD_EDIT_CANCEL);
  run_until([&] { return !study.on_edit && study.node == gs->game.cursor && has_line(); });
  EXPECT_EQ(study.session->lines[0].first_mover, BLACK);
}

}  // namespace

}  // namespace halvane::test_support
