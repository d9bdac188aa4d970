// The property every input to the record readers must keep, shared by the libFuzzer harness, the replay of
// the inputs it found and the corpus tests: the result is consistent, every line of the record replays
// legally from a possible start (a foul only as a line's last move, told by 反則勝ち), and the record
// written in each format reads back, as that format, into the same tree as far as the format holds it.
#pragma once

#include <string>
#include <string_view>

#include "core/legality.h"
#include "kif/kif_encoding.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"
#include "kif/record_format.h"

namespace halvane::fuzz {

// How a line's end reads back: a main line without an end word is written 中断.
inline GameEnd written_end(const GameRecord& r, int node) {
  const GameEnd end = r.nodes[node].end;
  if (end == GAME_END_KING_CAPTURED) return GAME_END_RESIGNED;
  if (end == GAME_END_NONE && r.nodes[node].children.empty()) {
    for (int k = node; r.nodes[k].parent >= 0; k = r.nodes[k].parent)
      if (r.nodes[r.nodes[k].parent].children[0] != k) return end;
    return GAME_END_SUSPENDED;
  }
  return end;
}

// What a record written in a format keeps.
struct Carried {
  bool times, comments, variations, ends;
};
inline Carried carried_by(RecordFormat format) {
  switch (format) {
    case FORMAT_KI2: return {false, true, true, true};
    case FORMAT_CSA: return {true, true, false, true};
    case FORMAT_SFEN:
    case FORMAT_USI: return {false, false, false, false};
    default: return {true, true, true, true};
  }
}
// How a line's end reads back from a file in `format`: CSA has no word for a sealed move or a default.
inline GameEnd end_as_read(const GameRecord& r, int node, RecordFormat format) {
  const GameEnd end = written_end(r, node);
  if (format == FORMAT_CSA && (end == GAME_END_SEALED || end == GAME_END_DEFAULT_WIN || end == GAME_END_DEFAULT_LOSS))
    return GAME_END_SUSPENDED;
  return end;
}

// Comments as a file in `format` holds them: the CP932 formats turn what CP932 lacks into "?".
inline std::vector<std::string> as_written(std::vector<std::string> comments, RecordFormat format) {
  if (format == FORMAT_KIF || format == FORMAT_KI2 || format == FORMAT_CSA)
    for (std::string& c : comments) c = cp932_to_utf8(kif_to_cp932("*" + c)).substr(1);   // as its line holds it
  return comments;
}

// Empty when `b`, read from `a` written in `format`, holds the same start (its board, hands and side),
// moves in the same order, and the ends, comments, times and variations the format keeps. A format
// without ends leaves out a last move that was a foul told by 反則勝ち.
inline std::string same_tree(const GameRecord& a, const GameRecord& b, RecordFormat format = FORMAT_KIF) {
  const auto position_only = [](const SfenPosition& p) { return format_sfen(p).substr(0, format_sfen(p).rfind(' ')); };
  if (position_only(a.start) != position_only(b.start)) return "another start position";
  const Carried carried = carried_by(format);
  std::vector<std::pair<int, int>> stack{{0, 0}};
  while (!stack.empty()) {
    const auto [i, j] = stack.back();
    stack.pop_back();
    const RecordNode &x = a.nodes[i], &y = b.nodes[j];
    const std::string where = "after move " + std::to_string(x.ply);
    if (!(x.move == y.move)) return "another move at ply " + std::to_string(x.ply);
    size_t kept = carried.variations ? x.children.size() : std::min<size_t>(x.children.size(), 1);
    if (!carried.ends && kept == 1 && a.nodes[x.children[0]].end == GAME_END_FOUL_WIN &&
        a.nodes[x.children[0]].children.empty())
      kept = 0;
    if (kept != y.children.size()) return "another number of continuations " + where;
    if (carried.ends && end_as_read(a, i, format) != end_as_read(b, j, format)) return "another end " + where;
    if (carried.comments && as_written(x.comments, format) != y.comments) return "other comments " + where;
    if (carried.times && x.time_ms / 1000 != y.time_ms / 1000) return "another time " + where;
    for (size_t c = 0; c < kept; ++c) stack.push_back({x.children[c], y.children[c]});
  }
  return {};
}

// Empty when every move of every line is legal where it is played, but a last move before 反則勝ち.
inline std::string replays_legally(const GameRecord& r) {
  if (const char* fault = position_fault(r.start)) return std::string("impossible start: ") + fault;
  std::vector<std::pair<int, SfenPosition>> stack{{0, r.start}};
  while (!stack.empty()) {
    auto [k, pos] = stack.back();
    stack.pop_back();
    for (int c : r.nodes[k].children) {
      const RecordNode& n = r.nodes[c];
      const MoveVerdict verdict = judge_move(pos, n.move);
      const bool told_foul = n.children.empty() && n.end == GAME_END_FOUL_WIN && verdict != MOVE_NO_PIECE &&
                             verdict != MOVE_ONTO_OWN_PIECE;
      if (verdict != MOVE_OK && !told_foul)
        return "move " + std::to_string(n.ply) + " " + move_to_usi(n.move) + ": " + verdict_text(verdict);
      SfenPosition next = pos;
      apply_move(next, n.move);
      stack.push_back({c, next});
    }
  }
  return {};
}

// `read` and `again` are scratch records. Returns an empty string when the input passes, else what went wrong.
inline std::string check_kif_input(GameRecord& read, GameRecord& again, std::string_view bytes) {
  const KifReadResult result = read_record(bytes, read);
  if (result.status != KIF_READ_OK) {
    if (result.message.empty()) return "refused without a message";
    if (read.nodes.size() != 1) return "a refused file left moves behind";
    return {};
  }
  if (std::string problem = replays_legally(read); !problem.empty()) return problem;
  // Written back in every format and read again, by its content, the record must come out the same.
  for (const RecordFormat format : {FORMAT_KIF, FORMAT_KIFU, FORMAT_KI2, FORMAT_CSA, FORMAT_SFEN, FORMAT_USI}) {
    const std::string name = record_format_name(format);
    RecordFormat detected = FORMAT_UNKNOWN;
    const KifReadResult reread = read_record(write_record(read, format), again, &detected);
    if (detected != format) return "written as " + name + ", taken for " + record_format_name(detected);
    if (reread.status != KIF_READ_OK) return "the written " + name + " file is refused: " + reread.message;
    if (std::string problem = same_tree(read, again, format); !problem.empty())
      return "written as " + name + " and read again: " + problem;
  }
  return {};
}

}  // namespace halvane::fuzz
