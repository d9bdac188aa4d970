// The USI command loop: one line in, its answer out. "go" (a think, a mate search or perft) and "bench" run
// on the session's worker thread; the other commands are answered at once on the reading thread.
#include "usi/usi_session.h"

#include <exception>

#include "think/strength.h"
#include "usi/echo.h"

namespace halvane {

namespace {

std::string_view trim(std::string_view text) {
  size_t start = text.find_first_not_of(" \t\r");
  if (start == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(start, end - start + 1);
}

// A strength by its program name ("gekikara") or its word ("激辛").
int strength_named(std::string_view name) {
  for (int i = 0; i < STRENGTH_COUNT; ++i)
    if (name == STRENGTHS[i]->name || name == STRENGTHS[i]->word_utf8) return i;
  return -1;
}

void info_string(UsiSession& s, const std::string& text) { usi_write(s, "info string " + text); }

// Asks whatever runs to end early; its answer is still written by the worker.
void signal_stop(UsiSession& s) {
  std::lock_guard<std::mutex> lock(s.job_mutex);
  s.stop_seen = true;
  stop_think(*s.engine);
  s.job_changed.notify_all();
}

void join_worker(UsiSession& s) {
  if (s.worker.joinable()) s.worker.join();
}

// Starts `body` on the worker thread once whatever ran there (asked to stop by the caller) has ended. A
// go's job owes the GUI an answer from this moment (`owed_answer` is said when no thread can be had);
// perft and bench owe none.
void start_job(UsiSession& s, std::function<void()> body, long long ponder_budget_ms, const char* owed_answer) {
  join_worker(s);
  s.job_counts = owed_answer == nullptr;
  {
    std::lock_guard<std::mutex> lock(s.job_mutex);
    s.stop_seen = false;
    s.ponderhit_seen = false;
    s.ponder_budget_ms = ponder_budget_ms;
  }
  clear_stop(*s.engine);
  if (owed_answer) {
    std::lock_guard<std::mutex> lock(s.write_mutex);
    s.answer_owed = true;
  }
  try {
    s.worker = std::thread(std::move(body));
  } catch (const std::exception&) {
    info_string(s, "could not start a thread for the command");
    if (owed_answer) usi_answer(s, owed_answer);
  }
}

void start_go(UsiSession& s, void (*job)(UsiSession&, GoRequest, GamePosition), const GoRequest& go) {
  const long long ponder_budget = go.ponder ? think_budget_ms(go, s.game.pos.side_to_move) : -1;
  const char* fallback = go.kind == GoKind::MATE ? "checkmate timeout" : "bestmove resign";
  start_job(s, [&s, job, go, game = s.game] { job(s, go, game); }, ponder_budget, fallback);
}

void handle_usi(UsiSession& s) {
  usi_write(s, std::string("id name Halvane " HALVANE_VERSION " ") + STRENGTHS[s.strength]->word_utf8);
  usi_write(s, "id author the Halvane developers");
  std::string option = "option name Strength type combo default ";
  option += STRENGTHS[STRENGTH_COUNT - 1]->name;
  for (const Strength* level : STRENGTHS) option += std::string(" var ") + level->name;
  usi_write(s, option);
  usi_write(s, "option name USI_Ponder type check default false");
  usi_write(s, "usiok");
}

void handle_setoption(UsiSession& s, std::string_view args) {
  std::string_view rest = args;
  if (next_word(rest) != "name") {
    info_string(s, "setoption needs 'name'");
    return;
  }
  size_t value_at = rest.find(" value ");
  std::string_view name = trim(rest.substr(0, value_at));
  std::string_view value = value_at == std::string_view::npos ? std::string_view{} : trim(rest.substr(value_at + 7));
  if (name == "Strength") {
    int level = strength_named(value);
    if (level < 0) {
      std::string names;
      for (int i = 0; i < STRENGTH_COUNT; ++i)
        names += std::string(i == 0 ? "" : i + 1 < STRENGTH_COUNT ? ", " : " or ") + STRENGTHS[i]->name;
      info_string(s, "unknown Strength '" + echo(value) + "'; use " + names);
      return;
    }
    signal_stop(s);
    join_worker(s);
    s.strength = level;
    set_strength(*s.engine, *STRENGTHS[level]);
    return;
  }
  if (name == "USI_Ponder") {
    s.ponder_enabled.store(value == "true");
    return;
  }
  // An option every GUI sends; this engine has no hash table.
  if (name == "USI_Hash") return;
  info_string(s, "unknown option '" + echo(name) + "'");
}

void handle_go(UsiSession& s, std::string_view args) {
  GoRequest go;
  std::string error;
  if (!parse_go(args, go, error)) {
    info_string(s, error);
    // A perft or mate search with a bad argument is refused: it changes nothing, and the GUI that sent
    // it is told why instead of an answer it did not ask for. A GUI waits for the bestmove of a game's
    // go, though: rather than leave it waiting, or resign a game over a word we could not read, a think
    // gets a second.
    if (go.kind != GoKind::THINK) return;
    go = GoRequest{};
    go.movetime = 1000;
  }
  signal_stop(s);
  join_worker(s);
  switch (go.kind) {
    case GoKind::PERFT:
      start_job(s, [&s, game = s.game, depth = go.perft_depth] { run_perft(s, game, depth); }, -1, nullptr);
      break;
    case GoKind::MATE: start_go(s, run_mate_job, go); break;
    case GoKind::THINK: start_go(s, run_think_job, go); break;
  }
}

void handle_bench(UsiSession& s, std::string_view args) {
  signal_stop(s);
  join_worker(s);
  start_job(s, [&s, words = std::string(args)] { run_bench(s, words); }, -1, nullptr);
}

void handle_ponderhit(UsiSession& s) {
  std::lock_guard<std::mutex> lock(s.job_mutex);
  s.ponderhit_seen = true;
  s.ponderhit_at = UsiClock::now();
  if (s.ponder_budget_ms >= 0 && s.job_clock)
    set_deadline(*s.job_clock, s.ponderhit_at + std::chrono::milliseconds(s.ponder_budget_ms));
  s.job_changed.notify_all();
}

}  // namespace

void usi_write(UsiSession& s, std::string_view line) {
  std::lock_guard<std::mutex> lock(s.write_mutex);
  s.write_line(line);
}

bool usi_stop_seen(UsiSession& s) {
  std::lock_guard<std::mutex> lock(s.job_mutex);
  return s.stop_seen;
}

bool usi_answer(UsiSession& s, std::string_view line) {
  std::lock_guard<std::mutex> lock(s.write_mutex);
  if (!s.answer_owed) return false;
  s.answer_owed = false;
  s.write_line(line);
  return true;
}

void usi_session_start(UsiSession& s, std::function<void(std::string_view)> write_line) {
  s.write_line = std::move(write_line);
  s.strength = STRENGTH_COUNT - 1;
  s.engine = new_engine(*STRENGTHS[s.strength]);
  s.scratch = new_engine(*STRENGTHS[s.strength]);
  s.game.pos = startpos();
  s.game.game_ply = 0;
}

void usi_session_finish(UsiSession& s) {
  if (!s.engine) return;
  signal_stop(s);
  join_worker(s);
}

void usi_session_end_of_input(UsiSession& s) {
  if (s.job_counts) join_worker(s);
  usi_session_finish(s);
}

bool usi_handle_line(UsiSession& s, std::string_view line) {
  std::string_view rest = line;
  std::string_view command = next_word(rest);
  if (command.empty()) return true;
  if (command == "usi") handle_usi(s);
  else if (command == "isready") usi_write(s, "readyok");
  else if (command == "setoption") handle_setoption(s, rest);
  else if (command == "usinewgame") { signal_stop(s); join_worker(s); }
  else if (command == "position") {
    GamePosition game;
    std::string error;
    if (parse_position_command(*s.scratch, rest, game, error)) s.game = game;
    else info_string(s, "position refused, the last valid one stays: " + error);
  }
  else if (command == "go") handle_go(s, rest);
  else if (command == "stop") signal_stop(s);
  else if (command == "ponderhit") handle_ponderhit(s);
  else if (command == "gameover") { signal_stop(s); join_worker(s); }
  else if (command == "bench") handle_bench(s, rest);
  else if (command == "quit") { usi_session_finish(s); return false; }
  else info_string(s, "unknown command '" + echo(command) + "'");
  return true;
}

}  // namespace halvane
