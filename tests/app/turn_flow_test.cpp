// The turn flow: the status on the player's turn, a finished game and the pause holding the computer, the
// computer's move with its game ends, the player's foul claimed, stale answers dropped, the progress the
// window's timer draws, and thinking ahead.
#include <algorithm>
#include <cstring>
#include <thread>

#include "app/evaluation_text.h"
#include "app/game_end.h"
#include "app/record_play.h"
#include "app/turn_flow.h"
#include "app/utf8.h"
#include "kif_test_util.h"
#include "play_fixture.h"
#include "search/engine.h"
#include "think/think_ahead.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct TurnFlow : PlayTest {
  // Waits until the computer's think has posted its answer, without running it.
  void wait_for_answer_posted() {
    std::unique_lock lock(scripted_ui().mutex);
    scripted_ui().event_posted.wait(lock, [] { return !scripted_ui().events.empty(); });
  }
};

// Only the kings and the given pieces.
void bare(PlayTest& t, Square player_king, Square computer_king) {
  t.clear_position();
  t.at(player_king.col, player_king.row) = KING;
  t.at(computer_king.col, computer_king.row) = GOTE_KING;
}

// Two moves from a bare position bring a computer's rook onto the player's king's file; the player then
// pushes an edge pawn and leaves the king to be taken.
void king_left_to_the_rook(PlayTest& t) {
  bare(t, {4, 8}, {0, 0});
  t.at(3, 1) = GOTE_BIT + ROOK;
  t.at(8, 6) = PAWN;
  t.at(7, 6) = PAWN;
  t.set_up_position();
  play_move(*t.gs, MoveRecord{7, 6, PAWN, 7, 5, PAWN, SQ_EMPTY});
  play_move(*t.gs, MoveRecord{3, 1, GOTE_BIT + ROOK, 4, 1, GOTE_BIT + ROOK, SQ_EMPTY});
  t.click(8, 6);
  t.click(8, 5);
}

}  // namespace

// The status is written by whatever changes the game: a refusal stays until the next change.
TEST_F(TurnFlow, StatusOnThePlayersTurn) {
  EXPECT_EQ(status(), TEXT_PRESS_START) << "before the start";
  start(true);
  EXPECT_EQ(status(), u"プレイヤーの手番です。");
  command(CMD_BACK);
  EXPECT_EQ(status(), u"今は１手戻せません。");
  run_window_events();
  EXPECT_EQ(status(), u"今は１手戻せません。") << "nothing rewrites a refusal";
  click(2, 6);
  click(2, 5);
  EXPECT_EQ(status(), TEXT_THINKING);
  run_computer_turn();
  EXPECT_EQ(status(), u"プレイヤーの手番です。") << "a book reply has no evaluation to show";
  click(8, 6);   // out of the book: the think's evaluation, labelled and kept with its move
  click(8, 5);
  run_computer_turn();
  const int evaluation = gs->game.record.nodes[gs->game.cursor].evaluation;
  ASSERT_NE(evaluation, NO_EVALUATION);
  EXPECT_EQ(status(), u"プレイヤーの手番です。" + utf16_from_utf8(evaluation_label(evaluation)));
}

TEST_F(TurnFlow, AFinishedGameWaits) {
  start(true);
  command(CMD_PAUSE);
  click(2, 6);
  click(2, 5);
  end_game(*gs, GAME_END_RESIGNED);   // say the computer resigned
  set_status(gs->view, u"end");
  command(CMD_PAUSE);   // lifted: still nothing to do
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_EQ(status(), u"end");
  EXPECT_EQ(run_window_events(), 0);
}

TEST_F(TurnFlow, PauseHoldsTheComputersTurn) {
  start(true);
  command(CMD_PAUSE);
  click(2, 6);
  click(2, 5);
  ASSERT_FALSE(player_to_move(*gs));
  const int ply_before = e->game_ply;
  EXPECT_EQ(status(), u"コンピュータの手番ですが一時停止中です。");
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_EQ(run_window_events(), 0);
  EXPECT_EQ(e->game_ply, ply_before) << "no think started";
  EXPECT_EQ(shown_moves(*gs), 1);

  command(CMD_PAUSE);   // lifted: the computer plays
  ASSERT_TRUE(gs->flags.thinking);
  run_computer_turn();
  EXPECT_TRUE(player_to_move(*gs));
  EXPECT_FALSE(gs->flags.thinking);
  ASSERT_EQ(shown_moves(*gs), 2) << "the computer's reply is recorded after the player's move";
  EXPECT_TRUE(board_at_ply(*gs, 2));
  EXPECT_TRUE(legal_move_by(*gs, 2, GOTE));
  EXPECT_TRUE(material_conserved(*gs));
  EXPECT_EQ(gs->view.show_last_move, 1);
  EXPECT_EQ(status(), u"プレイヤーの手番です。") << "a book reply has no evaluation to show";
}

TEST_F(TurnFlow, TheComputerMovesFirstAsSente) {
  start(false);   // as gote: the computer moves first
  ASSERT_TRUE(gs->flags.thinking);
  run_computer_turn();
  ASSERT_EQ(shown_moves(*gs), 1);
  EXPECT_EQ(e->game_ply, 1) << "game_ply was the moves played (0); the think adds one";
  EXPECT_TRUE(legal_move_by(*gs, 1, GOTE));
  EXPECT_TRUE(player_to_move(*gs));
  EXPECT_TRUE(gs->screen.rotated) << "the player's pieces at the bottom";
}

// An illegal move played with 反則手も指せる: the computer claims the foul at once. The foul move stays in
// the record and the file, which end with 反則勝ち for the computer; the box says the player lost.
TEST_F(TurnFlow, ThePlayersFoulIsClaimed) {
  start(true);
  command(CMD_PAUSE);
  command(CMD_PAUSE);
  gs->flags.allow_illegal = true;
  king_left_to_the_rook(*this);
  ASSERT_TRUE(game_over(*gs));
  EXPECT_FALSE(gs->flags.thinking) << "no think for a claimed foul";
  EXPECT_EQ(at(8, 5), PAWN) << "the board shows the foul";
  EXPECT_EQ(at(4, 8), KING);
  EXPECT_EQ(shown_moves(*gs), 3) << "the foul move is in the record";
  EXPECT_EQ(end_here(*gs), GAME_END_FOUL_WIN);
  EXPECT_EQ(status(), u"王手放置の反則負けです。試合終了です。");
  ASSERT_FALSE(boxes().empty());
  EXPECT_EQ(test_support::utf8(boxes().back().text),
            "反則手を指しました。\nコンピュータの勝ちです。\n（まで3手で後手の反則勝ち、あなたは先手）");
  // The saved record ends on the computer's turn with its 反則勝ち.
  const std::string path = kif_test::temp_path("foul.kif");
  scripted_ui().save_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const std::string file = kif_test::read_file(path);
  EXPECT_NE(file.find(kif_test::cp932("3 １六歩(17)   ( 0:00/00:00:00)\r\n4 反則勝ち\r\nまで3手で後手の反則勝ち\r\n")), std::string::npos);
}

TEST_F(TurnFlow, ComputerResignsAHopelessPosition) {
  start(true);
  // The computer's king alone in the corner, mated by a gold that a pawn protects.
  bare(*this, {4, 8}, {0, 0});
  at(0, 1) = GOLD;
  at(0, 2) = PAWN;
  at(8, 6) = PAWN;
  hand(0, ROOK) = 2;
  set_up_position();
  click(8, 6);
  click(8, 5);
  int board[GS_CELLS];
  std::memcpy(board, gs->screen.board, sizeof board);
  run_computer_turn();
  ASSERT_TRUE(game_over(*gs));
  EXPECT_EQ(std::memcmp(board, gs->screen.board, sizeof board), 0) << "the board stays as before the think";
  EXPECT_EQ(shown_moves(*gs), 1) << "nothing is recorded";
  EXPECT_EQ(end_here(*gs), GAME_END_RESIGNED);
  EXPECT_EQ(gs->view.show_last_move, 0);
  EXPECT_EQ(gs->view.score_shown, NO_SCORE) << "the resigning think's score is no evaluation to show";
  EXPECT_EQ(status(), u"コンピュータが投了しました。試合終了です。");
  ASSERT_FALSE(boxes().empty());
  EXPECT_EQ(test_support::utf8(boxes().back().text),
            "コンピュータが投了しました。\nあなたの勝ちです。\n（まで1手で先手の勝ち、あなたは先手）");
}

// The computer's mate ends the game at once with the mating move recorded: the last move of a real game
// that sente won, the player gote. Saved, the record closes with 詰み.
TEST_F(TurnFlow, ComputerMatesThePlayer) {
  start(true);
  command(CMD_PAUSE);
  kif_test::play_usi(*gs, {"7g7f", "3c3d", "8h2b+", "5a4b", "2b2a", "8b5b", "2a3a", "4b3c", "S*2e", "6a5a",
                           "N*4e", "3c4d", "3a4a", "6c6d", "B*2f", "4d5d", "4a5b", "5a5b", "R*5f", "5d6c",
                           "5f5c+", "6c7b", "5c5b", "B*6b", "2f6b+", "7a6b", "B*6a", "7b8b", "5b6b", "B*7b"});
  gs->game.player_side = WHITE;
  show_position(*gs);
  command(CMD_PAUSE);   // lifted: the computer, sente, to move
  run_computer_turn();
  ASSERT_TRUE(game_over(*gs));
  EXPECT_EQ(end_here(*gs), GAME_END_MATED);
  EXPECT_EQ(status(), TEXT_MATED);
  EXPECT_EQ(shown_moves(*gs), 31);
  EXPECT_TRUE(legal_move_by(*gs, 31, GOTE));
  EXPECT_EQ(gs->game.record.nodes[gs->game.cursor].evaluation, mate_evaluation(1, true)) << "sente's mate, kept";
  const std::string path = kif_test::temp_path("mated.kif");
  scripted_ui().save_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const std::string file = kif_test::read_file(path), ending = kif_test::cp932("\r\n32 詰み\r\nまで31手で詰み\r\n");
  EXPECT_EQ(file.substr(file.size() - std::min(file.size(), ending.size())), ending);
}

// An answer that arrives after a command changed the game (its think stopped, or already ended and
// posted) belongs to an older generation and is dropped: the record is as the command left it.
TEST_F(TurnFlow, AStaleAnswerIsDropped) {
  for (const int id : {CMD_TAKE_BACK, CMD_RESIGN, CMD_NEW_GAME}) {
    TearDown();
    SetUp();
    start(true);
    click(2, 6);
    click(2, 5);
    ASSERT_TRUE(gs->flags.thinking) << id;
    wait_for_answer_posted();
    command(id);
    EXPECT_FALSE(gs->flags.thinking) << id;
    const unsigned revision = gs->game.revision;
    EXPECT_EQ(run_window_events(), 1) << id;
    EXPECT_EQ(gs->game.revision, revision) << id << ": the answer was dropped";
    EXPECT_EQ(shown_moves(*gs), 0) << id;
  }
}

TEST_F(TurnFlow, ProgressTickDrawsEachProgressValueOnce) {
  EXPECT_FALSE(progress_tick(*gs, *e)) << "no think, no repaint";
  gs->flags.thinking = true;
  e->root_progress = 2;
  EXPECT_TRUE(progress_tick(*gs, *e));
  EXPECT_EQ(gs->view.progress_drawn, 2);
  EXPECT_EQ(status(), TEXT_THINKING);
  EXPECT_FALSE(progress_tick(*gs, *e)) << "the same value is drawn once";
  e->root_progress = 3;
  gs->flags.paused = true;
  EXPECT_TRUE(progress_tick(*gs, *e));
  EXPECT_EQ(status(), TEXT_PAUSE_AFTER_THINK) << "■ during a think says when it holds";
  gs->flags.thinking = false;
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
      if (guessed.board[cell] == at(col, row)) continue;
      (guessed.board[cell] == SQ_EMPTY ? from : to) = cell;
    }
  ASSERT_TRUE(from >= 0 && to >= 0) << "the guess is a board move from the initial position";
  const int engine_ply = e->game_ply;
  click(col_of(from), row_of(from));
  click(col_of(to), row_of(to));
  run_computer_turn();
  EXPECT_EQ(e->game_ply, engine_ply) << "the game's Engine thought although the answer was thought ahead";
  ASSERT_EQ(shown_moves(*gs), 2);
  EXPECT_TRUE(legal_move_by(*gs, 2, GOTE));
  const MoveRecord& played = ahead.results[0].move;
  EXPECT_EQ(at(played.to_col, played.to_row), played.piece_after);

  for (const int id : {CMD_PAUSE, CMD_BACK, CMD_CHANGE_SIDES, CMD_START}) {
    gs->flags.paused = false;
    advance_game(*gs, *e);
    ASSERT_TRUE(think_ahead_running(ahead)) << id;
    const GameRecord record = gs->game.record;
    const int cursor = gs->game.cursor;
    command(id);
    // A change of sides refused (two moves are too few) leaves the player's turn as it was: the think
    // ahead, stopped, thinks there again at once.
    EXPECT_EQ(think_ahead_running(ahead), id == CMD_CHANGE_SIDES) << id;
    if (id != CMD_CHANGE_SIDES) EXPECT_FALSE(ahead.engines[0]->mate_thread.joinable()) << id;
    if (id == CMD_START) break;   // a reset empties the record
    EXPECT_TRUE(kif_test::same_record(gs->game.record, record)) << id;
    if (id == CMD_BACK) command(CMD_FORWARD);
    EXPECT_EQ(gs->game.cursor, cursor) << id;
  }
  gs->flags.ahead = nullptr;
}
