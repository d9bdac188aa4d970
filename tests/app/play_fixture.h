// A game driven the way the window drives it: clicks as pixel positions, commands by id, message boxes
// answered by the scripted window system, and the events the computer's think posts run by the test as
// the window thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/game_state.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/think.h"
#include "support/scripted_ui.h"

namespace halvane::test_support {

struct Square {
  int col, row;
};

struct PlayTest : ::testing::Test {
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);

  void SetUp() override;
  void TearDown() override { stop_computer(*gs, *e); }

  // The centre of a board square and of a hand-grid cell, as the window reports a click there.
  void click(int col, int row) { on_left_button_up(*gs, *e, col * 40 + 20, row * 40 + 20); }
  void click(Square s) { click(s.col, s.row); }
  void click_hand_cell(int grid_col, int grid_row) { on_left_button_up(*gs, *e, grid_col * 40 + 5, grid_row * 40 + 35); }
  // The cell of the bottom hand that holds a kind (left half of its row).
  void click_hand(int kind);
  void command(int id) { on_command(*gs, *e, id); }
  // The game's clocks read a fake time source that moves only when the test moves it.
  static inline int64_t fake_now_ms = 0;
  void pass_time(int64_t ms) { fake_now_ms += ms; }

  // 開始, the new-game dialog answered with the even game and the side.
  void start(bool as_sente);
  // Runs the window thread's events until the computer's turn is over: its think answered and applied.
  void run_computer_turn();

  // An empty 9 x 9 area (the wall frame kept) and empty hands, on the screen.
  void clear_position();
  int& at(int col, int row) { return gs->screen.board[gs_index(col, row)]; }
  int& hand(int screen_hand, int kind) { return gs->screen.hands[screen_hand][kind]; }
  std::u16string status() const { return gs->view.status_text; }
  // The position set up on the screen (with at() and hand(), the player at the bottom) becomes the start
  // of a new record, the player to move.
  void set_up_position();

  std::vector<ShownBox> boxes() { return scripted_ui().boxes; }
  int repaints() const { return scripted_ui().repaint_requests.load(); }
};

// Every piece of the start accounted for: kind by kind (promoted pieces as their base kind), on the board
// and in both hands, the pieces of each kind add up to the start's (the full set, less a handicap's).
// `kings` is 2, or 1 once a king fell.
::testing::AssertionResult material_conserved(const GameState& gs, int kings = 2);

// The board shows the position after move k of the line the list shows.
::testing::AssertionResult board_at_ply(const GameState& gs, int k);

// Move k of the line shown was played by the player (SENTE) or the computer (GOTE), and is legal where
// it was played.
::testing::AssertionResult legal_move_by(const GameState& gs, int k, int side);

}  // namespace halvane::test_support
