// The game state's construction, the board derived from the record at the cursor as the screen shows it,
// and the status line.
#include "app/game_state.h"

#include <cstring>

#include "app/engine_opponent.h"
#include "app/record_analysis.h"
#include "core/rotation.h"
#include "app/play_clock.h"
#include "app/turn_flow.h"
#include "think/think.h"
#include "think/think_ahead.h"

namespace halvane {

// Screen origins of the hand piles by kind: bottom x, bottom y, top x, top y.
const int HAND_LAYOUT[4][8] = {
    {400, 400, 480, 400, 480, 400, 480, 520},
    {200, 240, 240, 280, 280, 320, 320, 320},
    {400, 400, 480, 400, 480, 400, 480, 520},
    {120, 80, 80, 40, 40, 0, 0, 0},
};

TurnFlags::~TurnFlags() {
  if (!think_thread.joinable()) return;
  if (ahead) think_ahead_stop(*ahead);
  if (think_engine) stop_think(*think_engine);
  think_thread.join();
}

static void clear_selection(InputState& input) {
  input.selection = 0;
  input.sel_col = input.sel_row = input.dest_col = input.dest_row = -1;
  input.sel_piece = input.dest_piece = SQ_EMPTY;
  input.hand_cell_col = 10;
  input.hand_cell_row = 5;
  std::memset(input.reach_map, 0, sizeof input.reach_map);
  std::memset(input.target_map, 0, sizeof input.target_map);
}

void game_construct(GameState& gs) {
  gs.game = GamePlay{};
  gs.edit = PositionEdit{};
  show_position(gs);
  std::memcpy(gs.view.hand_layout, HAND_LAYOUT, sizeof gs.view.hand_layout);
  gs.flags.started = gs.flags.thinking = gs.flags.input_busy = gs.flags.paused = false;
  gs.flags.think_limit_ms = 0;
  gs.flags.think_ahead = false;
  gs.flags.allow_illegal = gs.flags.unsaved = false;
  gs.flags.keep_variations = true;
  gs.flags.ahead = nullptr;
  gs.flags.shown_engine = nullptr;
  gs.flags.strength = gs.flags.engine_strength = nullptr;
  clear_selection(gs.input);
  for (auto& image : gs.view.piece_images) image = nullptr;
  gs.view.progress_drawn = 0;
  gs.view.show_last_move = 0;
  forget_last_move(gs.view);
  gs.view.score_shown = NO_SCORE;
  gs.view.status_text[0] = 0;
  gs.view.move_list = MoveList{};
  gs.view.computer_name = nullptr;
}

void game_reset_for_window(GameState& gs) {
  gs.edit.active = false;
  take_record(gs, GameRecord{});
  gs.game.player_side = BLACK;
  gs.game.own_game = true;
  gs.flags.started = gs.flags.thinking = gs.flags.input_busy = false;
  clear_selection(gs.input);
  gs.input.sel_col = gs.input.sel_row = gs.input.dest_col = gs.input.dest_row = 4;
  show_position(gs);
  set_status(gs.view, TEXT_PRESS_START);
}

void show_board(GameState& gs, const SfenPosition& pos) {
  // The bottom side: the player's, unless the view is flipped.
  const int bottom = gs.game.player_side ^ (gs.game.view_flipped ? 1 : 0);
  ScreenBoard& s = gs.screen;
  s.rotated = bottom == WHITE;
  for (int i = 0; i < GS_CELLS; ++i) s.board[i] = SQ_WALL;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[row * 9 + col];
      s.board[gs_index(screen_line(gs, col), screen_line(gs, row))] = s.rotated ? rotated_code(code) : code;
    }
  for (int kind = 0; kind < 8; ++kind) {
    s.hands[0][kind] = pos.hand[bottom][kind];
    s.hands[1][kind] = pos.hand[bottom ^ 1][kind];
  }
}

void show_position(GameState& gs) {
  GamePlay& g = gs.game;
  g.position = position_at(g.record, g.cursor);
  show_board(gs, g.position);
  forget_last_move(gs.view);
  if (g.cursor > 0) gs.view.last_move = screen_move(gs, g.record.nodes[g.cursor].move);
}

void go_to_node(GameState& gs, int node) {
  GamePlay& g = gs.game;
  g.cursor = node;
  // Still on the line shown: it stays; otherwise the list shows the line through the node.
  const std::vector<int> path = path_to(g.record, g.line_tip);
  bool on_line = false;
  for (int k : path) on_line |= k == node;
  if (!on_line) g.line_tip = line_from(g.record, node).back();
  show_position(gs);
  clock_to_cursor(gs);
}

void take_record(GameState& gs, GameRecord record) {
  read_analysis_evaluations(record);   // an analysed record shows its evaluations again
  gs.game.record = std::move(record);
  gs.game.cursor = 0;
  gs.game.line_tip = main_line_end(gs.game.record);
  gs.game.revision += 1;
  show_position(gs);
  clock_take_record(gs);
  engine_new_game(gs);   // an engine playing the computer goes on with another game
}

MoveRecord screen_move(const GameState& gs, const MoveRecord& move) {
  return gs.screen.rotated ? rotate_move(move) : move;
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
