// halvane-usi: reads USI commands from standard input and answers on standard output, one line each.
// The end of input counts as "quit", but lets a running perft or bench finish. Every line goes out
// through the session's one writer as a single write(2) of the whole line; the standard input stream is
// untied from std::cout, so reading a command never flushes output behind the writer's back. A GUI that
// closes its end of the pipe does not kill the engine with SIGPIPE: the failed write ends the process
// quietly instead.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>

#include "usi/usi_session.h"

namespace {

// The whole line and its end in one call where the pipe takes it; a short write continues where it ended.
void write_stdout(std::string_view line) {
  std::string text(line);
  text += '\n';
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    // The GUI went away: nothing the engine says can reach anyone now, and a think or perft left running
    // would only burn the processor. No file is open for writing, so the process can end here, from
    // whichever thread wrote; the exit status says that this is no crash.
    if (n <= 0) _exit(0);
    done += static_cast<size_t>(n);
  }
}

}  // namespace

int main() {
  // A write into a pipe the GUI has closed fails with EPIPE instead of killing the process.
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);
  halvane::UsiSession session;
  halvane::usi_session_start(session, write_stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!halvane::usi_handle_line(session, line)) return 0;
  }
  halvane::usi_session_end_of_input(session);
  return 0;
}
