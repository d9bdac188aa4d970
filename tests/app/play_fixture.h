// A game driven the way the window drives it: clicks as pixel positions, commands by id, message boxes
// answered by the scripted window system, and the turn monitor's passes run in the test's own thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/game_state.h"
#include "app/render.h"
#include "app/turn_monitor.h"
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

  // The centre of a board square and of a hand-grid cell, as the window reports a click there.
  void click(int col, int row) { on_left_button_up(*gs, *e, col * 40 + 20, row * 40 + 20); }
  void click(Square s) { click(s.col, s.row); }
  void click_hand_cell(int grid_col, int grid_row) { on_left_button_up(*gs, *e, grid_col * 40 + 5, grid_row * 40 + 35); }
  // The hand cell that holds a kind (left half of its row).
  void click_hand(int kind);
  void command(int id) { on_command(*gs, *e, id); }

  // Start answering the sente/gote question.
  void start(bool as_sente);
  // Runs monitor passes until the computer's turn is over (or the game ends); fails after `max_passes`.
  void run_computer_turn(int max_passes = 50);

  // An empty 9 x 9 area (the wall frame kept) and empty hands.
  void clear_position();
  int& at(int col, int row) { return gs->record.board[gs_index(col, row)]; }
  std::u16string status() const { return gs->view.status_text; }
  // Makes the position on screen slot `current` of the record (and the record that long).
  void record_position_as(int current);

  std::vector<ShownBox> boxes() { return scripted_ui().boxes; }
  int repaints() const { return scripted_ui().repaint_requests.load(); }
};

// Every piece of the set accounted for: kind by kind (promoted pieces as their base kind), on the board
// and in both hands, the pieces of each kind add up to the full set. `kings` is 2, or 1 once a king fell.
::testing::AssertionResult material_conserved(const GameState& gs, int kings = 2);

// Slot k of the record equals the position on screen (board and both hands).
::testing::AssertionResult slot_matches_screen(const GameState& gs, int k);

// Slots k - 1 and k differ by one move of the given side: a drop (one square filled with a piece of
// that side) or a board move (one of its pieces leaves a square, the destination gets one of its pieces).
::testing::AssertionResult one_move_apart(const GameState& gs, int k, int side);

}  // namespace halvane::test_support
