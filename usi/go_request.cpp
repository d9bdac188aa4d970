// Reading "go" arguments and turning the clock into the time a think may take.
#include "usi/go_request.h"


#include "core/sfen.h"
#include "think/time_budget.h"
#include "usi/echo.h"

namespace halvane {

namespace {

constexpr long long MAX_MS = 1000LL * 60 * 60 * 24 * 30;   // a month: anything longer is not a clock

bool read_number(std::string_view word, long long limit, long long& value) {
  if (word.empty() || word.size() > 12) return false;
  long long n = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > limit) return false;
  value = n;
  return true;
}

// The kind of go the words ask for, whatever else they say: "mate" and "perft" name theirs.
GoKind kind_named(std::string_view args) {
  for (std::string_view word = next_word(args); !word.empty(); word = next_word(args)) {
    if (word == "mate") return GoKind::MATE;
    if (word == "perft") return GoKind::PERFT;
  }
  return GoKind::THINK;
}

}  // namespace

bool parse_go(std::string_view args, GoRequest& out, std::string& error) {
  GoRequest go;
  const auto refuse = [&](std::string message) {
    error = std::move(message);
    out = GoRequest{};
    out.kind = kind_named(args);
    return false;
  };
  std::string_view rest = args;
  for (std::string_view word = next_word(rest); !word.empty(); word = next_word(rest)) {
    long long* target = nullptr;
    if (word == "infinite") { go.infinite = true; continue; }
    if (word == "ponder") { go.ponder = true; continue; }
    if (word == "mate") {
      go.kind = GoKind::MATE;
      std::string_view arg = next_word(rest);
      if (arg.empty() || arg == "infinite") continue;
      if (!read_number(arg, MAX_MS, go.mate_ms))
        return refuse("bad time for go mate: '" + echo(arg) + "' (milliseconds, or infinite)");
      continue;
    }
    if (word == "perft") {
      go.kind = GoKind::PERFT;
      long long depth = 0;
      std::string_view arg = next_word(rest);
      if (!read_number(arg, 8, depth) || depth < 1)
        return refuse("go perft needs a depth from 1 to 8, not '" + echo(arg) + "'");
      go.perft_depth = static_cast<int>(depth);
      continue;
    }
    if (word == "btime") target = &go.time[0];
    else if (word == "wtime") target = &go.time[1];
    else if (word == "binc") target = &go.inc[0];
    else if (word == "winc") target = &go.inc[1];
    else if (word == "byoyomi") target = &go.byoyomi;
    else if (word == "movetime") target = &go.movetime;
    if (target) {
      std::string_view arg = next_word(rest);
      if (!read_number(arg, MAX_MS, *target))
        return refuse("bad value for " + std::string(word) + ": '" + echo(arg) + "'");
      continue;
    }
    // Limits this engine has no use for: its depth is fixed by the strength.
    if (word == "depth" || word == "nodes" || word == "movestogo") {
      long long ignored = 0;
      std::string_view arg = next_word(rest);
      if (!read_number(arg, 1LL << 40, ignored))
        return refuse("bad value for " + std::string(word) + ": '" + echo(arg) + "'");
      continue;
    }
    return refuse("unknown go argument '" + echo(word) + "'");
  }
  out = go;
  return true;
}

long long think_budget_ms(const GoRequest& go, int side_to_move) {
  if (go.infinite) return -1;
  return think_budget_ms(ClockForThink{go.time[side_to_move], go.byoyomi, go.inc[side_to_move], go.movetime});
}

long long think_extension_ms(const GoRequest& go, int side_to_move) {
  if (go.infinite) return 0;
  return think_extension_ms(ClockForThink{go.time[side_to_move], go.byoyomi, go.inc[side_to_move], go.movetime});
}

}  // namespace halvane
