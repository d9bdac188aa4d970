// What the player may do besides moving: take back (待った), illegal moves refused or played as a foul,
// resign, and the question about an unsaved game before the commands that would throw it away.
#include <atomic>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/record_slots.h"
#include "kif_test_util.h"
#include "play_fixture.h"
#include "think/think_ahead.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct PlayerActions : PlayTest {
  // The player's move from one square to another, then the computer's answer.
  void play_pair(Square from, Square to) {
    click(from);
    click(to);
    ASSERT_FALSE(gs->flags.player_to_move) << "the move was taken";
    run_computer_turn();
  }
  // Two move pairs from the initial position, the player sente: 7六歩 and 2六歩.
  void two_pairs() {
    start(true);
    play_pair({2, 6}, {2, 5});
    play_pair({7, 6}, {7, 5});
    ASSERT_EQ(gs->record.length, 4);
  }
  bool board_is_slot(int k) { return slot_matches_screen(*gs, k); }
  std::string saved_end(const char* name) {
    const std::string path = kif_test::temp_path(name);
    std::filesystem::remove(path);
    scripted_ui().save_paths.push_back(path);
    command(CMD_SAVE_KIF);
    return kif_test::read_file(path);
  }
};

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_F(PlayerActions, TakeBackPairByPairDownToTheStart) {
  command(CMD_TAKE_BACK);
  EXPECT_EQ(status(), u"対局が始まっていないので待ったはできません。");
  two_pairs();
  int slot2[GS_CELLS];
  std::memcpy(slot2, gs->record.record_boards[2], sizeof slot2);

  command(CMD_TAKE_BACK);
  EXPECT_EQ(gs->record.current, 2);
  EXPECT_EQ(gs->record.length, 2) << "the player's move and the computer's answer leave the record";
  EXPECT_EQ(std::memcmp(gs->record.board, slot2, sizeof slot2), 0);
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_EQ(gs->view.show_last_move, 1) << "the computer's move into the position is highlighted again";
  EXPECT_EQ(gs->record.board[gs_index(gs->view.last_move.to_col, gs->view.last_move.to_row)] & GOTE_BIT, GOTE_BIT);
  // Played on and taken back again, the saved record is the shorter game.
  play_pair({3, 6}, {3, 5});
  command(CMD_TAKE_BACK);
  GameRecord record;
  SlotChange failure;
  int differences;
  ASSERT_TRUE(record_from_slots(*gs, record, failure, differences));
  EXPECT_EQ(record.move_count, 2);

  command(CMD_TAKE_BACK);   // twice in a row: back to the start
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_EQ(std::memcmp(gs->record.board, gs->record.initial_board, sizeof slot2), 0);
  EXPECT_EQ(gs->view.show_last_move, 0);
  command(CMD_TAKE_BACK);
  EXPECT_EQ(status(), u"これ以上は待ったできません。") << "nothing left to take back";
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_TRUE(gs->flags.player_to_move);
}

TEST_F(PlayerActions, ResignAndTakeBackAfterTheEnd) {
  two_pairs();
  scripted_ui().boxes.clear();
  scripted_ui().answers.push_back(ANSWER_NO);
  command(CMD_RESIGN);
  EXPECT_FALSE(gs->flags.game_over) << "a resignation not confirmed";
  command(CMD_RESIGN);   // confirmed
  EXPECT_TRUE(boxes_shown({{u"投了しますか？", u"投了", BOX_QUESTION, BOX_YES_NO},
                           {u"投了しますか？", u"投了", BOX_QUESTION, BOX_YES_NO}}));
  EXPECT_TRUE(gs->flags.game_over);
  EXPECT_EQ(gs->flags.end_reason, GAME_END_RESIGNED);
  EXPECT_EQ(status(), u"プレイヤーが投了しました。試合終了です。");
  EXPECT_EQ(gs->record.length, 4);
  EXPECT_TRUE(ends_with(saved_end("resigned.kif"), kif_test::cp932("\r\n5 投了")));
  command(CMD_RESIGN);
  EXPECT_EQ(status(), u"今は投了できません。") << "the game is over already";

  // After the end, 待った takes back the last move pair and the game goes on.
  command(CMD_TAKE_BACK);
  EXPECT_FALSE(gs->flags.game_over);
  EXPECT_EQ(gs->flags.end_reason, GAME_END_NONE);
  EXPECT_EQ(gs->record.current, 2);
  EXPECT_TRUE(board_is_slot(2));
  play_pair({3, 6}, {3, 5});
  EXPECT_EQ(gs->record.length, 4);

  // On the computer's turn (held by the pause) the player's move leaves the record first, so that the
  // record ends on the player's turn.
  command(CMD_PAUSE);
  click(6, 6);
  click(6, 5);
  turn_monitor_pass(*gs, *e);
  ASSERT_EQ(gs->record.length, 5);
  command(CMD_RESIGN);
  EXPECT_EQ(gs->record.length, 4);
  EXPECT_TRUE(board_is_slot(4));
  EXPECT_EQ(gs->flags.end_reason, GAME_END_RESIGNED);
}

// A take back stops whatever thinks: the computer's own think (here a long one, out of the book at the
// strongest level) and the think ahead; no thread is left and the record is as before the player's move.
TEST_F(PlayerActions, TakeBackStopsTheThinks) {
  set_strength(*e, STRENGTH_GEKIKARA);
  start(true);
  click(8, 6);   // 1六歩, out of the book
  click(8, 5);
  std::atomic<bool> pass_done{false};
  std::thread monitor([&] {
    turn_monitor_pass(*gs, *e);
    pass_done = true;
  });
  while (!gs->flags.thinking && !pass_done) std::this_thread::yield();
  command(CMD_TAKE_BACK);
  monitor.join();
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_TRUE(board_is_slot(0));
  EXPECT_TRUE(gs->flags.player_to_move);
  turn_monitor_pass(*gs, *e);
  EXPECT_FALSE(gs->flags.thinking) << "the computer does not think on the player's turn";

  set_strength(*e, STRENGTH_CHUUKARA);
  play_pair({2, 6}, {2, 5});
  ThinkAhead ahead;
  ahead.engines[0] = new_engine(STRENGTH_GEKIKARA);
  gs->flags.ahead = &ahead;
  gs->flags.think_ahead = true;
  turn_monitor_pass(*gs, *e);
  ASSERT_TRUE(think_ahead_running(ahead));
  command(CMD_TAKE_BACK);
  EXPECT_FALSE(think_ahead_running(ahead)) << "its threads are joined";
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_TRUE(board_is_slot(0));
  gs->flags.think_ahead = false;
  gs->flags.ahead = nullptr;
}

// A move into check and a pawn-drop mate: refused with the reason and nothing changed; with 反則手も指せる
// played, and the computer ends the game with the player's foul, which the saved record tells.
TEST_F(PlayerActions, IllegalMovesRefusedOrPlayedAsAFoul) {
  struct Row {
    const char* why;
    std::function<void(PlayerActions&)> position;
    std::function<void(PlayerActions&)> move;
    const char16_t* refusal;
    const char16_t* foul;
  };
  const Row rows[] = {
      {"a move that leaves the king to the rook",
       [](PlayerActions& t) { t.at(4, 1) = GOTE_BIT + ROOK, t.at(8, 6) = PAWN; },
       [](PlayerActions& t) { t.click(8, 6), t.click(8, 5); }, u"王手を放置する手は指せません。",
       u"王手放置の反則負けです。試合終了です。"},
      {"a pawn drop that mates the cornered king",
       [](PlayerActions& t) { t.at(1, 0) = GOTE_BIT + LANCE, t.at(1, 2) = GOLD, t.gs->record.hands[0][PAWN] = 1; },
       [](PlayerActions& t) { t.click_hand(PAWN), t.click(0, 1); }, u"打ち歩詰めは指せません。",
       u"打ち歩詰めの反則負けです。試合終了です。"},
  };
  for (const bool allowed : {false, true}) {
    for (const Row& r : rows) {
      SetUp();
      start(true);
      gs->flags.allow_illegal = allowed;
      clear_position();
      at(4, 8) = KING;
      at(0, 0) = GOTE_KING;
      r.position(*this);
      record_position_as(4);
      r.move(*this);
      if (!allowed) {
        EXPECT_EQ(status(), r.refusal) << r.why;
        EXPECT_EQ(gs->input.selection, 0) << r.why;
        EXPECT_TRUE(gs->flags.player_to_move) << r.why;
        EXPECT_EQ(gs->record.length, 4) << r.why;
        EXPECT_TRUE(board_is_slot(4)) << r.why << ": board and hands unchanged";
        continue;
      }
      ASSERT_FALSE(gs->flags.player_to_move) << r.why << ": played";
      run_computer_turn();
      EXPECT_TRUE(gs->flags.game_over) << r.why;
      EXPECT_EQ(gs->flags.end_reason, GAME_END_FOUL) << r.why;
      EXPECT_EQ(status(), r.foul) << r.why;
      EXPECT_EQ(gs->record.length, 4) << r.why << ": the foul leaves the record";
      EXPECT_TRUE(ends_with(saved_end("foul.kif"), kif_test::cp932(" 反則負け"))) << r.why;
      command(CMD_TAKE_BACK);   // back to the position before the foul
      EXPECT_FALSE(gs->flags.game_over) << r.why;
      EXPECT_TRUE(board_is_slot(4)) << r.why;
    }
  }
}

// 初期化, 新規対局, 開く and closing the window, each with 保存, 保存しない and キャンセル, and a save that is
// cancelled in its dialog.
TEST_F(PlayerActions, UnsavedGameQuestion) {
  struct Command {
    const char* name;
    std::function<bool(PlayerActions&)> run;   // true when the command went on
  };
  const Command commands[] = {
      {"初期化", [](PlayerActions& t) { t.command(CMD_START); return !t.gs->flags.started; }},
      {"新規対局",
       [](PlayerActions& t) {
         t.command(CMD_NEW_GAME);
         return t.gs->flags.started && t.gs->record.length == 0;
       }},
      {"開く",
       [](PlayerActions& t) {
         t.command(CMD_LOAD_KIF);   // no file chosen: the load says so
         return !t.boxes().empty() && t.boxes().back().text == u"棋譜ファイルを開きませんでした。";
       }},
      {"閉じる", [](PlayerActions& t) { return may_close(*t.gs, *t.e); }},
  };
  struct Answer {
    const char* name;
    BoxAnswer answer;
    bool save_chosen;   // a file is chosen in the save dialog
    bool goes_on;
  };
  const Answer answers[] = {{"保存", ANSWER_YES, true, true},
                            {"保存しない", ANSWER_NO, false, true},
                            {"キャンセル", ANSWER_CANCEL, false, false},
                            {"保存, the dialog cancelled", ANSWER_YES, false, false}};
  const std::string path = kif_test::temp_path("asked.kif");
  for (const Command& c : commands) {
    for (const Answer& a : answers) {
      const std::string why = std::string(c.name) + " / " + a.name;
      SetUp();
      two_pairs();
      scripted_ui().boxes.clear();
      std::filesystem::remove(path);
      scripted_ui().answers.push_back(a.answer);
      if (a.save_chosen) scripted_ui().save_paths.push_back(path);
      const bool went_on = c.run(*this);
      ASSERT_FALSE(boxes().empty()) << why;
      EXPECT_EQ(boxes()[0].text, u"対局を保存しますか？") << why;
      EXPECT_EQ(boxes()[0].buttons, BOX_SAVE_DISCARD_CANCEL) << why;
      EXPECT_EQ(went_on, a.goes_on) << why;
      EXPECT_EQ(std::filesystem::exists(path), a.save_chosen) << why;
      if (!a.goes_on) {
        EXPECT_EQ(gs->record.length, 4) << why << ": the game stays as it was";
        EXPECT_TRUE(gs->flags.started && board_is_slot(4)) << why;
      }
    }
  }
  // Nothing is asked for a game saved since its last move, nor for one without moves.
  SetUp();
  two_pairs();
  saved_end("saved.kif");
  scripted_ui().boxes.clear();
  command(CMD_NEW_GAME);
  command(CMD_NEW_GAME);
  EXPECT_TRUE(boxes_shown({{u"先手にしますか？", u"先手・後手の選択"}, {u"先手にしますか？", u"先手・後手の選択"}}));
}
