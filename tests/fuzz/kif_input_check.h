// The property every input to the KIF reader must keep, shared by the libFuzzer harness, the replay of the
// inputs it found and the corpus tests: the result is consistent, every line of the record replays
// legally from a possible start (a foul only as a line's last move, told by 反則勝ち), and the record
// writes back into a file that reads into the very same tree.
#pragma once

#include <string>
#include <string_view>

#include "core/legality.h"
#include "kif/kif_encoding.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"

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

// Empty when the two trees hold the same start, moves in the same order, ends, comments and times. With
// `through_cp932`, b was written in CP932: a's comments are compared as CP932 keeps them.
inline std::string same_tree(const GameRecord& a, const GameRecord& b, bool through_cp932 = false) {
  if (format_sfen(a.start) != format_sfen(b.start)) return "another start position";
  std::vector<std::pair<int, int>> stack{{0, 0}};
  while (!stack.empty()) {
    const auto [i, j] = stack.back();
    stack.pop_back();
    const RecordNode &x = a.nodes[i], &y = b.nodes[j];
    const std::string where = "after move " + std::to_string(x.ply);
    if (!(x.move == y.move)) return "another move at ply " + std::to_string(x.ply);
    if (x.children.size() != y.children.size()) return "another number of continuations " + where;
    if (written_end(a, i) != written_end(b, j)) return "another end " + where;
    std::vector<std::string> kept = x.comments;
    if (through_cp932)
      for (std::string& c : kept) c = cp932_to_utf8(utf8_to_cp932(c));
    if (kept != y.comments) return "other comments " + where;
    if (x.time_ms / 1000 != y.time_ms / 1000) return "another time " + where;
    for (size_t c = 0; c < x.children.size(); ++c) stack.push_back({x.children[c], y.children[c]});
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
  const KifReadResult result = read_kif(bytes, read);
  if (result.status != KIF_READ_OK) {
    if (result.message.empty()) return "refused without a message";
    if (read.nodes.size() != 1) return "a refused file left moves behind";
    return {};
  }
  if (std::string problem = replays_legally(read); !problem.empty()) return problem;
  // Written back and read again, in either encoding, the record must come out unchanged.
  for (bool utf8 : {false, true}) {
    const KifReadResult reread = read_kif(kif_bytes(read, utf8), again);
    if (reread.status != KIF_READ_OK) return "the written file is refused: " + reread.message;
    if (std::string problem = same_tree(read, again, !utf8); !problem.empty()) return "written and read again: " + problem;
  }
  return {};
}

}  // namespace halvane::fuzz
