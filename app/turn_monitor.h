// The turn monitor's and the repaint watcher's single passes, and the signal that wakes them. The
// threads of turn_flow.cpp loop over these passes; tests call them directly to drive a game step by step.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// Texts the turn flow and the commands share.
inline constexpr char16_t TEXT_PRESS_START[] = u"開始するには開始ボタンを押してください。";
inline constexpr char16_t TEXT_THINKING[] = u"コンピュータの思考中です";
inline constexpr char16_t TEXT_MATED[] = u"詰みです。試合終了です。";
inline constexpr char16_t TEXT_RECORD_FULL[] = u"手数がオーバーです。これ以上は指せません。";

// Pause between the monitor's repaints while its budget lasts, and while the computer's turn is paused.
constexpr int MONITOR_STEP_MS = 100;
// The longest a thread with nothing to do sleeps before it looks again; a wake cuts it short.
constexpr int IDLE_WAIT_MS = 50;
// How often the repaint watcher looks at the progress counter during a think.
constexpr int WATCH_STEP_MS = 10;
// Repaints granted to the monitor after each change of turn.
constexpr int REFRESH_BUDGET = 10;

// One pass of the turn monitor: waits out a game end, holds a paused computer turn, plays the computer's
// turn and records it, or refreshes the player's status line. Returns how many milliseconds the monitor
// may wait before its next pass (0: go on at once).
int turn_monitor_pass(GameState& gs, Engine& e);

// One look of the repaint watcher: repaints when a think is running and its progress counter differs
// from what was last drawn. The think's own status comes back with it, so that a command refused
// meanwhile is told only until then. Returns whether it repainted.
bool repaint_watcher_pass(GameState& gs, Engine& e);

// Called by whoever changes a flag the two threads watch (a move made, a pause lifted, a think started),
// so that they act at once instead of at the end of their idle wait.
void wake_turn_threads();

// Waits up to `ms` milliseconds or until the next wake_turn_threads, whichever comes first.
void wait_for_wake(int ms);

}  // namespace halvane
