// The USI client's commands and its thread: one poll loop that writes the queued commands, reads and
// handles the engine's lines, calls the time-outs, walks the quit → SIGTERM → SIGKILL ladder and reaps
// the process. Events are gathered under the client's lock and handed to the sink after it is released.
#include "engine_client/usi_client.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "engine_client/protocol_text.h"

namespace halvane {

namespace {

using Events = std::vector<EngineEvent>;
using std::chrono::milliseconds;

// Commands an engine leaves unread beyond this mean it no longer reads at all.
constexpr size_t MAX_UNWRITTEN = 1 << 20;
// Where the kernel cannot tell the end of a process through a descriptor, it is looked for this often.
constexpr int REAP_POLL_MS = 50;
// Chunks read in one round, so that a flooding engine cannot keep the owner's commands waiting.
constexpr int READS_PER_ROUND = 16;

EngineEvent error_event(EngineError code, std::string text, int request_id) {
  EngineEvent e;
  e.kind = EVENT_ERROR;
  e.error = code;
  e.text = std::move(text);
  e.request_id = request_id;
  return e;
}

int running_request(const UsiClient& c) { return c.goes.empty() ? NO_REQUEST : c.goes.front().request_id; }

void wake_thread(UsiClient& c) {
  const char byte = 1;
  if (c.wake[1] >= 0) (void)!write(c.wake[1], &byte, 1);
}

// Whether commands still reach the engine.
bool accepting(const UsiClient& c) { return c.shutdown == SHUTDOWN_NONE && !c.reaped && c.child.input >= 0; }

void queue_line(UsiClient& c, const std::string& line) {
  c.unwritten += line;
  c.unwritten += '\n';
}

// Queues `line` for the engine, if it still takes commands, and wakes the thread that writes it.
void send(UsiClient& c, const std::string& line) {
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    queue_line(c, line);
  }
  wake_thread(c);
}

// The first step of ending the engine: "quit", or SIGTERM at once when its input is closed.
void begin_shutdown(UsiClient& c, ClientClock::time_point now) {
  if (c.shutdown != SHUTDOWN_NONE || c.reaped) return;
  if (c.child.input >= 0) {
    queue_line(c, "quit");
    c.shutdown = SHUTDOWN_QUIT_SENT;
    c.shutdown_deadline = now + milliseconds(c.timeouts.quit_grace_ms);
  } else {
    signal_child(c.child, SIGTERM);
    c.shutdown = SHUTDOWN_TERM_SENT;
    c.shutdown_deadline = now + milliseconds(c.timeouts.term_grace_ms);
  }
}

// The engine closed its input or output: it is given term_grace_ms to exit before it counts as broken.
void mark_broken(UsiClient& c, ClientClock::time_point now) {
  if (c.broken || c.shutdown != SHUTDOWN_NONE) return;
  c.broken = true;
  c.broken_deadline = now + milliseconds(c.timeouts.term_grace_ms);
}

void close_fd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// --- What the engine says ---

void handle_bestmove(UsiClient& c, std::string_view words, Events& events) {
  if (c.goes.empty()) {   // an answer to nothing asked
    ++c.garbage_lines;
    return;
  }
  PendingGo go = std::move(c.goes.front());
  c.goes.pop_front();
  const BestMoveText best = parse_bestmove_line(words);
  EngineEvent e;
  e.kind = EVENT_BESTMOVE;
  e.request_id = go.request_id;
  e.best = best.kind;
  if (best.kind == BESTMOVE_MOVE) {
    std::string reason = "no move given";
    if (best.move.empty() || !legal_usi_move(best.move, go.position, e.move, reason)) {
      EngineEvent foul = error_event(ENGINE_ILLEGAL_MOVE, "illegal move '" + best.move + "': " + reason, go.request_id);
      foul.move_text = best.move;
      events.push_back(std::move(foul));
      return;
    }
    if (!best.ponder.empty()) {
      SfenPosition after = go.position;
      apply_move(after, e.move);
      e.has_ponder = legal_usi_move(best.ponder, after, e.ponder, reason);
    }
  }
  events.push_back(std::move(e));
}

void handle_line(UsiClient& c, const std::string& line, ClientClock::time_point now, Events& events) {
  std::string_view words = line;
  const std::string_view command = next_word(words);
  if (command.empty()) return;
  if (command == "info") {
    EngineEvent e;
    e.kind = EVENT_INFO;
    if (!parse_info_line(words, e.info)) {
      ++c.garbage_lines;
      return;
    }
    e.request_id = running_request(c);
    e.pv_moves = legal_line(c.goes.empty() ? c.position : c.goes.front().position, e.info.pv);
    events.push_back(std::move(e));
  } else if (command == "bestmove") {
    handle_bestmove(c, words, events);
  } else if (command == "id") {
    const std::string_view key = next_word(words);
    if (key == "name") c.name = trim_line(words);
    else if (key == "author") c.author = trim_line(words);
    else ++c.garbage_lines;
  } else if (command == "option" && !c.identified) {
    UsiOption option;
    std::string error;
    if (parse_option_line(words, option, error)) c.options.push_back(std::move(option));
    else ++c.garbage_lines;
  } else if (command == "usiok" && !c.identified) {
    c.identified = true;
    EngineEvent e;
    e.kind = EVENT_IDENTIFIED;
    e.name = c.name;
    e.author = c.author;
    e.options = c.options;
    events.push_back(std::move(e));
  } else if (command == "readyok" && c.readyok_owed > 0) {
    if (--c.readyok_owed > 0) c.readyok_deadline = now + milliseconds(c.timeouts.readyok_ms);
    EngineEvent e;
    e.kind = EVENT_READY;
    events.push_back(std::move(e));
  } else {
    ++c.garbage_lines;
  }
}

// --- The thread's round ---

void write_input(UsiClient& c, ClientClock::time_point now) {
  while (!c.unwritten.empty() && c.child.input >= 0) {
    const ssize_t n = write(c.child.input, c.unwritten.data(), c.unwritten.size());
    if (n > 0) {
      c.unwritten.erase(0, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      return;
    } else {   // EPIPE: the engine closed its input
      close_fd(c.child.input);
      c.unwritten.clear();
      mark_broken(c, now);
    }
  }
}

// Reads what the engine has written, up to READS_PER_ROUND chunks; true when it stopped at that limit
// with more perhaps waiting.
bool read_output(UsiClient& c, ClientClock::time_point now, Events& events) {
  char chunk[16384];
  for (int round = 0; round < READS_PER_ROUND; ++round) {
    if (c.child.output < 0) return false;
    const ssize_t n = read(c.child.output, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) return false;
    if (n <= 0) {   // the end of its output
      close_fd(c.child.output);
      mark_broken(c, now);
      return false;
    }
    std::vector<std::string> lines;
    c.garbage_lines += split_lines(c.splitter, std::string_view(chunk, static_cast<size_t>(n)), lines);
    for (const std::string& line : lines) handle_line(c, line, now, events);
  }
  return true;
}

// True once the process has ended: it is reaped, what it wrote last is read, and the events say so.
bool collect_exit(UsiClient& c, ClientClock::time_point now, Events& events) {
  int wait_status = -1;
  if (!reap_child(c.child, wait_status)) return false;
  c.reaped = true;
  // Its last lines (a pipe's worth); a child of the engine may hold the pipe open, so only what is there.
  for (int round = 0; round < 8 && read_output(c, now, events); ++round) {
  }
  if (c.shutdown == SHUTDOWN_NONE) {
    const int request = running_request(c);
    std::string text = "the engine ended (" + describe_wait_status(wait_status) + ")";
    if (request != NO_REQUEST) text += " while thinking";
    else if (!c.identified) text += " before usiok";
    events.push_back(error_event(ENGINE_CRASHED, std::move(text), request));
  }
  EngineEvent e;
  e.kind = EVENT_EXITED;
  e.wait_status = wait_status;
  e.asked = c.quit_asked;
  events.push_back(std::move(e));
  close_child_files(c.child);
  return true;
}

void check_clocks(UsiClient& c, ClientClock::time_point now, Events& events) {
  if (c.shutdown == SHUTDOWN_NONE) {
    if (!c.identified && now >= c.usiok_deadline) {
      events.push_back(error_event(ENGINE_NO_USIOK,
                                   "no usiok within " + std::to_string(c.timeouts.usiok_ms) + " ms: not a USI engine?",
                                   NO_REQUEST));
      begin_shutdown(c, now);
    } else if (c.readyok_owed > 0 && now >= c.readyok_deadline) {
      events.push_back(error_event(ENGINE_NO_READYOK,
                                   "no readyok within " + std::to_string(c.timeouts.readyok_ms) + " ms", NO_REQUEST));
      begin_shutdown(c, now);
    } else if (c.broken && now >= c.broken_deadline) {
      events.push_back(error_event(ENGINE_CRASHED, "the engine closed its input or output but did not exit",
                                   running_request(c)));
      begin_shutdown(c, now);
    } else if (c.unwritten.size() > MAX_UNWRITTEN) {
      c.unwritten.clear();
      events.push_back(error_event(ENGINE_NOT_READING, "the engine does not read its commands", running_request(c)));
      begin_shutdown(c, now);
    }
  }
  for (PendingGo& go : c.goes) {
    if (c.shutdown != SHUTDOWN_NONE || !go.timed || go.timed_out || now < go.deadline) continue;
    go.timed_out = true;
    events.push_back(error_event(ENGINE_TIME_OUT, "no bestmove within the time and its grace", go.request_id));
  }
  if (c.shutdown == SHUTDOWN_QUIT_SENT && now >= c.shutdown_deadline) {
    signal_child(c.child, SIGTERM);
    c.shutdown = SHUTDOWN_TERM_SENT;
    c.shutdown_deadline = now + milliseconds(c.timeouts.term_grace_ms);
  } else if (c.shutdown == SHUTDOWN_TERM_SENT && now >= c.shutdown_deadline) {
    signal_child(c.child, SIGKILL);   // cannot be refused: the process ends and is reaped
    c.shutdown = SHUTDOWN_KILL_SENT;
  }
}

// How long the thread may wait for the engine before a clock of the client runs out; -1 for ever.
int wait_ms(const UsiClient& c, ClientClock::time_point now) {
  ClientClock::time_point next = ClientClock::time_point::max();
  const auto consider = [&](bool active, ClientClock::time_point at) {
    if (active && at < next) next = at;
  };
  const bool running = c.shutdown == SHUTDOWN_NONE;
  consider(running && !c.identified, c.usiok_deadline);
  consider(running && c.readyok_owed > 0, c.readyok_deadline);
  consider(running && c.broken, c.broken_deadline);
  for (const PendingGo& go : c.goes) consider(running && go.timed && !go.timed_out, go.deadline);
  consider(c.shutdown == SHUTDOWN_QUIT_SENT || c.shutdown == SHUTDOWN_TERM_SENT, c.shutdown_deadline);
  long long ms = -1;
  if (next != ClientClock::time_point::max())
    ms = std::max<long long>(0, std::chrono::ceil<milliseconds>(next - now).count());
  if (c.child.pidfd < 0 && (ms < 0 || ms > REAP_POLL_MS)) ms = REAP_POLL_MS;
  return static_cast<int>(std::min(ms, static_cast<long long>(INT_MAX)));
}

void client_thread(UsiClient& c) {
  Events events;
  for (bool ended = false; !ended;) {
    // 1. Wait for the engine, the owner or the next clock.
    pollfd fds[4];
    int count = 0, timeout = -1;
    {
      std::lock_guard lock(c.mutex);
      fds[count++] = {c.wake[0], POLLIN, 0};
      if (c.child.output >= 0) fds[count++] = {c.child.output, POLLIN, 0};
      if (c.child.pidfd >= 0) fds[count++] = {c.child.pidfd, POLLIN, 0};
      if (c.child.input >= 0 && !c.unwritten.empty()) fds[count++] = {c.child.input, POLLOUT, 0};
      timeout = wait_ms(c, ClientClock::now());
    }
    poll(fds, static_cast<nfds_t>(count), timeout);

    // 2. Everything that can be done without waiting; every descriptor is non-blocking.
    {
      std::lock_guard lock(c.mutex);
      char drain[64];
      while (read(c.wake[0], drain, sizeof drain) > 0) {
      }
      const ClientClock::time_point now = ClientClock::now();
      write_input(c, now);
      read_output(c, now, events);
      ended = collect_exit(c, now, events);
      if (!ended) check_clocks(c, now, events);
      write_input(c, now);   // a quit the clocks queued
    }

    // 3. The owner hears of it with no lock held.
    for (EngineEvent& e : events)
      if (c.sink) c.sink(std::move(e));
    events.clear();
  }
}

}  // namespace

UsiClient::~UsiClient() { client_close(*this); }

bool client_start(UsiClient& c, const std::string& path, EngineEventSink sink, const ClientTimeouts& timeouts,
                  std::string& error) {
  if (c.thread.joinable() || c.reaped) {
    error = "this client has already run an engine";
    return false;
  }
  c.sink = std::move(sink);
  c.timeouts = timeouts;
  ChildProcess child;
  bool started = spawn_child(path, c.arguments, c.error_log, child, error);
  if (started && pipe2(c.wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = "cannot make the client's wake-up pipe";
    signal_child(child, SIGKILL);
    int status = 0;
    while (!reap_child(child, status)) poll(nullptr, 0, 1);
    close_child_files(child);
    started = false;
  }
  if (!started) {
    if (c.sink) c.sink(error_event(ENGINE_START_FAILED, error, NO_REQUEST));
    return false;
  }
  {
    std::lock_guard lock(c.mutex);
    c.child = child;
    c.pid = child.pid;
    queue_line(c, "usi");
    c.usiok_deadline = ClientClock::now() + milliseconds(c.timeouts.usiok_ms);
  }
  c.thread = std::thread(client_thread, std::ref(c));
  return true;
}

bool client_set_option(UsiClient& c, const UsiOption& option) {
  const std::string line = setoption_line(option);
  if (line.empty()) return false;
  send(c, line);
  return true;
}

void client_is_ready(UsiClient& c) {
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    if (c.readyok_owed++ == 0) c.readyok_deadline = ClientClock::now() + milliseconds(c.timeouts.readyok_ms);
    queue_line(c, "isready");
  }
  wake_thread(c);
}

void client_new_game(UsiClient& c) { send(c, "usinewgame"); }

void client_position(UsiClient& c, const SfenPosition& start, const std::vector<MoveRecord>& moves) {
  SfenPosition reached = start;
  for (const MoveRecord& move : moves) apply_move(reached, move);
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    c.position = reached;
    queue_line(c, position_line(start, moves));
  }
  wake_thread(c);
}

void client_position(UsiClient& c, const GameRecord& record, int node) {
  client_position(c, record.start, moves_to(record, node));
}

void client_go(UsiClient& c, const GoCommand& go, int request_id) {
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    PendingGo pending;
    pending.request_id = request_id;
    pending.position = c.position;
    pending.go = go;
    const long long budget = answer_budget_ms(go, c.position.side_to_move);
    pending.timed = budget >= 0;
    pending.deadline = ClientClock::now() + milliseconds(budget + c.timeouts.answer_grace_ms);
    c.goes.push_back(std::move(pending));
    queue_line(c, go_line(go));
  }
  wake_thread(c);
}

void client_ponder_hit(UsiClient& c) {
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    for (auto go = c.goes.rbegin(); go != c.goes.rend(); ++go) {
      if (!go->go.ponder) continue;
      go->go.ponder = false;
      const long long budget = answer_budget_ms(go->go, go->position.side_to_move);
      go->timed = budget >= 0;
      go->deadline = ClientClock::now() + milliseconds(budget + c.timeouts.answer_grace_ms);
      break;
    }
    queue_line(c, "ponderhit");
  }
  wake_thread(c);
}

void client_stop(UsiClient& c) {
  {
    std::lock_guard lock(c.mutex);
    if (!accepting(c)) return;
    // A stopped go owes its answer at once: one that does not come within the grace is a time-out too, or
    // every later go would wait behind it unnoticed.
    const ClientClock::time_point due = ClientClock::now() + milliseconds(c.timeouts.answer_grace_ms);
    for (PendingGo& go : c.goes) {
      go.deadline = go.timed ? std::min(go.deadline, due) : due;
      go.timed = true;
    }
    queue_line(c, "stop");
  }
  wake_thread(c);
}

void client_game_over(UsiClient& c, GameOutcome outcome) {
  static constexpr const char* WORDS[] = {"gameover win", "gameover lose", "gameover draw"};
  send(c, WORDS[outcome]);
}

void client_quit(UsiClient& c) {
  {
    std::lock_guard lock(c.mutex);
    c.quit_asked = true;
    begin_shutdown(c, ClientClock::now());
  }
  wake_thread(c);
}

void client_close(UsiClient& c) {
  if (c.thread.joinable()) {
    client_quit(c);
    c.thread.join();
  }
  close_fd(c.wake[0]);
  close_fd(c.wake[1]);
}

}  // namespace halvane
