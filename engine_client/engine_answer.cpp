// Readers of an engine's info and bestmove lines, and the rules applied to the moves in them.
#include "engine_client/engine_answer.h"

#include <limits>

#include "core/legality.h"
#include "engine_client/protocol_text.h"

namespace halvane {

namespace {

// The next word as a number that fits `out`; false (out untouched) for anything else.
template <typename T>
bool read_number(std::string_view& words, T& out) {
  long long n = 0;
  if (!parse_number(next_word(words), n) || n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
    return false;
  out = static_cast<T>(n);
  return true;
}

// "cp N", "mate N", "mate +", "mate -" after "score".
bool read_score(std::string_view& words, EngineInfo& info) {
  const std::string_view kind = next_word(words);
  if (kind != "cp" && kind != "mate") return false;
  info.score_kind = kind == "cp" ? SCORE_CP : SCORE_MATE;
  std::string_view rest = words;
  const std::string_view sign = next_word(rest);
  if (info.score_kind == SCORE_MATE && (sign == "+" || sign == "-")) {
    words = rest;
    info.score = sign == "+" ? 1 : -1;
    info.mate_length_known = false;
    return true;
  }
  if (read_number(words, info.score)) return true;
  info.score_kind = SCORE_NONE;
  return false;
}

}  // namespace

bool parse_info_line(std::string_view words, EngineInfo& out) {
  EngineInfo info;
  int known = 0;   // fields read
  for (std::string_view word = next_word(words); !word.empty(); word = next_word(words)) {
    bool read = false;
    if (word == "depth") read = read_number(words, info.depth);
    else if (word == "seldepth") read = read_number(words, info.seldepth);
    else if (word == "time") read = read_number(words, info.time_ms);
    else if (word == "nodes") read = read_number(words, info.nodes);
    else if (word == "nps") read = read_number(words, info.nps);
    else if (word == "hashfull") read = read_number(words, info.hashfull);
    else if (word == "multipv") read = read_number(words, info.multipv);
    else if (word == "score") read = read_score(words, info);
    else if (word == "lowerbound") info.bound = BOUND_LOWER, read = true;
    else if (word == "upperbound") info.bound = BOUND_UPPER, read = true;
    else if (word == "currmove") info.currmove = next_word(words), read = !info.currmove.empty();
    else if (word == "pv") {
      // The line runs to the end, or to a field some engines send after it.
      for (std::string_view move = next_word(words); !move.empty(); move = next_word(words)) {
        if (move == "string") {
          info.text = trim_line(words);
          break;
        }
        info.pv.emplace_back(move);
      }
      read = !info.pv.empty();
    } else if (word == "string") {
      info.text = trim_line(words);
      words = {};
      read = true;
    }
    known += read;
  }
  if (known == 0) return false;
  out = std::move(info);
  return true;
}

BestMoveText parse_bestmove_line(std::string_view words) {
  BestMoveText best;
  const std::string_view move = next_word(words);
  if (move == "resign") best.kind = BESTMOVE_RESIGN;
  else if (move == "win") best.kind = BESTMOVE_WIN;
  else best.move = move;
  if (next_word(words) == "ponder") best.ponder = next_word(words);
  return best;
}

bool legal_usi_move(std::string_view text, const SfenPosition& pos, MoveRecord& move, std::string& reason) {
  if (!parse_usi_move(text, pos, move, reason)) return false;
  const MoveVerdict verdict = judge_move(pos, move);
  if (verdict == MOVE_OK) return true;
  reason = verdict_text(verdict);
  return false;
}

std::vector<MoveRecord> legal_line(const SfenPosition& pos, const std::vector<std::string>& line) {
  std::vector<MoveRecord> moves;
  SfenPosition at = pos;
  std::string reason;
  for (const std::string& text : line) {
    MoveRecord move;
    if (!legal_usi_move(text, at, move, reason)) break;
    moves.push_back(move);
    apply_move(at, move);
  }
  return moves;
}

}  // namespace halvane
