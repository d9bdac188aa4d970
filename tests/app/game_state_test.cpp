// Game state: construction, moves into the record with the old line kept or dropped, the screen derived
// from the record for either side and view, and the think's input in the computer's view.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "app/game_state.h"
#include "app/record_play.h"
#include "app/turn_flow.h"
#include "core/initial_position.h"
#include "core/rotation.h"
#include "kif/kif_names.h"
#include "kif/kif_start.h"
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
      EXPECT_EQ(gs->screen.board[i], INITIAL_POSITION[row][col]);
    } else {
      EXPECT_EQ(gs->screen.board[i], SQ_WALL) << "cell " << i;
    }
  }
  EXPECT_EQ(inner, 81);
  EXPECT_TRUE(player_to_move(*gs));
  EXPECT_FALSE(gs->flags.started || game_over(*gs) || gs->flags.thinking || gs->flags.paused);
  EXPECT_EQ(gs->game.record.nodes.size(), 1u);
  EXPECT_STREQ(KIF_SQUARE_NAMES[0], "\x82\x58\x88\xea");   // ９一
  EXPECT_STREQ(KIF_SQUARE_NAMES[80], "\x82\x50\x8b\xe3");  // １九
  EXPECT_STREQ(KIF_PIECE_NAMES[13], "\x94\x6e");           // 馬
}

// A move at an earlier position: with 変化を残す the old continuation stays as the new line's first
// variation (the new line the main one); without it, the old moves are gone, as the design drops them.
// A move the record already holds there is followed with its continuation.
TEST(GameState, AMoveAtAnEarlierPositionKeepsOrDropsTheOldLine) {
  for (const bool keep : {true, false}) {
    auto gs = make_state();
    gs->flags.keep_variations = keep;
    std::mt19937 rng(1);
    play_random(*gs, rng, 10);
    const GameRecord before = gs->game.record;
    go_to_node(*gs, node_at_ply(gs->game.record, gs->game.cursor, 3));
    const int old_fourth = gs->game.record.nodes[gs->game.cursor].children[0];
    const MoveRecord old_move = gs->game.record.nodes[old_fourth].move;
    if (keep) {
      play_move(*gs, old_move);
      EXPECT_EQ(shown_moves(*gs), 10) << "the record's own move is followed, its continuation kept";
      go_to_node(*gs, gs->game.record.nodes[gs->game.cursor].parent);
    }
    MoveRecord other;
    for (const MoveRecord& m : legal_moves(gs->game.position))
      if (!(m == old_move)) other = m;
    play_move(*gs, other);
    EXPECT_EQ(cursor_ply(*gs), 4) << keep;
    EXPECT_EQ(shown_moves(*gs), 4) << keep;
    EXPECT_EQ(main_line_moves(*gs), 4) << keep << ": the line played is the main line";
    EXPECT_TRUE(gs->flags.unsaved);
    const RecordNode& third = gs->game.record.nodes[gs->game.record.nodes[gs->game.cursor].parent];
    ASSERT_EQ(third.children.size(), keep ? 2u : 1u) << keep;
    if (!keep) continue;
    EXPECT_EQ(variation_count(gs->game.record), 1);
    EXPECT_EQ(gs->game.record.nodes[third.children[1]].move, old_move) << "the old line is the first variation";
    EXPECT_EQ(line_from(gs->game.record, third.children[1]).size(), 7u) << "moves 4..10 of the old line";
    // Withdrawn again (待った), only the new line leaves: the record is the old one.
    withdraw_move(*gs, gs->game.cursor);
    EXPECT_TRUE(same_record(gs->game.record, before));
    EXPECT_EQ(cursor_ply(*gs), 3);
    EXPECT_EQ(shown_moves(*gs), 10) << "the old line is shown again";
  }
}

TEST(GameState, CapturedPromotedPieceEntersTheHandDemoted) {
  auto gs = make_state();
  GameRecord record;
  std::string error;
  ASSERT_TRUE(parse_sfen("4k4/9/9/9/4+b4/4R4/9/9/4K4 b - 1", record.start, error)) << error;
  take_record(*gs, record);
  play_usi(*gs, {"5f5e"});
  EXPECT_EQ(gs->game.position.hand[BLACK][BISHOP], 1);
  EXPECT_EQ(gs->screen.hands[0][BISHOP], 1) << "the player's hand at the bottom";
  EXPECT_EQ(gs->screen.board[gs_index(4, 5)], SQ_EMPTY);
  EXPECT_EQ(gs->screen.board[gs_index(4, 4)], ROOK);
}

// The screen shows the player's pieces at the bottom, plain, unless the view is flipped; whose turn it is
// comes from the position (a handicap's first move is gote's), never from the move number.
TEST(GameState, ScreenFollowsThePlayersSideAndTheViewFlip) {
  auto gs = make_state();
  GameRecord record;
  std::string error;
  ASSERT_TRUE(parse_sfen(handicap_by_name("角落ち")->sfen, record.start, error));
  take_record(*gs, record);
  play_usi(*gs, {"5a4b", "7g7f", "1c1d"});
  const struct {
    int player_side;
    bool flipped, rotated, player_to_move;
  } rows[] = {{BLACK, false, false, true}, {WHITE, false, true, false}, {BLACK, true, true, true}, {WHITE, true, false, false}};
  for (const auto& row : rows) {
    gs->game.player_side = row.player_side;
    gs->game.view_flipped = row.flipped;
    show_position(*gs);
    const std::string why = "player " + std::to_string(row.player_side) + (row.flipped ? " flipped" : "");
    EXPECT_EQ(gs->screen.rotated, row.rotated) << why;
    EXPECT_EQ(player_to_move(*gs), row.player_to_move) << why << ": after three moves of a handicap, sente moves";
    for (int sq = 0; sq < 81; ++sq) {
      const int code = gs->game.position.board[sq];
      const int col = sq % 9, row_ = sq / 9;
      const int shown = row.rotated ? gs->screen.board[gs_index(8 - col, 8 - row_)] : gs->screen.board[gs_index(col, row_)];
      EXPECT_EQ(shown, row.rotated ? rotated_code(code) : code) << why << " square " << sq;
    }
    // The last move, highlighted on the screen's square.
    const MoveRecord& last = gs->view.last_move;
    EXPECT_EQ(gs->screen.board[gs_index(last.to_col, last.to_row)], last.piece_after) << why;
  }
}

// The think's input: the board and hands in the computer's view (its pieces the engine's GOTE pieces,
// the board turned round when it plays sente), the moves played so far; its answer back in the record.
TEST(GameState, ThinkInputInTheComputersView) {
  auto gs = make_state();
  play_usi(*gs, {"7g7f", "3c3d", "8h2b+", "3a2b"});
  gs->flags.think_limit_ms = 5000;
  for (const int player : {BLACK, WHITE}) {
    gs->game.player_side = player;
    show_position(*gs);
    const ThinkRequest r = board_think_request(*gs);
    const bool rotated = player == WHITE;
    for (int cell = 0; cell < 256; ++cell) {
      const int col = (cell - 0x33) & 15, row = (cell - 0x33) >> 4;
      const bool square = cell >= 0x33 && cell <= 0xBB && col <= 8;
      const int code = square ? gs->game.position.board[row * 9 + col] : 0;
      if (!square)
        EXPECT_EQ(r.board[cell], SQ_WALL) << cell;
      else
        EXPECT_EQ(r.board[rotated ? rotated_cell(cell) : cell], rotated ? rotated_code(code) : code) << cell;
    }
    EXPECT_EQ(r.hand[SENTE][BISHOP], gs->game.position.hand[player][BISHOP]) << "the player's hand is SENTE's";
    EXPECT_EQ(r.hand[GOTE][BISHOP], gs->game.position.hand[player ^ 1][BISHOP]);
    EXPECT_EQ(r.side, player == BLACK ? SENTE : GOTE) << "black is to move after four moves";
    EXPECT_EQ(r.game_ply, 4);
    EXPECT_EQ(r.limit_ms, 5000);
    // A move in that view comes back as the record's move.
    MoveRecord m;
    std::string error;
    ASSERT_TRUE(parse_usi_move("2h2b+", gs->game.position, m, error));
    const MoveRecord in_view = rotated ? rotate_move(m) : m;
    EXPECT_EQ(move_from_think(*gs, in_view), m) << player;
  }
}

TEST(GameState, StatusTextFormatsItsNumber) {
  auto gs = make_state();
  set_status(gs->view, u"プレイヤーの手番です。評価値＝%d", -1234);
  EXPECT_EQ(std::u16string(gs->view.status_text), u"プレイヤーの手番です。評価値＝-1234");
  set_status(gs->view, u"開始するには開始ボタンを押してください。");
  EXPECT_EQ(std::u16string(gs->view.status_text), u"開始するには開始ボタンを押してください。");
}
