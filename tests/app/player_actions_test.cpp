// What the player may do besides moving: take back (待った), illegal moves refused or played as a foul,
// resign, and the question about an unsaved game before the commands that would throw it away.
#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "kif_test_util.h"
#include "play_fixture.h"
#include "think/think_ahead.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct PlayerActions : PlayTest {
  void play_pair(Square from, Square to) { click(from), click(to), run_computer_turn(); }
  // Two move pairs as sente (7六歩, 2六歩), then the boxes forgotten.
  void two_pairs() {
    start(true);
    play_pair({2, 6}, {2, 5}), play_pair({7, 6}, {7, 5});
    scripted_ui().boxes.clear();
  }
  // The record ends after move k, the board shows it, the player to move.
  ::testing::AssertionResult at_move(int k) {
    if (cursor_ply(*gs) != k || shown_moves(*gs) != k || !player_to_move(*gs) || gs->flags.thinking)
      return ::testing::AssertionFailure() << "at move " << cursor_ply(*gs) << " of " << shown_moves(*gs);
    return board_at_ply(*gs, k);
  }
  bool saved_ending(const char* end) {
    const std::string path = kif_test::temp_path("actions.kif"), word = kif_test::cp932(end);
    scripted_ui().save_paths.push_back(path);
    command(CMD_SAVE_KIF);
    // The end word closes the moves, just before the "まで" line.
    const std::string file = kif_test::read_file(path);
    const size_t summary = file.rfind(kif_test::cp932("\r\nまで"));
    return summary != std::string::npos && file.substr(0, summary).ends_with(word);
  }
};

}  // namespace

TEST_F(PlayerActions, TakeBackAndResign) {
  command(CMD_TAKE_BACK);
  EXPECT_EQ(status(), u"対局が始まっていないので待ったはできません。");
  two_pairs(), command(CMD_TAKE_BACK);
  EXPECT_TRUE(at_move(2)) << "the player's move and the computer's answer leave the record";
  EXPECT_EQ(gs->view.show_last_move, 1) << "the computer's move into the position is shown again";
  command(CMD_TAKE_BACK);   // twice in a row
  EXPECT_TRUE(at_move(0));
  command(CMD_TAKE_BACK);
  EXPECT_TRUE(status() == u"これ以上は待ったできません。" && at_move(0));

  play_pair({2, 6}, {2, 5}), play_pair({7, 6}, {7, 5});
  scripted_ui().answers.push_back(ANSWER_NO);
  command(CMD_RESIGN), command(CMD_RESIGN);   // the first not confirmed
  EXPECT_TRUE(end_here(*gs) == GAME_END_RESIGNED && status() == u"プレイヤーが投了しました。試合終了です。");
  EXPECT_TRUE(saved_ending("\r\n5 投了"));
  command(CMD_TAKE_BACK);   // after the end: the last pair, and the game goes on
  EXPECT_TRUE(at_move(2) && !game_over(*gs));

  // Resigning on the computer's turn (held by the pause): the player's move leaves the record first.
  command(CMD_PAUSE), click(6, 6), click(6, 5), command(CMD_RESIGN);
  EXPECT_TRUE(board_at_ply(*gs, 2) && shown_moves(*gs) == 2 && game_over(*gs));
}

// A take back stops the computer's think (a long one: out of the book at the strongest level) and the
// think ahead, and leaves no thread running.
TEST_F(PlayerActions, TakeBackStopsTheThinks) {
  set_strength(*e, STRENGTH_GEKIKARA);
  start(true), click(8, 6), click(8, 5);
  ASSERT_TRUE(gs->flags.thinking);
  command(CMD_TAKE_BACK);
  EXPECT_FALSE(gs->flags.think_thread.joinable());
  EXPECT_TRUE(at_move(0));

  set_strength(*e, STRENGTH_CHUUKARA);
  play_pair({2, 6}, {2, 5});
  ThinkAhead ahead;
  ahead.engines[0] = new_engine(STRENGTH_GEKIKARA);
  gs->flags.ahead = &ahead, gs->flags.think_ahead = true;
  advance_game(*gs, *e);
  ASSERT_TRUE(think_ahead_running(ahead));
  command(CMD_TAKE_BACK);
  EXPECT_TRUE(at_move(0));
  {
    // Stopped, and thinking again on the position the take back left: the guessed replies are the
    // first move's.
    std::unique_lock<std::mutex> lock(ahead.mutex);
    ahead.changed.wait(lock, [&] { return ahead.guess_done; });
    EXPECT_TRUE(ahead.guessed > 0 && ahead.requests[0].game_ply == 1);
  }
  think_ahead_cancel(ahead);
  gs->flags.ahead = nullptr;
}

// A move into check and a pawn-drop mate: refused with the reason and nothing changed; with 反則手も指せる
// played, and the computer claims the foul: the foul move stays in the record, which ends with it.
TEST_F(PlayerActions, IllegalMovesRefusedOrPlayedAsAFoul) {
  struct Row { std::function<void(PlayerActions&)> set_up_and_move; const char16_t *refusal, *foul; };
  const Row rows[] = {
      {[](PlayerActions& t) { t.at(4, 1) = GOTE_BIT + ROOK, t.at(8, 6) = PAWN, t.set_up_position(), t.click(8, 6), t.click(8, 5); },
       u"王手を放置する手は指せません。", u"王手放置の反則負けです。試合終了です。"},
      {[](PlayerActions& t) {
         t.at(1, 0) = GOTE_BIT + LANCE, t.at(1, 2) = GOLD, t.hand(0, PAWN) = 1;
         t.set_up_position(), t.click_hand(PAWN), t.click(0, 1);
       },
       u"打ち歩詰めは指せません。", u"打ち歩詰めの反則負けです。試合終了です。"},
  };
  for (const bool allowed : {false, true})
    for (const Row& r : rows) {
      TearDown(), SetUp(), start(true), clear_position();
      gs->flags.allow_illegal = allowed, at(4, 8) = KING, at(0, 0) = GOTE_KING;
      r.set_up_and_move(*this);
      const std::string why = utf8(r.refusal) + (allowed ? " allowed" : "");
      if (!allowed) {
        EXPECT_TRUE(status() == r.refusal && at_move(0) && gs->input.selection == 0) << why;
        continue;
      }
      EXPECT_TRUE(end_here(*gs) == GAME_END_FOUL_WIN && status() == r.foul) << why;
      EXPECT_TRUE(shown_moves(*gs) == 1 && !gs->flags.thinking) << why << ": the foul is in the record";
      command(CMD_TAKE_BACK);
      EXPECT_TRUE(at_move(0) && !game_over(*gs)) << why;
    }
}

// 初期化, 新規対局, 開く and closing, each with 保存, 保存しない, キャンセル and a save cancelled in its dialog;
// a game too short to be saved is only offered to be let go.
TEST_F(PlayerActions, UnsavedGameQuestion) {
  const std::function<bool(PlayerActions&)> commands[] = {   // each true when the command went on
      [](PlayerActions& t) { return t.command(CMD_START), !t.gs->flags.started; },
      [](PlayerActions& t) { return t.command(CMD_NEW_GAME), t.gs->flags.started && shown_moves(*t.gs) == 0; },
      [](PlayerActions& t) { return t.command(CMD_LOAD_KIF), t.boxes().back().text == u"棋譜ファイルを開きませんでした。"; },
      [](PlayerActions& t) { return may_close(*t.gs, *t.e); },
  };
  struct Answer { BoxAnswer answer; bool file_chosen, goes_on; } answers[] = {{ANSWER_YES, true, true}, {ANSWER_NO, false, true}, {ANSWER_CANCEL, false, false}, {ANSWER_YES, false, false}};
  const std::string path = kif_test::temp_path("asked.kif");
  for (int c = 0; c < 4; ++c) {
    for (const Answer& a : answers) {
      TearDown(), SetUp(), two_pairs(), std::filesystem::remove(path);
      scripted_ui().answers.push_back(a.answer);
      if (a.file_chosen) scripted_ui().save_paths.push_back(path);
      const std::string why = "command " + std::to_string(c) + ", answer " + std::to_string(a.answer);
      EXPECT_EQ(commands[c](*this), a.goes_on) << why;
      EXPECT_TRUE(boxes()[0].text == u"対局を保存しますか？" && boxes()[0].buttons == BOX_SAVE_DISCARD_CANCEL) << why;
      EXPECT_EQ(std::filesystem::exists(path), a.file_chosen) << why;
      EXPECT_TRUE(a.goes_on || (at_move(4) && gs->flags.started)) << why << ": the game stays as it was";
    }
    for (const BoxAnswer a : {ANSWER_YES, ANSWER_NO}) {
      TearDown(), SetUp(), start(true), play_pair({2, 6}, {2, 5});
      scripted_ui().boxes.clear(), scripted_ui().answers.push_back(a);
      EXPECT_EQ(commands[c](*this), a == ANSWER_YES) << "two moves, command " << c;
      EXPECT_TRUE(boxes()[0].text == u"この対局は手数が足りないため保存できません。\n保存せずに破棄しますか？" &&
                  boxes()[0].buttons == BOX_YES_NO) << "command " << c;
    }
  }
  // Nothing is asked for a game saved since its last move, nor for one without moves.
  TearDown(), SetUp(), two_pairs(), saved_ending(""), command(CMD_NEW_GAME), command(CMD_NEW_GAME);
  EXPECT_EQ(boxes().size(), 1u) << "the save's own box; the new-game dialogs ask no question";
  EXPECT_EQ(scripted_ui().new_game_dialogs.size(), 3u) << "開始's, then 新規対局's twice";
}
