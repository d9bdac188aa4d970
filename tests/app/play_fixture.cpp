// The play fixture's helpers and the record checks shared by the game-flow tests.
#include "play_fixture.h"

#include <cstring>

#include "app/record_play.h"
#include "core/legality.h"
#include "core/rotation.h"

namespace halvane::test_support {

void PlayTest::SetUp() {
  reset_scripted_ui();
  game_construct(*gs);
  game_reset_for_window(*gs);
  fake_now_ms = 1000000;
  gs->clock.now = [] { return fake_now_ms; };
  load_back_buffer();
}

void PlayTest::click_hand(int kind) {
  static const Square CELLS[7] = {{10, 5}, {10, 6}, {12, 6}, {10, 7}, {12, 7}, {10, 8}, {12, 8}};
  click_hand_cell(CELLS[kind].col, CELLS[kind].row);
}

void PlayTest::start(bool as_sente) {
  scripted_ui().new_game_answers.push_back(NewGameChoice{0, as_sente ? 0 : 1, -1});
  command(CMD_START);
}

void PlayTest::run_computer_turn() {
  while (gs->flags.thinking) wait_for_window_event();
  run_window_events();
}

void PlayTest::clear_position() {
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) at(col, row) = SQ_EMPTY;
  std::memset(gs->screen.hands, 0, sizeof gs->screen.hands);
}

void PlayTest::set_up_position() {
  const bool rotated = gs->screen.rotated;
  const int bottom = rotated ? WHITE : BLACK;
  GameRecord record;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = at(rotated ? 8 - col : col, rotated ? 8 - row : row);
      record.start.board[row * 9 + col] = static_cast<uint8_t>(rotated ? rotated_code(code) : code);
    }
  for (int kind = 0; kind < 8; ++kind) {
    record.start.hand[bottom][kind] = static_cast<uint8_t>(hand(0, kind));
    record.start.hand[bottom ^ 1][kind] = static_cast<uint8_t>(hand(1, kind));
  }
  record.start.side_to_move = gs->game.player_side;
  take_record(*gs, record);
}

::testing::AssertionResult material_conserved(const GameState& gs, int kings) {
  int full[8] = {};   // the start's pieces: the set, less a handicap's
  const SfenPosition& start = gs.game.record.start;
  for (const uint8_t code : start.board)
    if (is_piece(code)) full[code & 7] += 1;
  for (int k = 0; k < 8; ++k) full[k] += start.hand[BLACK][k] + start.hand[WHITE][k];
  int count[8] = {};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = gs.screen.board[gs_index(col, row)];
      if (code == SQ_WALL) return ::testing::AssertionFailure() << "wall inside the board at " << col << "," << row;
      if (code != SQ_EMPTY) count[code & 7] += 1;
    }
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 8; ++k) {
      if (gs.screen.hands[side][k] < 0) return ::testing::AssertionFailure() << "negative hand count, kind " << k;
      count[k] += gs.screen.hands[side][k];
    }
  for (int k = 0; k < 8; ++k) {
    const int expected = k == KING ? kings : full[k];
    if (count[k] != expected)
      return ::testing::AssertionFailure() << "kind " << k << ": " << count[k] << " pieces, expected " << expected;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult board_at_ply(const GameState& gs, int k) {
  const std::vector<int> line = shown_line(gs);
  if (k >= static_cast<int>(line.size()) || gs.game.cursor != line[k])
    return ::testing::AssertionFailure() << "the board is at move " << cursor_ply(gs) << " of " << line.size() - 1;
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult legal_move_by(const GameState& gs, int k, int side) {
  const std::vector<int> line = shown_line(gs);
  if (k < 1 || k >= static_cast<int>(line.size())) return ::testing::AssertionFailure() << "no move " << k;
  const GameRecord& r = gs.game.record;
  const SfenPosition before = position_at(r, line[k - 1]);
  const int player = side == SENTE ? gs.game.player_side : gs.game.player_side ^ 1;
  if (before.side_to_move != player) return ::testing::AssertionFailure() << "move " << k << " is the other side's";
  const MoveVerdict verdict = judge_move(before, r.nodes[line[k]].move);
  if (verdict != MOVE_OK) return ::testing::AssertionFailure() << "move " << k << ": " << verdict_text(verdict);
  return ::testing::AssertionSuccess();
}

}  // namespace halvane::test_support
