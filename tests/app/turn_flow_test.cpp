// The turn flow: the monitor's passes on the player's and the computer's turn, the pause, the repaint
// budget and watcher, the computer's move with its game ends, and the record limit.
#include <algorithm>
#include <cstring>
#include <thread>

#include "app/turn_flow.h"
#include "kif_test_util.h"
#include "play_fixture.h"
#include "search/engine.h"
#include "think/think_ahead.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct TurnFlow : PlayTest {};

// Only the kings and the given pieces.
void bare(PlayTest& t, Square player_king, Square computer_king) {
  t.clear_position();
  t.at(player_king.col, player_king.row) = KING;
  t.at(computer_king.col, computer_king.row) = GOTE_KING;
}

// The player's king on its file under a computer's rook, recorded as slot `slot`; the player then
// pushes an edge pawn and leaves the king to be taken.
void king_left_to_the_rook(PlayTest& t, int slot) {
  bare(t, {4, 8}, {0, 0});
  t.at(4, 1) = GOTE_BIT + ROOK;
  t.at(8, 6) = PAWN;
  t.record_position_as(slot);
  t.click(8, 6);
  t.click(8, 5);
}

}  // namespace

TEST_F(TurnFlow, PlayersTurnStatusAndTheRepaintBudget) {
  turn_monitor_pass(*gs, *e);
  EXPECT_EQ(status(), TEXT_PRESS_START) << "before the start";

  start(true);
  gs->view.score_shown = -42;
  const int before = repaints();
  for (int pass = 0; pass < REFRESH_BUDGET; ++pass) EXPECT_EQ(turn_monitor_pass(*gs, *e), MONITOR_STEP_MS);
  EXPECT_EQ(repaints(), before + REFRESH_BUDGET);
  EXPECT_EQ(status(), u"プレイヤーの手番です。評価値＝-42");

  // Budget spent: the status is still rewritten, but nothing is drawn until something resets the budget.
  set_status(gs->view, u"今は１手戻せません。");
  for (int pass = 0; pass < 5; ++pass) turn_monitor_pass(*gs, *e);
  EXPECT_EQ(repaints(), before + REFRESH_BUDGET);
  EXPECT_EQ(status(), u"プレイヤーの手番です。評価値＝-42");

  // Navigation leaves the budget alone; the change of sides and the reset renew it.
  command(CMD_BACK);
  EXPECT_EQ(gs->view.refresh_count.load(), REFRESH_BUDGET);
  command(CMD_START);
  EXPECT_EQ(gs->view.refresh_count.load(), 0);
}

TEST_F(TurnFlow, AFinishedGameWaits) {
  start(true);
  gs->flags.game_over = true;
  gs->flags.player_to_move = false;
  set_status(gs->view, u"end");
  const int before = repaints();
  for (int pass = 0; pass < 3; ++pass) EXPECT_EQ(turn_monitor_pass(*gs, *e), IDLE_WAIT_MS);
  EXPECT_EQ(repaints(), before);
  EXPECT_EQ(status(), u"end");
  EXPECT_FALSE(gs->flags.thinking);
}

TEST_F(TurnFlow, PauseHoldsTheComputersTurn) {
  start(true);
  click(2, 6);
  click(2, 5);
  ASSERT_FALSE(gs->flags.player_to_move);
  command(CMD_PAUSE);
  const int ply_before = e->game_ply;
  for (int pass = 0; pass < 5; ++pass) {
    EXPECT_EQ(turn_monitor_pass(*gs, *e), MONITOR_STEP_MS);
    EXPECT_EQ(status(), u"コンピュータの手番ですが一時停止中です。");
  }
  EXPECT_EQ(e->game_ply, ply_before) << "no think started";
  EXPECT_EQ(gs->record.length, 1);
  EXPECT_FALSE(gs->flags.player_to_move);

  command(CMD_PAUSE);   // lifted: the computer plays
  run_computer_turn();
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_FALSE(gs->flags.thinking);
  ASSERT_EQ(gs->record.length, 2) << "the computer's reply is recorded at current + 1";
  EXPECT_EQ(gs->record.current, 2);
  EXPECT_TRUE(slot_matches_screen(*gs, 2));
  EXPECT_TRUE(one_move_apart(*gs, 2, GOTE));
  EXPECT_TRUE(material_conserved(*gs));
  EXPECT_EQ(gs->view.show_last_move, 1);
  EXPECT_EQ(gs->view.refresh_count.load(), 0) << "a new budget after the computer's turn";
  turn_monitor_pass(*gs, *e);
  EXPECT_EQ(status(), u"プレイヤーの手番です。") << "a book reply has no evaluation to show";
}

TEST_F(TurnFlow, TheEngineGetsThePositionOnScreen) {
  start(false);   // as gote: the computer moves first
  turn_monitor_pass(*gs, *e);
  ASSERT_EQ(gs->record.length, 1);
  // The think's input: every square's code, walls around, the hands as bytes; the move count handed in.
  EXPECT_EQ(gs->record.engine_board[0], SQ_WALL);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col)
      EXPECT_EQ(gs->record.engine_board[cell_of(col, row)], gs->record.record_boards[0][gs_index(col, row)]) << col << "," << row;
  EXPECT_EQ(e->game_ply, 1) << "game_ply was the record's current (0); the think adds one";
  EXPECT_TRUE(one_move_apart(*gs, 1, GOTE));
  EXPECT_TRUE(gs->flags.player_to_move);
}

TEST_F(TurnFlow, ComputerCapturesThePlayersKing) {
  start(true);
  gs->flags.allow_illegal = true;   // 反則手も指せる: the move that leaves the king attacked is played
  king_left_to_the_rook(*this, 6);
  ASSERT_EQ(gs->record.length, 7);
  turn_monitor_pass(*gs, *e);
  ASSERT_TRUE(gs->flags.game_over);
  EXPECT_EQ(at(4, 8) & ~PROMOTED_BIT, GOTE_BIT + ROOK) << "the board shows the capture";
  EXPECT_EQ(at(4, 1), SQ_EMPTY);
  EXPECT_EQ(gs->record.hands[1][KING], 0) << "the king does not enter the computer's hand";
  EXPECT_EQ(gs->record.current, 6) << "the player's last move leaves the record";
  EXPECT_EQ(gs->record.length, 6);
  EXPECT_EQ(gs->flags.end_reason, GAME_END_FOUL);
  EXPECT_EQ(status(), u"王手放置の反則負けです。試合終了です。");
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_FALSE(gs->flags.thinking);
  const int before = repaints();
  turn_monitor_pass(*gs, *e);
  EXPECT_EQ(gs->record.length, 6) << "nothing is recorded after the end";
  EXPECT_EQ(repaints(), before);
  // The saved record ends on the player's turn with the foul.
  const std::string path = kif_test::temp_path("foul.kif");
  scripted_ui().save_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const std::string file = kif_test::read_file(path);
  EXPECT_NE(file.find(kif_test::cp932(" 反則負け\r\nまで")), std::string::npos);
  EXPECT_TRUE(file.ends_with(kif_test::cp932("手で先手の反則負け\r\n")));
}

TEST_F(TurnFlow, ComputerResignsAHopelessPosition) {
  start(true);
  // The computer's king alone in the corner, mated by a gold that a pawn protects.
  bare(*this, {4, 8}, {0, 0});
  at(0, 1) = GOLD;
  at(0, 2) = PAWN;
  at(8, 6) = PAWN;
  gs->record.hands[0][ROOK] = 2;
  record_position_as(4);
  click(8, 6);
  click(8, 5);
  int board[GS_CELLS];
  std::memcpy(board, gs->record.board, sizeof board);
  turn_monitor_pass(*gs, *e);
  ASSERT_TRUE(gs->flags.game_over);
  EXPECT_EQ(std::memcmp(board, gs->record.board, sizeof board), 0) << "the board stays as before the think";
  EXPECT_EQ(gs->record.length, 5) << "nothing is recorded";
  EXPECT_EQ(gs->flags.end_reason, GAME_END_RESIGNED);
  EXPECT_EQ(gs->view.show_last_move, 0);
  EXPECT_TRUE(gs->flags.player_to_move) << "the turn toggles back to the player";
  EXPECT_EQ(gs->view.score_shown, NO_SCORE) << "the resigning think's score is no evaluation to show";
  EXPECT_EQ(status(), u"コンピュータが投了しました。試合終了です。");
  ASSERT_FALSE(boxes().empty());
  EXPECT_EQ(test_support::utf8(boxes().back().text),
            "コンピュータが投了しました。\nあなたの勝ちです。\n（まで5手で先手の勝ち、あなたは先手）");
}

// The computer's mate ends the game at once with the mating move recorded: the last move of a real game
// that sente won, the player gote (the board rotated). Saved, the record closes with 詰み.
TEST_F(TurnFlow, ComputerMatesThePlayer) {
  start(true);
  kif_test::play_usi(*gs, {"7g7f", "3c3d", "8h2b+", "5a4b", "2b2a", "8b5b", "2a3a", "4b3c", "S*2e", "6a5a",
                           "N*4e", "3c4d", "3a4a", "6c6d", "B*2f", "4d5d", "4a5b", "5a5b", "R*5f", "5d6c",
                           "5f5c+", "6c7b", "5c5b", "B*6b", "2f6b+", "7a6b", "B*6a", "7b8b", "5b6b", "B*7b"});
  rotate_record(gs->record);
  gs->record.current = 30;
  show_slot(gs->record, 30);
  turn_by_parity(*gs);
  run_computer_turn();
  ASSERT_TRUE(gs->flags.game_over);
  EXPECT_EQ(gs->flags.end_reason, GAME_END_MATED);
  EXPECT_EQ(status(), TEXT_MATED);
  EXPECT_EQ(gs->record.length, 31);
  EXPECT_TRUE(one_move_apart(*gs, 31, GOTE));
  const std::string path = kif_test::temp_path("mated.kif");
  scripted_ui().save_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const std::string file = kif_test::read_file(path), ending = kif_test::cp932("\r\n32 詰み\r\nまで31手で詰み\r\n");
  EXPECT_EQ(file.substr(file.size() - std::min(file.size(), ending.size())), ending);
}

// A reset pressed while the game's end is still on screen must not let the ended turn write into the new
// game or hand it to the computer.
TEST_F(TurnFlow, ResetDuringTheGameEndHold) {
  start(true);
  gs->flags.allow_illegal = true;
  king_left_to_the_rook(*this, 2);
  std::thread monitor([&] { turn_monitor_pass(*gs, *e); });
  while (!gs->flags.game_over) std::this_thread::yield();
  command(CMD_START);   // reset, allowed once the game is over
  monitor.join();
  EXPECT_FALSE(gs->flags.started);
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board), 0);
  EXPECT_EQ(std::memcmp(gs->record.record_boards[1], gs->record.initial_board, sizeof gs->record.board), 0);
  turn_monitor_pass(*gs, *e);
  EXPECT_EQ(status(), TEXT_PRESS_START);
}

TEST_F(TurnFlow, NoComputerMovePastTheLastRecordSlot) {
  start(true);
  record_position_as(RECORD_SLOTS - 1);
  gs->flags.player_to_move = false;
  int last[GS_CELLS];
  std::memcpy(last, gs->record.record_boards[RECORD_SLOTS - 1], sizeof last);
  const int ply_before = e->game_ply;
  turn_monitor_pass(*gs, *e);
  EXPECT_EQ(status(), TEXT_RECORD_FULL);
  EXPECT_TRUE(gs->flags.game_over);
  EXPECT_EQ(gs->flags.end_reason, GAME_END_NONE) << "stopped, not ended";
  EXPECT_EQ(gs->record.length, RECORD_SLOTS - 1);
  EXPECT_EQ(gs->record.current, RECORD_SLOTS - 1);
  EXPECT_EQ(e->game_ply, ply_before) << "no think for a move that could not be recorded";
  EXPECT_EQ(std::memcmp(last, gs->record.record_boards[RECORD_SLOTS - 1], sizeof last), 0);
  // Navigation takes the game back to where it can go on.
  command(CMD_BACK);
  EXPECT_FALSE(gs->flags.game_over);
  EXPECT_EQ(gs->record.current, RECORD_SLOTS - 2);
}

TEST_F(TurnFlow, RepaintWatcherDrawsEachProgressValueOnce) {
  EXPECT_FALSE(repaint_watcher_pass(*gs, *e)) << "no think, no repaint";
  gs->flags.thinking = true;
  e->root_progress = 2;
  EXPECT_TRUE(repaint_watcher_pass(*gs, *e));
  EXPECT_EQ(gs->view.progress_drawn, 2);
  EXPECT_FALSE(repaint_watcher_pass(*gs, *e)) << "the same value is drawn once";
  e->root_progress = 3;
  EXPECT_TRUE(repaint_watcher_pass(*gs, *e));
}

TEST_F(TurnFlow, WakeCutsTheIdleWaitShort) {
  std::atomic<bool> woke{false};
  std::thread waiter([&] {
    wait_for_wake(60 * 60 * 1000);
    woke = true;
  });
  // Keep waking until the waiter has seen it: a wake sent before it began waiting would be missed.
  while (!woke) {
    wake_turn_threads();
    std::this_thread::yield();
  }
  waiter.join();
  EXPECT_TRUE(woke);
}

// Thinking ahead on the player's time: when the player plays the guessed reply, the answer thought on
// it is played and the game's own Engine never thinks; every command stops the think ahead first and
// leaves the record as it was.
TEST_F(TurnFlow, ThinkAheadIsAdoptedOnTheGuessedReplyAndStoppedByEveryCommand) {
  ThinkAhead ahead;
  ahead.engines[0] = new_engine(STRENGTH_CHUUKARA);
  gs->flags.ahead = &ahead;
  gs->flags.think_ahead = true;
  start(true);
  turn_monitor_pass(*gs, *e);
  ASSERT_TRUE(think_ahead_running(ahead));
  ThinkRequest guessed;
  {
    std::unique_lock<std::mutex> lock(ahead.mutex);
    ahead.changed.wait(lock, [&] { return ahead.complete[0] || (ahead.guess_done && ahead.guessed == 0); });
    ASSERT_TRUE(ahead.complete[0]);
    guessed = ahead.requests[0];
  }
  // The guessed reply as two clicks: the square the piece left and the one it reached.
  int from = -1, to = -1;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int cell = cell_of(col, row);
      if (guessed.board[cell] == gs->record.board[gs_index(col, row)]) continue;
      (guessed.board[cell] == SQ_EMPTY ? from : to) = cell;
    }
  ASSERT_TRUE(from >= 0 && to >= 0) << "the guess is a board move from the initial position";
  const int engine_ply = e->game_ply;
  click(col_of(from), row_of(from));
  click(col_of(to), row_of(to));
  run_computer_turn();
  EXPECT_EQ(e->game_ply, engine_ply) << "the game's Engine thought although the answer was thought ahead";
  EXPECT_FALSE(think_ahead_running(ahead));
  ASSERT_EQ(gs->record.length, 2);
  EXPECT_TRUE(one_move_apart(*gs, 2, GOTE));
  const MoveRecord& played = ahead.results[0].move;
  EXPECT_EQ(gs->record.record_boards[2][gs_index(played.to_col, played.to_row)], played.piece_after);

  for (const int id : {CMD_PAUSE, CMD_BACK, CMD_CHANGE_SIDES, CMD_START}) {
    gs->flags.paused = false;
    turn_monitor_pass(*gs, *e);
    ASSERT_TRUE(think_ahead_running(ahead)) << id;
    const int length = gs->record.length;
    std::vector<int> slots(&gs->record.record_boards[0][0], &gs->record.record_boards[length + 1][0]);
    command(id);
    EXPECT_FALSE(think_ahead_running(ahead)) << id;
    EXPECT_FALSE(ahead.engines[0]->mate_thread.joinable()) << id;
    if (id == CMD_START) break;   // a reset empties the record
    EXPECT_EQ(gs->record.length, length) << id;
    EXPECT_TRUE(std::equal(slots.begin(), slots.end(), &gs->record.record_boards[0][0])) << id;
    if (id == CMD_CHANGE_SIDES) command(CMD_CHANGE_SIDES);
    if (id == CMD_BACK) command(CMD_FORWARD);
  }
  gs->flags.ahead = nullptr;
}
