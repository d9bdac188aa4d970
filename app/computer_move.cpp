// One computer turn: the position on the board in the computer's view for the think, the think itself on
// its own thread (taken from the think ahead when that thought on exactly this position), and its answer
// applied on the window thread — a move, a resignation, or a mate of the player.
#include <cstring>

#include "app/game_end.h"
#include "app/play_clock.h"
#include "app/record_play.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "core/legality.h"
#include "core/rotation.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

// The computer's view turns the board round when the computer moves first: its pieces are always the
// engine's GOTE pieces, as the program has always seen them.
bool computer_view_rotated(const GameState& gs) { return computer_side(gs) == BLACK; }

}  // namespace

ThinkRequest board_think_request(const GameState& gs) {
  const SfenPosition& pos = gs.game.position;
  const bool rotated = computer_view_rotated(gs);
  ThinkRequest request;
  std::memset(request.board, SQ_WALL, sizeof request.board);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[row * 9 + col];
      const int cell = cell_of(col, row);
      request.board[rotated ? rotated_cell(cell) : cell] = static_cast<uint8_t>(rotated ? rotated_code(code) : code);
    }
  std::memcpy(request.hand[SENTE], pos.hand[gs.game.player_side], sizeof request.hand[SENTE]);
  std::memcpy(request.hand[GOTE], pos.hand[computer_side(gs)], sizeof request.hand[GOTE]);
  request.side = player_to_move(gs) ? SENTE : GOTE;
  request.game_ply = cursor_ply(gs);
  // Under a clock the computer's time is its clock's; otherwise the chosen limit.
  const int clock_limit = computer_think_limit(gs);
  request.limit_ms = clock_limit > 0 ? clock_limit : gs.flags.think_limit_ms;
  request.extend_ms = clock_limit > 0 ? computer_think_extension_limit(gs) : 0;
  return request;
}

MoveRecord move_from_think(const GameState& gs, const MoveRecord& move) {
  MoveRecord m = computer_view_rotated(gs) ? rotate_move(move) : move;
  // The record's own codes for what stood where: the same move as the record holds it.
  if (!m.is_drop()) m.piece = gs.game.position.board[m.from_row * 9 + m.from_col];
  m.captured = gs.game.position.board[m.to_row * 9 + m.to_col];
  return m;
}

// The think's thread: the think (or the think ahead's answer for this position), then the answer posted to
// the window thread. Touches nothing of the game but the Engine it follows.
void think_for_window(GameState* gs, Engine* e, ThinkRequest request, uint64_t generation, bool clocked) {
  ThinkResult result;
  const auto follow = [](Engine& thinking, void* state) {
    static_cast<GameState*>(state)->flags.shown_engine = &thinking;
  };
  if (!(gs->flags.ahead && think_ahead_take(*gs->flags.ahead, request, result, follow, gs))) result = think(*e, request);
  gs->flags.shown_engine = nullptr;
  // A time limit that cut even the first think before its root had a move: the move is thought out
  // without the limit rather than resigned or left unplayed (a stop asked for ends this at once too).
  // Under a clock there is no time for that: the window plays a legal move.
  if (result.stopped && result.move.to_col < 0 && !clocked) {
    request.limit_ms = 0;
    result = think(*e, request);
  }
  post_to_window([gs, e, generation, result] { on_think_answer(*gs, *e, generation, result); });
}

void on_think_answer(GameState& gs, Engine& e, uint64_t generation, const ThinkResult& result) {
  if (generation != gs.game.generation || !gs.flags.thinking) return;   // the game has changed since
  if (clock_flag_fell(gs, e)) return;   // the answer came too late: the computer lost on time
  if (gs.flags.think_thread.joinable()) gs.flags.think_thread.join();   // it has posted this and ends
  // The think's evaluation is from the player's side of its request: from sente's, the other side's when
  // the computer plays sente. A book move has none.
  const int evaluation =
      computer_view_rotated(gs) ? other_side_evaluation(result.evaluation) : result.evaluation;
  MoveRecord move = result.move.to_col >= 0 ? move_from_think(gs, result.move) : MoveRecord{};
  // A think its clock cut before it had any move: the first legal move rather than none.
  if (!result.resigned && move.to_col < 0 && result.stopped && gs.clock.settings.limited) {
    const std::vector<MoveRecord> moves = legal_moves(gs.game.position);
    if (!moves.empty()) move = moves.front();
  }
  computer_answers(gs, e, result.resigned ? MoveRecord{} : move, evaluation);
}

void computer_answers(GameState& gs, Engine& e, const MoveRecord& move, int evaluation) {
  gs.flags.thinking = false;
  gs.view.score_shown = evaluation;
  if (move.to_col < 0) {
    // Resignation: the board stays as it was before the think.
    gs.view.show_last_move = 0;
    end_game(gs, GAME_END_RESIGNED);
  } else {
    play_move(gs, move);
    // Kept with the position the move reached, for whatever shows the game's evaluations.
    gs.game.record.nodes[gs.game.cursor].evaluation = evaluation;
    gs.view.show_last_move = 1;
    // No legal move for the player is mate: the mating move stays in the record, and the player is not
    // asked for a move that cannot be made.
    if (legal_moves(gs.game.position).empty())
      end_game(gs, GAME_END_MATED);
    else
      write_turn_status(gs);
  }
  advance_game(gs, e);
  repaint(gs, e);
}

void start_computer_think(GameState& gs, Engine& e) {
  gs.flags.thinking = true;
  set_status(gs.view, TEXT_THINKING);
  repaint(gs, e);
  gs.flags.think_engine = &e;
  gs.flags.think_thread = std::thread(think_for_window, &gs, &e, board_think_request(gs), gs.game.generation,
                                      gs.clock.settings.limited);
}

}  // namespace halvane
