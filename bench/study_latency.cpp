// Not a Google Benchmark: 検討's answer to a step. A record is stepped through as a user steps in the
// window — go infinite on each position with the window's analysis session (halvane-usi beside this
// program), the previous go stopped — and the time from the step to the first line is taken.
//
//   study_latency FILE [FIRST_PLY] [STEPS] [LOOK_MS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/engine_list.h"
#include "kif/file_bytes.h"
#include "kif/record_format.h"

using namespace halvane;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: study_latency FILE [FIRST_PLY] [STEPS] [LOOK_MS]\n");
    return 2;
  }
  const int first = argc > 2 ? std::atoi(argv[2]) : 40;
  const int steps = argc > 3 ? std::atoi(argv[3]) : 20;
  const int look_ms = argc > 4 ? std::atoi(argv[4]) : 1000;
  std::string bytes;
  GameRecord record;
  if (!read_file_bytes(argv[1], bytes).ok() || read_record(bytes, record).status != KIF_READ_OK) {
    std::fprintf(stderr, "%s: no record\n", argv[1]);
    return 1;
  }
  const std::vector<int> line = line_from(record, 0);
  EngineEventQueue queue;
  AnalysisSession session;
  if (!analysis_start(session, default_engine_list().engines[0], [&queue](EngineEvent&& e) { push_event(queue, std::move(e)); }) ||
      !wait_until_ready(session, queue)) {
    std::fprintf(stderr, "%s\n", session.error.c_str());
    return 1;
  }
  GoCommand go;
  go.infinite = true;
  std::vector<double> waits;
  for (int ply = first; ply < first + steps && ply < static_cast<int>(line.size()); ++ply) {
    // 1. The step: the go under way is stopped and the new position asked for.
    const Clock::time_point asked = Clock::now();
    analysis_go(session, record.start, moves_to(record, line[ply]), go);
    // 2. Its first line.
    double wait = -1;
    EngineEvent event;
    while (!session.failed && wait < 0)
      if (wait_event(queue, event, std::chrono::milliseconds(100)) && analysis_event(session, event) == ANALYSIS_LINE)
        wait = std::chrono::duration<double, std::milli>(Clock::now() - asked).count();
    if (session.failed) break;
    waits.push_back(wait);
    std::printf("ply %d: first line after %.1f ms (depth %d)\n", ply, wait, session.lines[0].depth);
    // 3. The user looks at it for a while; the lines go on coming.
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(look_ms);
    while (Clock::now() < until)
      if (wait_event(queue, event, std::chrono::milliseconds(20))) analysis_event(session, event);
  }
  analysis_stop(session);
  if (waits.empty()) return 1;
  std::sort(waits.begin(), waits.end());
  std::printf("steps %zu, median %.1f ms, 90th percentile %.1f ms, longest %.1f ms\n", waits.size(),
              waits[waits.size() / 2], waits[waits.size() * 9 / 10], waits.back());
  return 0;
}
