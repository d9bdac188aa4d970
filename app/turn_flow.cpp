// The turn flow on the window thread: what starts the computer's think and the think ahead, what stops
// them, and the progress the window's timer shows.
#include "app/turn_flow.h"

#include "app/engine_opponent.h"
#include "app/move_rules.h"
#include "app/play_clock.h"
#include "app/render.h"
#include "app/strength_choice.h"
#include "app/study.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

void cancel_thinking_ahead(GameState& gs) {
  if (gs.flags.ahead) think_ahead_cancel(*gs.flags.ahead);
}

}  // namespace

void advance_game(GameState& gs, Engine& e) {
  follow_study(gs);   // 検討 thinks on the position on the board, whatever moved it
  clock_follow(gs);
  // While a position is edited the game waits: no think starts, none runs ahead.
  if (gs.flags.thinking || editing(gs)) return;
  apply_chosen_strength(gs, e);
  const bool playing = gs.flags.started && !game_over(gs) && !gs.flags.paused;
  if (playing && !player_to_move(gs)) {
    // The computer's turn: its think takes the think ahead's answer when it thought on this position.
    if (claim_player_foul(gs)) {
      cancel_thinking_ahead(gs);
      repaint(gs, e);
      return;
    }
    if (engine_plays(gs))
      start_engine_turn(gs, e);
    else
      start_computer_think(gs, e);
    return;
  }
  // The player's turn: the computer thinks ahead if the player wants it (an engine ponders on its own).
  if (!gs.flags.ahead) return;
  if (engine_plays(gs)) return cancel_thinking_ahead(gs);
  if (!(playing && gs.flags.think_ahead)) return cancel_thinking_ahead(gs);
  if (!think_ahead_running(*gs.flags.ahead)) think_ahead_start(*gs.flags.ahead, board_think_request(gs));
}

void stop_computer(GameState& gs, Engine& e) {
  gs.game.generation += 1;   // an answer already posted is dropped
  stop_engine_turn(gs);
  if (gs.flags.think_thread.joinable()) {
    stop_think(e);
    if (gs.flags.ahead) think_ahead_stop(*gs.flags.ahead);   // also the think the computer may be waiting for
    gs.flags.think_thread.join();   // a stopped think ends within milliseconds
  }
  // No other thread touches the think ahead now.
  cancel_thinking_ahead(gs);
  clear_stop(e);
  gs.flags.thinking = false;
  gs.flags.shown_engine = nullptr;
}

bool progress_tick(GameState& gs, Engine& e) {
  // While the computer's think waits for a think ahead's answer, the strip follows that think.
  Engine* shown = gs.flags.shown_engine.load();
  Engine& thinking = shown ? *shown : e;
  if (!gs.flags.thinking || think_progress(thinking) == gs.view.progress_drawn) return false;
  set_status(gs.view, gs.flags.paused ? TEXT_PAUSE_AFTER_THINK : TEXT_THINKING);
  repaint(gs, thinking);
  return true;
}

}  // namespace halvane
