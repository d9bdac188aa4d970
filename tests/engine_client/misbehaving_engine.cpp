// A USI engine that misbehaves on purpose, the way its one argument says, for the client's tests:
//   crash-after-usi  ends (status 3) when asked "usi"      no-usiok     never answers "usi"
//   no-bestmove      never answers a go                    illegal      answers every go with 2h2c (through a pawn)
//   garbage          writes noise, an over-long line and odd info lines around a correct conversation
//   exit-in-go       writes one info line and ends (status 7) on go
//   close-output     closes its output on go, and goes on reading until quit
//   ignore-quit      ignores quit, SIGTERM and the end of its input: only SIGKILL ends it
// Otherwise it answers correctly, naming its working directory as its author.
#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ignore-quit") signal(SIGTERM, SIG_IGN);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (line == "usi") {
      if (mode == "crash-after-usi") return 3;
      if (mode == "no-usiok") continue;
      if (mode == "garbage")
        std::cout << "Misbehaving 1.0 by nobody\nid colour blue\n\x01\x02\x7f\nbestmove 7g7f\noption name\n"
                  << std::string(200000, 'x') << "\ninfo\ninfo depth\r\n";
      char folder[4096] = "?";
      std::cout << "id name Misbehaving\r\nid author " << getcwd(folder, sizeof folder) << "\n"
                << "option name Hash type spin default 16 min 1 max 1024\nusiok" << std::endl;
    } else if (line == "isready") {
      std::cout << "readyok" << std::endl;
    } else if (line.rfind("go", 0) == 0) {
      if (mode == "no-bestmove") continue;
      if (mode == "close-output") {
        close(1);
        continue;
      }
      if (mode == "exit-in-go") {
        std::cout << "info depth 1 score cp 10 pv 7g7f" << std::endl;
        return 7;
      }
      if (mode == "garbage")
        std::cout << "info depth 3 seldepth 5 score mate + lowerbound nodes 99 pv 7g7f 3c3d 9i9a 1a1b\n"
                     "info score cp\ninfo string a   spaced   text\n";
      std::cout << (mode == "illegal" ? "bestmove 2h2c" : "bestmove 7g7f ponder 3c3d") << std::endl;
    } else if (line == "quit" && mode != "ignore-quit") {
      return 0;
    }
  }
  if (mode == "ignore-quit")
    for (;;) pause();
  return 0;
}
