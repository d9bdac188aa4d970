// halvane-usi: reads USI commands from standard input and answers on standard output, one line each.
// The end of input counts as "quit".
#include <iostream>
#include <string>

#include "usi/usi_session.h"

int main() {
  std::ios::sync_with_stdio(false);
  halvane::UsiSession session;
  halvane::usi_session_start(session, [](std::string_view line) {
    std::cout << line << '\n' << std::flush;
  });
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!halvane::usi_handle_line(session, line)) return 0;
  }
  halvane::usi_session_finish(session);
  return 0;
}
