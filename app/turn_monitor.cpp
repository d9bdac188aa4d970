// The turn monitor's pass and the repaint watcher's look: what each does once before it waits again.
#include "app/turn_monitor.h"

#include "app/record_sfen.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/legal_moves.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

// No legal move for the player is mate: a pawn-drop mate is not among the legal moves, and a position
// without a move but out of check loses all the same. The engine is idle between thinks and serves as
// the scratch of the legal-move generator.
bool player_is_mated(const GameState& gs, Engine& e) {
  MoveRecord moves[MAX_LEGAL_MOVES];
  return legal_moves(e, screen_position_player_to_move(gs), moves) == 0;
}

// On the player's turn of a started game, the computer thinks ahead if the player wants it; a think
// ahead that is no longer wanted stops. Under the turn lock, so no command changes the position while
// the think ahead reads it.
void keep_thinking_ahead(GameState& gs) {
  if (!gs.flags.ahead) return;
  const bool wanted = gs.flags.think_ahead && gs.flags.started && !gs.flags.game_over && !gs.flags.paused && gs.flags.player_to_move &&
                      !gs.flags.thinking && gs.record.current < PLAYER_MOVE_LIMIT;
  if (!wanted) {
    think_ahead_cancel(*gs.flags.ahead);
    return;
  }
  if (think_ahead_running(*gs.flags.ahead)) return;
  think_ahead_start(*gs.flags.ahead, screen_think_request(gs));
}

}  // namespace

int turn_monitor_pass(GameState& gs, Engine& e) {
  // 1. A finished game waits for a reset, a navigation step or a KIF load.
  if (gs.flags.game_over) return IDLE_WAIT_MS;

  std::unique_lock<std::recursive_mutex> turn(turn_lock());
  if (!gs.flags.player_to_move) {
    // 2. The computer's turn.
    gs.view.refresh_count = 0;
    if (!gs.flags.paused && !gs.flags.abandon_think && gs.record.current < RECORD_SLOTS - 1) {
      // The think begins under the turn lock (the one place `thinking` is set): from here on the commands
      // that change the position refuse.
      gs.flags.thinking = true;
      const bool moved = computer_move(gs, e, turn);
      if (!turn.owns_lock()) {
        // A command stopped the think to change the game and holds the lock while it waits for this turn
        // to end: the record is as it was, and the command hands the turn on.
        gs.flags.thinking = false;
        return 0;
      }
      if (moved) {
        if (!record_current(gs)) {
          // Not reached while the record limit holds; kept so that the record can never overflow.
          show_slot(gs.record, gs.record.current);
          end_game(gs, GAME_END_NONE);   // stopped at the record limit, not ended
          set_status(gs.view, TEXT_RECORD_FULL);
        } else if (player_is_mated(gs, e)) {
          // The mating move stays in the record; the player is not asked for a move that cannot be made.
          end_game(gs, GAME_END_MATED);
          repaint(gs, e);
        }
      }
      // The turn goes back to the player, recorded and still under the lock. It was the computer's turn,
      // so this is the toggle; setting it outright also keeps a reset made during the game-end hold from
      // handing the turn to the computer.
      gs.flags.thinking = false;
      gs.flags.player_to_move = true;
      return 0;
    }
    if (gs.flags.paused) {
      write_turn_status(gs);
      repaint(gs, e);
      return MONITOR_STEP_MS;
    }
    if (gs.record.current >= RECORD_SLOTS - 1) {
      // The last record slot is taken: a move now could not be recorded, so the game goes no further.
      end_game(gs, GAME_END_NONE);   // stopped at the record limit, not ended
      set_status(gs.view, TEXT_RECORD_FULL);
      repaint(gs, e);
    }
    return IDLE_WAIT_MS;
  }

  // 3. The player's turn: the computer may think ahead; the status line is kept fresh, repainted while
  // the budget lasts.
  keep_thinking_ahead(gs);
  write_turn_status(gs);
  if (gs.view.refresh_count < REFRESH_BUDGET) {
    gs.view.refresh_count += 1;
    repaint(gs, e);
    return MONITOR_STEP_MS;
  }
  return IDLE_WAIT_MS;
}

bool repaint_watcher_pass(GameState& gs, Engine& e) {
  // While the turn flow waits for a think ahead's answer, the strip follows that think.
  Engine* shown = gs.flags.shown_engine.load();
  Engine& thinking = shown ? *shown : e;
  if (!gs.flags.thinking || think_progress(thinking) == gs.view.progress_drawn) return false;
  std::lock_guard<std::recursive_mutex> turn(turn_lock());
  set_status(gs.view, TEXT_THINKING);
  repaint(gs, thinking);
  return true;
}

}  // namespace halvane
