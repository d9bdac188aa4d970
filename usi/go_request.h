// The arguments of a USI "go" command and how long a think may take under them. Parsing is strict about
// numbers and lenient about order, as GUIs send the time words in different orders.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

enum class GoKind { THINK, MATE, PERFT };

struct GoRequest {
  GoKind kind = GoKind::THINK;
  bool infinite = false;      // think until "stop" (the answer is held back until then)
  bool ponder = false;        // think on the opponent's time; the answer waits for "ponderhit" or "stop"
  long long time[2] = {-1, -1};   // btime, wtime in ms; -1 when not given
  long long inc[2] = {0, 0};      // binc, winc
  long long byoyomi = 0;
  long long movetime = -1;
  long long mate_ms = -1;     // go mate N; -1 with kind MATE means infinite
  int perft_depth = 0;
};

// Reads the words after "go". On failure returns false with a message, and `out` is a default request of
// the kind the words asked for (MATE or PERFT when they name one), so that the caller knows whether a
// game's bestmove is waited for.
bool parse_go(std::string_view args, GoRequest& out, std::string& error);

// How many milliseconds the think of the side to move (0 black, 1 white) may run before a timer stops it;
// -1 when nothing limits it (no time words, or infinite): the clock's one rule (think/time_budget.h).
long long think_budget_ms(const GoRequest& go, int side_to_move);
// What an unfinished think may take on top of that budget (think/time_budget.h).
long long think_extension_ms(const GoRequest& go, int side_to_move);

}  // namespace halvane
