// The turn monitor's pass and the repaint watcher's look: what each does once before it waits again.
#include "app/turn_monitor.h"

#include "app/record_sfen.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/legal_moves.h"

namespace halvane {

namespace {

// No legal move for the player is mate: a pawn-drop mate is not among the legal moves, and a position
// without a move but out of check loses all the same. The engine is idle between thinks and serves as
// the scratch of the legal-move generator.
bool player_is_mated(const GameState& gs, Engine& e) {
  MoveRecord moves[MAX_LEGAL_MOVES];
  return legal_moves(e, screen_position_player_to_move(gs), moves) == 0;
}

}  // namespace

int turn_monitor_pass(GameState& gs, Engine& e) {
  // 1. A finished game waits for a reset, a navigation step or a KIF load.
  if (gs.game_over) return IDLE_WAIT_MS;

  if (!gs.player_to_move) {
    // 2. The computer's turn.
    gs.refresh_count = 0;
    if (gs.paused) {
      set_status(gs, u"コンピュータの手番ですが一時停止中です。");
      repaint(gs, e);
      return MONITOR_STEP_MS;
    }
    if (gs.current >= RECORD_SLOTS - 1) {
      // The last record slot is taken: a move now could not be recorded, so the game goes no further.
      set_status(gs, TEXT_RECORD_FULL);
      end_game(gs, GAME_END_NONE);   // stopped at the record limit, not ended
      repaint(gs, e);
      return IDLE_WAIT_MS;
    }
    if (!computer_move(gs, e)) return 0;
    if (!record_current(gs)) {
      // Not reached while the check above holds; kept so that the record can never overflow.
      show_slot(gs, gs.current);
      set_status(gs, TEXT_RECORD_FULL);
      end_game(gs, GAME_END_NONE);   // stopped at the record limit, not ended
      return 0;
    }
    if (player_is_mated(gs, e)) {
      // The mating move stays in the record; the player is not asked for a move that cannot be made.
      end_game(gs, GAME_END_MATED);
      set_status(gs, TEXT_MATED);
      repaint(gs, e);
    }
    return 0;
  }

  // 3. The player's turn: the status line is kept fresh, repainted while the budget lasts.
  if (!gs.started)
    set_status(gs, TEXT_PRESS_START);
  else
    set_status(gs, u"プレイヤーの手番です。評価値＝%d", gs.score_shown);
  if (gs.refresh_count < REFRESH_BUDGET) {
    gs.refresh_count += 1;
    repaint(gs, e);
    return MONITOR_STEP_MS;
  }
  return IDLE_WAIT_MS;
}

bool repaint_watcher_pass(GameState& gs, Engine& e) {
  if (!gs.thinking || think_progress(e) == gs.progress_drawn) return false;
  set_status(gs, TEXT_THINKING);
  repaint(gs, e);
  return true;
}

}  // namespace halvane
