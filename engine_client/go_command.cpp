// The position and go lines a client sends, and the time a go's answer may take.
#include "engine_client/go_command.h"

#include <algorithm>

namespace halvane {

namespace {

void add_word(std::string& line, const char* word, long long value) {
  if (value < 0) return;
  line += ' ';
  line += word;
  line += ' ';
  line += std::to_string(value);
}

}  // namespace

std::string go_line(const GoCommand& go) {
  std::string line = "go";
  if (go.ponder) line += " ponder";
  add_word(line, "btime", go.time[BLACK]);
  add_word(line, "wtime", go.time[WHITE]);
  add_word(line, "byoyomi", go.byoyomi);
  add_word(line, "binc", go.inc[BLACK]);
  add_word(line, "winc", go.inc[WHITE]);
  add_word(line, "movetime", go.movetime);
  if (go.infinite) line += " infinite";
  return line;
}

long long answer_budget_ms(const GoCommand& go, int side_to_move) {
  if (go.infinite || go.ponder) return -1;
  if (go.movetime >= 0) return go.movetime;
  const long long time = go.time[side_to_move], inc = go.inc[side_to_move];
  if (time < 0 && go.byoyomi < 0 && inc < 0) return -1;
  return std::max(time, 0LL) + std::max(go.byoyomi, 0LL) + std::max(inc, 0LL);
}

std::string position_line(const SfenPosition& start, const std::vector<MoveRecord>& moves) {
  const std::string sfen = format_sfen(start);
  std::string line = sfen == format_sfen(startpos()) ? "position startpos" : "position sfen " + sfen;
  if (moves.empty()) return line;
  line += " moves";
  for (const MoveRecord& move : moves) line += ' ' + move_to_usi(move);
  return line;
}

std::vector<MoveRecord> moves_to(const GameRecord& record, int node) {
  std::vector<MoveRecord> moves;
  for (const int n : path_to(record, node))
    if (n != 0) moves.push_back(record.nodes[n].move);
  return moves;
}

}  // namespace halvane
