// KI2 text line by line: a line of moves is cut at each side's mark, every move is read by the KIF move
// words and resolved against the position it is played on, and the moves grow the current line of the
// tree as in a KIF file.
#include "kif/ki2_read.h"

#include <algorithm>
#include <cstring>

#include "kif/kif_header.h"
#include "kif/ki2_move.h"
#include "kif/record_builder.h"

namespace halvane {

namespace {

constexpr const char* MARKS[] = {"▲", "△", "▼", "▽", "☗", "☖"};

// The mark at the front of `text`, consumed.
bool take_mark(std::string_view& text) {
  for (const char* mark : MARKS)
    if (take(text, mark)) return true;
  return false;
}

// How a line ended, from its closing remark after "まで": "64手で後手の勝ち", "40手で千日手",
// "95手で時間切れにより先手の勝ち"; a remark that names no end is a suspended game.
GameEnd closing_end(std::string_view text) {
  take(text, "、");
  read_number(text);
  take(text, "手");
  take(text, "で");
  text = trim_kif_blanks(text);
  const auto has = [&](std::string_view word) { return text.find(word) != std::string_view::npos; };
  const auto ends = [&](std::string_view word) {
    return text.size() >= word.size() && text.substr(text.size() - word.size()) == word;
  };
  if (has("時間切れ") || has("切れ負け")) return GAME_END_TIME_LOSS;
  if (has("入玉")) return GAME_END_ENTERING_KING;
  if (has("反則勝ち")) return GAME_END_FOUL_WIN;
  if (has("反則負け")) return GAME_END_FOUL;
  if (has("不戦勝")) return GAME_END_DEFAULT_WIN;
  if (has("不戦敗")) return GAME_END_DEFAULT_LOSS;
  if (ends("勝ち")) return GAME_END_RESIGNED;
  const GameEnd end = kif_end_at(text);
  if (end != GAME_END_NONE) return end;
  return starts_with(text, "詰") ? GAME_END_MATED : GAME_END_SUSPENDED;
}

// Plays one move's text (after its mark) on the builder's line; empty when it was read.
std::string play(RecordBuilder& b, std::string_view text, int line) {
  MoveWords words;
  std::string problem = read_move_words(text, b.current > 0 ? &b.record.nodes[b.current].move : nullptr, words);
  if (!problem.empty()) return problem;
  // A drop said by 打, or a move that KI2's words cannot tell, written with its origin as in KIF.
  MoveRecord move;
  const bool origin = words.drop || starts_with(text, "(");
  problem = origin ? move_from_origin(text, b.pos, words, move) : resolve_ki2_move(b.pos, words, move);
  if (!problem.empty()) return problem;
  if (!trim_kif_blanks(text).empty()) return "unreadable text after the move";
  return b.play(move, line);
}

}  // namespace

KifReadResult read_ki2(std::string_view bytes, GameRecord& out) {
  out = GameRecord{};
  std::string text;
  LineReader lines;
  GameRecord record;
  KifReadResult result;
  if (!open_kif_text(bytes, text, lines, record, result, true)) return result;

  RecordBuilder r(record);
  std::string_view line;
  while (lines.next(line)) {
    // 1. Comments, remarks and variations.
    const SharedLine shared = read_shared_line(line, lines.number, r, result);
    if (shared == SHARED_REFUSED) return result;
    if (shared == SHARED_READ) continue;
    const std::string_view trimmed = trim_kif_blanks(line);
    // 2. The closing remark ends the line.
    if (starts_with(trimmed, "まで")) {
      if (r.closed) continue;
      const GameEnd end = closing_end(trimmed.substr(std::strlen("まで")));
      if (r.foul_line && end != GAME_END_FOUL_WIN) return kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
      r.close(end);
      continue;
    }
    // 3. A line of moves, each after its mark.
    std::string_view rest = trimmed;
    if (!take_mark(rest)) return kif_refusal(KIF_BAD_RECORD, lines.number, "not a line of moves");
    for (;;) {
      size_t next = rest.size();
      for (const char* mark : MARKS) next = std::min(next, rest.find(mark));
      const std::string_view move_text = trim_kif_blanks(rest.substr(0, next));
      if (!r.closed) {
        const int number = record.nodes[r.current].ply + 1;
        if (r.foul_line) return kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
        const std::string problem = play(r, move_text, lines.number);
        if (!problem.empty())
          return kif_refusal(KIF_BAD_RECORD, lines.number, "move " + std::to_string(number) + ": " + problem);
      }
      if (next == rest.size()) break;
      rest.remove_prefix(next);
      take_mark(rest);
    }
  }
  if (r.foul_line) return kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
  out = std::move(record);
  return {};
}

}  // namespace halvane
