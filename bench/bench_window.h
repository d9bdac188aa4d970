// What the benchmarks that play through the window's turn flow share: a time control read from the
// command line, and one step of the window thread (the events the thinks post, and the clock's timer).
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>

#include "app/game_clock.h"
#include "app/play_clock.h"
#include "app/turn_flow.h"
#include "support/scripted_ui.h"

namespace halvane {

// "MAIN_S+BYOYOMI_S" or "MAIN_S+fFISCHER_S": 0+1 is 0分＋1秒, 60+f2 is 1分＋フィッシャー2秒.
inline bool parse_control(const char* text, TimeControl& control) {
  int main_s = 0, extra_s = 0;
  if (std::sscanf(text, "%d+f%d", &main_s, &extra_s) == 2) {
    control = {main_s * 1000, 0, extra_s * 1000};
    return true;
  }
  if (std::sscanf(text, "%d+%d", &main_s, &extra_s) == 2) {
    control = {main_s * 1000, extra_s * 1000, 0};
    return true;
  }
  return false;
}

// A window's game state, new, with both clocks on `control` (no game begun yet).
inline std::unique_ptr<GameState> clocked_game_state(const TimeControl& control) {
  test_support::reset_scripted_ui();
  auto gs = std::make_unique<GameState>();
  game_construct(*gs);
  game_reset_for_window(*gs);
  gs->clock.settings = {true, {control, control}};
  return gs;
}

// Runs the events the think posts, as the window's event loop, and the window's timer between them.
inline void window_loop_step(GameState& gs, Engine& e) {
  {
    std::unique_lock lock(test_support::scripted_ui().mutex);
    test_support::scripted_ui().event_posted.wait_for(lock, std::chrono::milliseconds(PROGRESS_TICK_MS / 5),
                                        [] { return !test_support::scripted_ui().events.empty(); });
  }
  test_support::run_window_events();
  clock_tick(gs, e);
}

}  // namespace halvane
