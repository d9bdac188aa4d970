// What every window program's entry point runs: the application set-up, the wallpaper, the main window
// and the event loop, ending the process with the loop's exit code. The game and the engine belong to
// the entry point, which initialises the engine with its own strength first.
#pragma once

#include "app/game_state.h"
#include "think/think.h"
#include "think/strength.h"

namespace halvane {

// Runs the program until its main window is closed; never returns.
[[noreturn]] void run_window_program(int argc, char** argv, GameState& gs, Engine& e, const Strength& strength);

// The steps of run_window_program, for callers that need to act between them.
// 1. Checks for a display (one clear line and exit 1 when there is none), creates the application with
//    its name, window class and Japanese face, and lets SIGTERM, SIGINT and SIGHUP close the main window.
void start_application(int& argc, char** argv);
// 2. load_back_buffer, then open_main_window (main_window.h), then show.
// 3. Runs the event loop, then ends the process at once with its exit code: the turn threads never end
//    and may be inside a think, so nothing is torn down under them.
[[noreturn]] void run_until_closed();

}  // namespace halvane
