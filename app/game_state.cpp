// The game state's construction, the record and its turns, moves for either hand, and the conversion
// of the position on screen into the engine's cells.
#include "app/game_state.h"

#include <cstring>

#include "core/rotation.h"

namespace halvane {

// Screen origins of the hand piles by kind: player x, player y, computer x, computer y.
const int HAND_LAYOUT[4][8] = {
    {400, 400, 480, 400, 480, 400, 480, 520},
    {200, 240, 240, 280, 280, 320, 320, 320},
    {400, 400, 480, 400, 480, 400, 480, 520},
    {120, 80, 80, 40, 40, 0, 0, 0},
};

void copy_initial(const RecordState& record, int board[GS_CELLS]) {
  std::memcpy(board, record.initial_board, sizeof record.initial_board);
}

static void clear_record(GameState& gs) {
  for (int k = 0; k < RECORD_SLOTS; ++k) copy_initial(gs.record, gs.record.record_boards[k]);
  std::memset(gs.record.record_hands, 0, sizeof gs.record.record_hands);
}

void game_construct(GameState& gs) {
  for (int i = 0; i < GS_CELLS; ++i) gs.record.initial_board[i] = SQ_WALL;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.record.initial_board[gs_index(col, row)] = INITIAL_POSITION[row][col];
  copy_initial(gs.record, gs.record.board);
  std::memset(gs.record.hands, 0, sizeof gs.record.hands);
  std::memcpy(gs.view.hand_layout, HAND_LAYOUT, sizeof gs.view.hand_layout);
  clear_record(gs);
  gs.record.current = gs.record.length = gs.record.player_is_gote = 0;
  gs.flags.started = gs.flags.game_over = gs.flags.thinking = gs.flags.input_busy = gs.flags.paused = false;
  gs.flags.end_reason = GAME_END_NONE;
  gs.flags.player_to_move = true;
  gs.flags.think_limit_ms = 0;
  gs.flags.think_ahead = false;
  gs.flags.allow_illegal = gs.flags.abandon_think = gs.flags.unsaved = false;
  gs.flags.ahead = nullptr;
  gs.flags.shown_engine = nullptr;
  gs.input.selection = 0;
  gs.input.sel_col = gs.input.sel_row = gs.input.dest_col = gs.input.dest_row = -1;
  gs.input.sel_piece = gs.input.dest_piece = SQ_EMPTY;
  gs.input.hand_cell_col = 10;
  gs.input.hand_cell_row = 5;
  std::memset(gs.input.reach_map, 0, sizeof gs.input.reach_map);
  std::memset(gs.input.target_map, 0, sizeof gs.input.target_map);
  for (auto& image : gs.view.piece_images) image = nullptr;
  gs.view.progress_drawn = 0;
  gs.view.show_last_move = 0;
  forget_last_move(gs.view);
  gs.view.score_shown = NO_SCORE;
  gs.view.refresh_count = 0;
  gs.view.status_text[0] = 0;
  gs.view.move_list = MoveList{};
  gs.view.computer_name = nullptr;
}

void game_reset_for_window(GameState& gs) {
  copy_initial(gs.record, gs.record.board);
  std::memset(gs.record.hands, 0, sizeof gs.record.hands);
  gs.record.current = gs.record.length = 0;
  gs.flags.started = gs.flags.game_over = gs.flags.thinking = gs.flags.input_busy = false;
  gs.flags.end_reason = GAME_END_NONE;
  gs.flags.player_to_move = true;
  gs.input.selection = 0;
  gs.input.sel_col = gs.input.sel_row = 4;
  gs.input.sel_piece = SQ_EMPTY;
  gs.input.dest_col = gs.input.dest_row = 4;
  gs.input.dest_piece = SQ_EMPTY;
  gs.input.hand_cell_col = 10;
  gs.input.hand_cell_row = 5;
  clear_record(gs);
}

bool record_current(GameState& gs) {
  if (gs.record.current + 1 >= RECORD_SLOTS) return false;
  gs.record.current += 1;
  gs.record.length = gs.record.current;
  gs.flags.end_reason = GAME_END_NONE;   // the game goes on past any end it had
  gs.flags.unsaved = true;
  std::memcpy(gs.record.record_boards[gs.record.current], gs.record.board, sizeof gs.record.board);
  std::memcpy(gs.record.record_hands[0][gs.record.current], gs.record.hands[0], sizeof gs.record.hands[0]);
  std::memcpy(gs.record.record_hands[1][gs.record.current], gs.record.hands[1], sizeof gs.record.hands[1]);
  return true;
}

void show_slot(RecordState& record, int k) {
  if (k < 0 || k >= RECORD_SLOTS) return;
  std::memcpy(record.board, record.record_boards[k], sizeof record.board);
  std::memcpy(record.hands[0], record.record_hands[0][k], sizeof record.hands[0]);
  std::memcpy(record.hands[1], record.record_hands[1][k], sizeof record.hands[1]);
}

void turn_by_parity(GameState& gs) {
  const bool even = gs.record.current % 2 == 0;
  gs.flags.player_to_move = gs.record.player_is_gote ? !even : even;
}

// Turns one slot by 180 degrees; the wall frame comes from the initial board, so it stays 255.
static void rotate_slot(const RecordState& record, int board[GS_CELLS], bool exchange_owners) {
  int rotated[GS_CELLS];
  copy_initial(record, rotated);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = board[gs_index(rotated_line(col), rotated_line(row))];
      rotated[gs_index(col, row)] = exchange_owners ? rotated_code(code) : code;
    }
  std::memcpy(board, rotated, sizeof rotated);
}

static void rotate_slots(RecordState& record, bool exchange_owners) {
  const int last = record.length < RECORD_SLOTS ? record.length : RECORD_SLOTS - 1;
  for (int k = 0; k <= last; ++k) {
    rotate_slot(record, record.record_boards[k], exchange_owners);
    int hand[8];
    std::memcpy(hand, record.record_hands[0][k], sizeof hand);
    std::memcpy(record.record_hands[0][k], record.record_hands[1][k], sizeof hand);
    std::memcpy(record.record_hands[1][k], hand, sizeof hand);
  }
}

void rotate_record(RecordState& record) {
  rotate_slots(record, true);
  record.player_is_gote ^= 1;
  record.current = 0;
  show_slot(record, 0);
}

void orient_for_file(RecordState& record) {
  if (record.player_is_gote == 1) rotate_slots(record, false);
}

void apply_board_move(RecordState& record, int side, int from_col, int from_row, int to_col, int to_row, int code_after) {
  const int to = gs_index(to_col, to_row);
  if (record.board[to] != SQ_EMPTY) record.hands[side][hand_kind(record.board[to])] += 1;
  record.board[to] = code_after;
  record.board[gs_index(from_col, from_row)] = SQ_EMPTY;
}

void apply_drop(RecordState& record, int side, int code, int to_col, int to_row) {
  record.board[gs_index(to_col, to_row)] = code;
  int& n = record.hands[side][hand_kind(code)];
  if (n > 0) n -= 1;
}

void build_engine_input(RecordState& record) {
  std::memset(record.engine_board, SQ_WALL, sizeof record.engine_board);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col)
      record.engine_board[cell_of(col, row)] = static_cast<uint8_t>(record.board[gs_index(col, row)] & 0xFF);
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 8; ++k) record.engine_hands[side][k] = static_cast<uint8_t>(record.hands[side][k] & 0xFF);
}

void set_status(ViewState& view, const char16_t* text, int value) {
  int out = 0;
  for (int i = 0; text[i] != 0 && out < STATUS_UNITS - 12; ++i) {
    if (text[i] == u'%' && text[i + 1] == u'd') {
      char digits[16];
      unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
      int n = 0;
      do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
      } while (magnitude);
      if (value < 0) view.status_text[out++] = u'-';
      while (n) view.status_text[out++] = static_cast<char16_t>(digits[--n]);
      ++i;
    } else {
      view.status_text[out++] = text[i];
    }
  }
  view.status_text[out] = 0;
}

void forget_last_move(ViewState& view) {
  view.last_move = MoveRecord{};
  view.last_move.to_col = view.last_move.to_row = -1;
}

}  // namespace halvane
