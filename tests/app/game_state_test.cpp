// Game state: construction, the record, its two turns, moves for either hand and the engine conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "app/game_state.h"
#include "kif_test_util.h"

using namespace halvane;
using namespace halvane::kif_test;

TEST(GameState, ConstructionBuildsTheWallFrameAndInitialPosition) {
  auto gs = make_state();
  int inner = 0;
  for (int i = 0; i < GS_CELLS; ++i) {
    int row = i / 20 - 5, col = i % 20 - 5;
    if (row >= 0 && row < 9 && col >= 0 && col < 9) {
      ++inner;
      EXPECT_EQ(gs->record.board[i], INITIAL_POSITION[row][col]);
    } else {
      EXPECT_EQ(gs->record.board[i], SQ_WALL) << "cell " << i;
      EXPECT_EQ(gs->record.record_boards[499][i], SQ_WALL);
    }
  }
  EXPECT_EQ(inner, 81);
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_FALSE(gs->flags.started || gs->flags.game_over || gs->flags.thinking || gs->flags.paused);
  EXPECT_STREQ(KIF_SQUARE_NAMES[0], "\x82\x58\x88\xea");   // ９一
  EXPECT_STREQ(KIF_SQUARE_NAMES[80], "\x82\x50\x8b\xe3");  // １九
  EXPECT_STREQ(KIF_PIECE_NAMES[13], "\x94\x6e");           // 馬
}

TEST(GameState, NewMoveTruncatesTheRecord) {
  auto gs = make_state();
  std::mt19937 rng(1);
  play_random(*gs, rng, 10);
  EXPECT_EQ(gs->record.length, 10);
  gs->record.current = 3;
  show_slot(gs->record, 3);
  apply_board_move(gs->record, 1, 0, 0, 0, 1, 17 + 0);
  ASSERT_TRUE(record_current(*gs));
  EXPECT_EQ(gs->record.current, 4);
  EXPECT_EQ(gs->record.length, 4);
}

TEST(GameState, CapturedPromotedPieceEntersTheHandDemoted) {
  auto gs = make_state();
  gs->record.board[gs_index(4, 4)] = 13 + GOTE_BIT;   // the computer's horse
  gs->record.board[gs_index(4, 5)] = 6;                // the player's rook
  apply_board_move(gs->record, 0, 4, 5, 4, 4, 14);
  EXPECT_EQ(gs->record.hands[0][BISHOP], 1);
  EXPECT_EQ(gs->record.board[gs_index(4, 5)], SQ_EMPTY);
  EXPECT_EQ(gs->record.board[gs_index(4, 4)], 14);
  apply_drop(gs->record, 0, BISHOP, 4, 5);
  EXPECT_EQ(gs->record.hands[0][BISHOP], 0);
  apply_drop(gs->record, 0, BISHOP, 3, 5);   // nothing in hand: the count never goes below 0
  EXPECT_EQ(gs->record.hands[0][BISHOP], 0);
}

TEST(GameState, FlipTwiceAndOrientTwiceRestoreEverySlot) {
  for (int player_is_gote = 0; player_is_gote < 2; ++player_is_gote) {
    auto gs = make_state();
    gs->record.player_is_gote = player_is_gote;
    std::mt19937 rng(42 + player_is_gote);
    play_random(*gs, rng, 40);
    auto before = std::make_unique<GameState>();
    std::memcpy(before->record.record_boards, gs->record.record_boards, sizeof gs->record.record_boards);
    std::memcpy(before->record.record_hands, gs->record.record_hands, sizeof gs->record.record_hands);

    orient_for_file(gs->record);
    const bool changed = std::memcmp(before->record.record_boards, gs->record.record_boards, sizeof gs->record.record_boards) != 0;
    EXPECT_EQ(changed, player_is_gote == 1) << "orienting changes the record only for a gote player";
    orient_for_file(gs->record);
    EXPECT_EQ(std::memcmp(before->record.record_boards, gs->record.record_boards, sizeof gs->record.record_boards), 0);
    EXPECT_EQ(std::memcmp(before->record.record_hands, gs->record.record_hands, sizeof gs->record.record_hands), 0);

    rotate_record(gs->record);
    EXPECT_EQ(gs->record.player_is_gote, 1 - player_is_gote);
    EXPECT_EQ(gs->record.current, 0);
    // After the flip, slot k holds slot k rotated with the owners exchanged.
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) {
        int was = before->record.record_boards[17][gs_index(8 - col, 8 - row)];
        EXPECT_EQ(gs->record.record_boards[17][gs_index(col, row)], was == SQ_EMPTY ? SQ_EMPTY : (was ^ GOTE_BIT));
      }
    EXPECT_EQ(std::memcmp(gs->record.record_hands[0][17], before->record.record_hands[1][17], 8 * sizeof(int)), 0);
    rotate_record(gs->record);
    EXPECT_EQ(gs->record.player_is_gote, player_is_gote);
    EXPECT_EQ(std::memcmp(before->record.record_boards, gs->record.record_boards, sizeof gs->record.record_boards), 0);
    EXPECT_EQ(std::memcmp(before->record.record_hands, gs->record.record_hands, sizeof gs->record.record_hands), 0);
  }
}

TEST(GameState, TurnByParity) {
  auto gs = make_state();
  for (int gote = 0; gote < 2; ++gote)
    for (int current = 0; current < 4; ++current) {
      gs->record.player_is_gote = gote;
      gs->record.current = current;
      turn_by_parity(*gs);
      EXPECT_EQ(gs->flags.player_to_move.load(), (current % 2 == 0) != (gote == 1));
    }
}

TEST(GameState, RecordNeverWritesPastTheLastSlot) {
  auto gs = make_state();
  gs->record.current = 498;
  gs->record.length = 498;
  ASSERT_TRUE(record_current(*gs));
  EXPECT_EQ(gs->record.current, 499);
  EXPECT_FALSE(record_current(*gs)) << "slot 500 does not exist";
  EXPECT_EQ(gs->record.current, 499);
  EXPECT_EQ(gs->record.length, 499);
  // A flip of a full record followed by a walk to its end still leaves the cursor inside the record.
  rotate_record(gs->record);
  gs->record.current = gs->record.length;
  show_slot(gs->record, gs->record.current);
  EXPECT_FALSE(record_current(*gs));
}

TEST(GameState, EngineInputCopiesSquaresAndHands) {
  auto gs = make_state();
  gs->record.hands[0][PAWN] = 3;
  gs->record.hands[1][ROOK] = 1;
  build_engine_input(gs->record);
  for (int cell = 0; cell < 256; ++cell) {
    int col = (cell - 0x33) & 15, row = (cell - 0x33) >> 4;
    bool square = cell >= 0x33 && cell <= 0xBB && col <= 8;
    if (square) EXPECT_EQ(gs->record.engine_board[cell], INITIAL_POSITION[row][col]);
    else EXPECT_EQ(gs->record.engine_board[cell], SQ_WALL);
  }
  EXPECT_EQ(gs->record.engine_hands[0][PAWN], 3);
  EXPECT_EQ(gs->record.engine_hands[1][ROOK], 1);
}

TEST(GameState, StatusTextFormatsItsNumber) {
  auto gs = make_state();
  set_status(gs->view, u"プレイヤーの手番です。評価値＝%d", -1234);
  EXPECT_EQ(std::u16string(gs->view.status_text), u"プレイヤーの手番です。評価値＝-1234");
  set_status(gs->view, u"開始するには開始ボタンを押してください。");
  EXPECT_EQ(std::u16string(gs->view.status_text), u"開始するには開始ボタンを押してください。");
}
