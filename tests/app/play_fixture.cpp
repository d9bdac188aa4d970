// The play fixture's helpers and the record checks shared by the game-flow tests.
#include "play_fixture.h"

#include <cstring>

namespace halvane::test_support {

void PlayTest::SetUp() {
  reset_scripted_ui();
  game_construct(*gs);
  game_reset_for_window(*gs);
  load_back_buffer();
}

void PlayTest::click_hand(int kind) {
  static const Square CELLS[7] = {{10, 5}, {10, 6}, {12, 6}, {10, 7}, {12, 7}, {10, 8}, {12, 8}};
  click_hand_cell(CELLS[kind].col, CELLS[kind].row);
}

void PlayTest::start(bool as_sente) {
  scripted_ui().answers.push_back(as_sente ? ANSWER_YES : ANSWER_NO);
  command(CMD_START);
}

void PlayTest::run_computer_turn(int max_passes) {
  for (int pass = 0; pass < max_passes; ++pass) {
    if (gs->flags.player_to_move || gs->flags.game_over) return;
    turn_monitor_pass(*gs, *e);
  }
  ADD_FAILURE() << "the computer's turn did not end";
}

void PlayTest::clear_position() {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) at(col, row) = SQ_EMPTY;
  std::memset(gs->record.hands, 0, sizeof gs->record.hands);
}

void PlayTest::record_position_as(int current) {
  for (int k = 0; k <= current; ++k) {
    std::memcpy(gs->record.record_boards[k], gs->record.board, sizeof gs->record.board);
    std::memcpy(gs->record.record_hands[0][k], gs->record.hands[0], sizeof gs->record.hands[0]);
    std::memcpy(gs->record.record_hands[1][k], gs->record.hands[1], sizeof gs->record.hands[1]);
  }
  gs->record.current = gs->record.length = current;
}

::testing::AssertionResult material_conserved(const GameState& gs, int kings) {
  const int full[8] = {18, 4, 4, 4, 4, 2, 2, 2};
  int count[8] = {};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = gs.record.board[gs_index(col, row)];
      if (code == SQ_WALL) return ::testing::AssertionFailure() << "wall inside the board at " << col << "," << row;
      if (code != SQ_EMPTY) count[code & 7] += 1;
    }
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 8; ++k) {
      if (gs.record.hands[side][k] < 0) return ::testing::AssertionFailure() << "negative hand count, kind " << k;
      count[k] += gs.record.hands[side][k];
    }
  for (int k = 0; k < 8; ++k) {
    const int expected = k == KING ? kings : full[k];
    if (count[k] != expected)
      return ::testing::AssertionFailure() << "kind " << k << ": " << count[k] << " pieces, expected " << expected;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult slot_matches_screen(const GameState& gs, int k) {
  if (std::memcmp(gs.record.record_boards[k], gs.record.board, sizeof gs.record.board) != 0)
    return ::testing::AssertionFailure() << "slot " << k << " board differs from the screen";
  for (int side = 0; side < 2; ++side)
    if (std::memcmp(gs.record.record_hands[side][k], gs.record.hands[side], sizeof gs.record.hands[side]) != 0)
      return ::testing::AssertionFailure() << "slot " << k << " hand " << side << " differs from the screen";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult one_move_apart(const GameState& gs, int k, int side) {
  const int* before = gs.record.record_boards[k - 1];
  const int* after = gs.record.record_boards[k];
  std::vector<Square> changed;
  for (int col = 0; col < 9; ++col)
    for (int row = 0; row < 9; ++row)
      if (before[gs_index(col, row)] != after[gs_index(col, row)]) changed.push_back({col, row});
  auto mine = [&](int code) { return code != SQ_EMPTY && code != SQ_WALL && side_of(code) == side; };
  if (changed.size() == 1) {
    const int i = gs_index(changed[0].col, changed[0].row);
    if (before[i] == SQ_EMPTY && mine(after[i]) && !(after[i] & PROMOTED_BIT)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "slot " << k << ": one square changed but it is not a drop";
  }
  if (changed.size() == 2) {
    for (int o = 0; o < 2; ++o) {
      const int from = gs_index(changed[o].col, changed[o].row), to = gs_index(changed[1 - o].col, changed[1 - o].row);
      if (mine(before[from]) && after[from] == SQ_EMPTY && mine(after[to]) && !mine(before[to]) &&
          (after[to] == before[from] || after[to] == before[from] + PROMOTED_BIT))
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "slot " << k << ": two squares changed but not by a move of side " << side;
  }
  return ::testing::AssertionFailure() << "slot " << k << ": " << changed.size() << " squares changed";
}

}  // namespace halvane::test_support
