// The buttons and menu commands by id: start and its question, reset, pause, navigation with its refusal
// texts, and the change of sides.
#include <cstring>

#include "core/rotation.h"
#include "play_fixture.h"
#include "search/engine.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct Commands : PlayTest {
  // A player's move by clicks and a computer's reply put straight into the record, as the monitor would.
  void player_moves(Square from, Square to) {
    click(from);
    click(to);
    ASSERT_FALSE(gs->flags.player_to_move) << "the player's move was taken";
  }
  void computer_replies(Square from, Square to) {
    apply_board_move(gs->record, GOTE, from.col, from.row, to.col, to.row, at(from.col, from.row));
    ASSERT_TRUE(record_current(*gs));
    gs->view.last_move = MoveRecord{from.col, from.row, at(to.col, to.row), to.col, to.row, at(to.col, to.row), SQ_EMPTY};
    gs->view.show_last_move = 1;
    gs->flags.player_to_move = true;
  }
  // Three moves: the player's pawn, the computer's pawn, the player's pawn.
  void three_moves() {
    start(true);
    player_moves({2, 6}, {2, 5});
    computer_replies({6, 2}, {6, 3});
    player_moves({7, 6}, {7, 5});
  }
};

}  // namespace

TEST_F(Commands, StartAsksWhoMovesFirst) {
  for (const bool sente : {true, false}) {
    SetUp();
    start(sente);
    EXPECT_TRUE(boxes_shown({{u"先手にしますか？", u"先手・後手の選択", BOX_QUESTION, BOX_YES_NO}}));
    EXPECT_TRUE(gs->flags.started);
    EXPECT_EQ(gs->record.player_is_gote, sente ? 0 : 1);
    EXPECT_EQ(gs->flags.player_to_move.load(), sente) << "as gote the computer moves first";
    EXPECT_EQ(caption_of(CMD_START), u"初期化");
  }
}

TEST_F(Commands, ResetRestoresTheStartingState) {
  three_moves();
  gs->record.hands[1][PAWN] = 3;
  gs->flags.paused = true;
  gs->view.score_shown = 1234;
  command(CMD_START);
  EXPECT_FALSE(gs->flags.started);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_EQ(std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board), 0);
  EXPECT_EQ(gs->record.hands[1][PAWN], 0);
  for (int k : {1, 3, 499}) EXPECT_EQ(std::memcmp(gs->record.record_boards[k], gs->record.initial_board, sizeof gs->record.board), 0) << k;
  EXPECT_EQ(caption_of(CMD_START), u"開始");
  EXPECT_EQ(status(), TEXT_PRESS_START);
  EXPECT_FALSE(gs->flags.paused);
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_EQ(gs->view.score_shown, NO_SCORE) << "no evaluation of the last game is left";
  EXPECT_EQ(gs->view.last_move.to_col, -1);
  EXPECT_EQ(gs->view.last_move.piece_after, SQ_EMPTY);
}

TEST_F(Commands, RefusalsWhileTheComputerThinks) {
  struct Row {
    int id;
    const char16_t* text;
  };
  const Row rows[] = {
      {CMD_START, u"コンピュータの思考中は戻せません。"},
      {CMD_FIRST, u"コンピュータの思考中は最初に戻せません。"},
      {CMD_BACK, u"コンピュータの思考中は１手戻せません。"},
      {CMD_FORWARD, u"コンピュータの思考中は１手進められません。"},
      {CMD_LAST, u"コンピュータの思考中は最後まで進められません。"},
  };
  three_moves();
  gs->flags.thinking = true;
  int board[GS_CELLS];
  std::memcpy(board, gs->record.board, sizeof board);
  for (const Row& r : rows) {
    const int before = repaints();
    command(r.id);
    EXPECT_EQ(status(), r.text) << "command " << r.id;
    EXPECT_GT(repaints(), before) << "command " << r.id << " shows its refusal";
    EXPECT_EQ(gs->record.current, 3) << "command " << r.id;
    EXPECT_EQ(gs->record.length, 3) << "command " << r.id;
    EXPECT_TRUE(gs->flags.started) << "command " << r.id;
    EXPECT_EQ(std::memcmp(board, gs->record.board, sizeof board), 0) << "command " << r.id;
    // The refusal is told until the think's next repaint, which says again that it thinks.
    e->root_progress = gs->view.progress_drawn + 1;
    EXPECT_TRUE(repaint_watcher_pass(*gs, *e)) << "command " << r.id;
    EXPECT_EQ(status(), std::u16string(TEXT_THINKING)) << "command " << r.id;
  }
  // A game that has ended may be reset even while the computer still holds its end message.
  gs->flags.game_over = true;
  command(CMD_START);
  EXPECT_FALSE(gs->flags.started);
  EXPECT_FALSE(gs->flags.thinking);
}

TEST_F(Commands, NavigationThroughTheRecord) {
  start(true);
  set_status(gs->view, u"");
  command(CMD_BACK);
  EXPECT_EQ(status(), u"今は１手戻せません。") << "at the initial position";
  command(CMD_FORWARD);
  EXPECT_EQ(status(), u"今は１手進められません。") << "with an empty record";

  player_moves({2, 6}, {2, 5});
  gs->flags.player_to_move = true;   // length 1, before any reply
  command(CMD_LAST);
  EXPECT_EQ(status(), u"今は最後まで進められません。") << "\">>\" needs two moves";
  command(CMD_BACK);
  EXPECT_EQ(gs->record.current, 0);
  command(CMD_FORWARD);
  EXPECT_EQ(gs->record.current, 1) << "\">\" reaches move 1";
  EXPECT_TRUE(slot_matches_screen(*gs, 1));
  EXPECT_FALSE(gs->flags.player_to_move) << "move 1 is the computer's turn when the player is sente";

  // Longer record: step to each end and back.
  computer_replies({6, 2}, {6, 3});
  player_moves({7, 6}, {7, 5});
  computer_replies({3, 2}, {3, 3});
  ASSERT_EQ(gs->record.length, 4);
  gs->view.last_move.to_col = 3;
  gs->flags.game_over = true;
  gs->flags.paused = false;
  command(CMD_BACK);
  EXPECT_EQ(gs->record.current, 3);
  EXPECT_TRUE(slot_matches_screen(*gs, 3));
  EXPECT_FALSE(gs->flags.game_over) << "navigation clears the game's end";
  EXPECT_EQ(gs->view.last_move.to_col, 7) << "the move that led to the position shown is marked";
  EXPECT_EQ(gs->view.last_move.to_row, 5);
  EXPECT_EQ(gs->view.show_last_move, 1);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  EXPECT_FALSE(gs->flags.player_to_move);

  command(CMD_FIRST);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board), 0);
  EXPECT_TRUE(gs->flags.player_to_move);
  command(CMD_LAST);
  EXPECT_EQ(gs->record.current, 4);
  EXPECT_TRUE(slot_matches_screen(*gs, 4));
  EXPECT_TRUE(gs->flags.player_to_move);
  command(CMD_FORWARD);
  EXPECT_EQ(status(), u"今は１手進められません。") << "at the end of the record";
  EXPECT_EQ(gs->record.length, 4) << "navigation never changes the record";
}

TEST_F(Commands, PlayContinuesFromAnEarlierPositionAfterTheEnd) {
  three_moves();
  computer_replies({3, 2}, {3, 3});
  gs->flags.game_over = true;   // say the computer resigned here
  command(CMD_BACK);
  command(CMD_BACK);
  ASSERT_EQ(gs->record.current, 2);
  EXPECT_FALSE(gs->flags.game_over);
  EXPECT_TRUE(gs->flags.player_to_move);
  player_moves({0, 6}, {0, 5});
  EXPECT_EQ(gs->record.current, 3);
  EXPECT_EQ(gs->record.length, 3) << "the later record is dropped";
  EXPECT_EQ(at(0, 5), PAWN);
  EXPECT_EQ(at(7, 6), PAWN) << "the abandoned third move is not on the board";
  EXPECT_TRUE(slot_matches_screen(*gs, 3));
  EXPECT_TRUE(one_move_apart(*gs, 3, SENTE));
}

TEST_F(Commands, PauseToggles) {
  const int before = repaints();
  command(CMD_PAUSE);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  command(CMD_PAUSE);
  EXPECT_FALSE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"||");
  EXPECT_EQ(repaints(), before) << "the pause button repaints nothing";
}

TEST_F(Commands, ChangeOfSidesNeedsThreeMoves) {
  start(true);
  player_moves({2, 6}, {2, 5});
  computer_replies({6, 2}, {6, 3});
  scripted_ui().boxes.clear();
  command(CMD_CHANGE_SIDES);
  EXPECT_TRUE(boxes_shown({{u"反転させるには棋譜の手数が足りません。", u"失敗", -1, BOX_OK}})) << "length 2";
  EXPECT_EQ(gs->record.player_is_gote, 0) << "nothing else changes";
  EXPECT_EQ(gs->record.current, 2);
  EXPECT_FALSE(gs->flags.paused);

  player_moves({7, 6}, {7, 5});
  command(CMD_CHANGE_SIDES);
  EXPECT_EQ(boxes().size(), 1u) << "ignored on the computer's turn";
  EXPECT_EQ(gs->record.player_is_gote, 0);

  gs->flags.player_to_move = true;
  auto before = std::make_unique<GameState>();
  std::memcpy(before->record.record_boards, gs->record.record_boards, sizeof before->record.record_boards);
  command(CMD_CHANGE_SIDES);
  EXPECT_EQ(boxes().size(), 1u) << "length 3 turns without a box";
  EXPECT_EQ(gs->record.player_is_gote, 1);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_EQ(gs->record.length, 3);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  EXPECT_FALSE(gs->flags.player_to_move) << "move 0 is sente's, and the player is now gote";
  EXPECT_TRUE(slot_matches_screen(*gs, 0));
  for (int k = 0; k <= 3; ++k)
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) {
        const int old_code = before->record.record_boards[k][gs_index(8 - col, 8 - row)];
        EXPECT_EQ(gs->record.record_boards[k][gs_index(col, row)], rotated_code(old_code)) << "slot " << k;
      }
  // The computer now plays the player's old moves: the record reads the same game from the other side.
  EXPECT_TRUE(one_move_apart(*gs, 1, GOTE));
  EXPECT_TRUE(one_move_apart(*gs, 2, SENTE));
  command(CMD_LAST);
  EXPECT_TRUE(gs->flags.player_to_move) << "after move 3 it is gote's, the player's, turn";
}

TEST_F(Commands, NotificationBitsOfTheIdAreIgnored) {
  command(CMD_PAUSE | (1 << 16));
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
}
