// The game state's construction, the record and its turns, moves for either hand, and the conversion
// of the position on screen into the engine's cells.
#include "app/game_state.h"

#include <cstring>

#include "engine/turn.h"

namespace halvane {

// Screen origins of the hand piles by kind: player x, player y, computer x, computer y.
const int HAND_LAYOUT[4][8] = {
    {400, 400, 480, 400, 480, 400, 480, 520},
    {200, 240, 240, 280, 280, 320, 320, 320},
    {400, 400, 480, 400, 480, 400, 480, 520},
    {120, 80, 80, 40, 40, 0, 0, 0},
};

void copy_initial(const GameState& gs, int board[GS_CELLS]) {
  std::memcpy(board, gs.initial_board, sizeof gs.initial_board);
}

static void clear_record(GameState& gs) {
  for (int k = 0; k < RECORD_SLOTS; ++k) copy_initial(gs, gs.record_boards[k]);
  std::memset(gs.record_hands, 0, sizeof gs.record_hands);
}

void game_construct(GameState& gs) {
  for (int i = 0; i < GS_CELLS; ++i) gs.initial_board[i] = SQ_WALL;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) gs.initial_board[gs_index(col, row)] = INITIAL_POSITION[row][col];
  copy_initial(gs, gs.board);
  std::memset(gs.hands, 0, sizeof gs.hands);
  std::memcpy(gs.hand_layout, HAND_LAYOUT, sizeof gs.hand_layout);
  clear_record(gs);
  gs.current = gs.length = gs.player_is_gote = 0;
  gs.started = gs.game_over = gs.thinking = gs.input_busy = gs.paused = false;
  gs.end_reason = GAME_END_NONE;
  gs.player_to_move = true;
  gs.selection = 0;
  gs.sel_col = gs.sel_row = gs.dest_col = gs.dest_row = -1;
  gs.sel_piece = gs.dest_piece = SQ_EMPTY;
  gs.hand_cell_col = 10;
  gs.hand_cell_row = 5;
  std::memset(gs.reach_map, 0, sizeof gs.reach_map);
  std::memset(gs.target_map, 0, sizeof gs.target_map);
  for (auto& image : gs.piece_images) image = nullptr;
  gs.progress_drawn = 0;
  gs.show_last_move = 0;
  forget_last_move(gs);
  gs.score_shown = 0;
  gs.refresh_count = 0;
  gs.status_text[0] = 0;
}

void game_reset_for_window(GameState& gs) {
  copy_initial(gs, gs.board);
  std::memset(gs.hands, 0, sizeof gs.hands);
  gs.current = gs.length = 0;
  gs.started = gs.game_over = gs.thinking = gs.input_busy = false;
  gs.end_reason = GAME_END_NONE;
  gs.player_to_move = true;
  gs.selection = 0;
  gs.sel_col = gs.sel_row = 4;
  gs.sel_piece = SQ_EMPTY;
  gs.dest_col = gs.dest_row = 4;
  gs.dest_piece = SQ_EMPTY;
  gs.hand_cell_col = 10;
  gs.hand_cell_row = 5;
  clear_record(gs);
}

bool record_current(GameState& gs) {
  if (gs.current + 1 >= RECORD_SLOTS) return false;
  gs.current += 1;
  gs.length = gs.current;
  gs.end_reason = GAME_END_NONE;   // the game goes on past any end it had
  std::memcpy(gs.record_boards[gs.current], gs.board, sizeof gs.board);
  std::memcpy(gs.record_hands[0][gs.current], gs.hands[0], sizeof gs.hands[0]);
  std::memcpy(gs.record_hands[1][gs.current], gs.hands[1], sizeof gs.hands[1]);
  return true;
}

void end_game(GameState& gs, GameEnd reason) {
  gs.end_reason = reason;
  gs.game_over = true;
}

void show_slot(GameState& gs, int k) {
  if (k < 0 || k >= RECORD_SLOTS) return;
  std::memcpy(gs.board, gs.record_boards[k], sizeof gs.board);
  std::memcpy(gs.hands[0], gs.record_hands[0][k], sizeof gs.hands[0]);
  std::memcpy(gs.hands[1], gs.record_hands[1][k], sizeof gs.hands[1]);
}

void turn_by_parity(GameState& gs) {
  const bool even = gs.current % 2 == 0;
  gs.player_to_move = gs.player_is_gote ? !even : even;
}

// Turns one slot by 180 degrees; the wall frame comes from the initial board, so it stays 255.
static void turn_slot(const GameState& gs, int board[GS_CELLS], bool exchange_owners) {
  int turned[GS_CELLS];
  copy_initial(gs, turned);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = board[gs_index(turned_line(col), turned_line(row))];
      turned[gs_index(col, row)] = exchange_owners ? turned_code(code) : code;
    }
  std::memcpy(board, turned, sizeof turned);
}

static void turn_slots(GameState& gs, bool exchange_owners) {
  const int last = gs.length < RECORD_SLOTS ? gs.length : RECORD_SLOTS - 1;
  for (int k = 0; k <= last; ++k) {
    turn_slot(gs, gs.record_boards[k], exchange_owners);
    int hand[8];
    std::memcpy(hand, gs.record_hands[0][k], sizeof hand);
    std::memcpy(gs.record_hands[0][k], gs.record_hands[1][k], sizeof hand);
    std::memcpy(gs.record_hands[1][k], hand, sizeof hand);
  }
}

void turn_record(GameState& gs) {
  turn_slots(gs, true);
  gs.player_is_gote ^= 1;
  gs.current = 0;
  show_slot(gs, 0);
}

void orient_for_file(GameState& gs) {
  if (gs.player_is_gote == 1) turn_slots(gs, false);
}

void apply_board_move(GameState& gs, int side, int from_col, int from_row, int to_col, int to_row, int code_after) {
  const int to = gs_index(to_col, to_row);
  if (gs.board[to] != SQ_EMPTY) gs.hands[side][hand_kind(gs.board[to])] += 1;
  gs.board[to] = code_after;
  gs.board[gs_index(from_col, from_row)] = SQ_EMPTY;
}

void apply_drop(GameState& gs, int side, int code, int to_col, int to_row) {
  gs.board[gs_index(to_col, to_row)] = code;
  int& n = gs.hands[side][hand_kind(code)];
  if (n > 0) n -= 1;
}

void build_engine_input(GameState& gs) {
  std::memset(gs.engine_board, SQ_WALL, sizeof gs.engine_board);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col)
      gs.engine_board[cell_of(col, row)] = static_cast<uint8_t>(gs.board[gs_index(col, row)] & 0xFF);
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 8; ++k) gs.engine_hands[side][k] = static_cast<uint8_t>(gs.hands[side][k] & 0xFF);
}

void set_status(GameState& gs, const char16_t* text, int value) {
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
      if (value < 0) gs.status_text[out++] = u'-';
      while (n) gs.status_text[out++] = static_cast<char16_t>(digits[--n]);
      ++i;
    } else {
      gs.status_text[out++] = text[i];
    }
  }
  gs.status_text[out] = 0;
}

void forget_last_move(GameState& gs) {
  gs.last_move = MoveRecord{};
  gs.last_move.to_col = gs.last_move.to_row = -1;
}

}  // namespace halvane
