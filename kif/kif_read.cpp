// The KIF reader: the header up to the line that heads the moves (fields, 手合割, board diagram, comments),
// then one line after another: move lines that grow the current line of the tree, "*" comments on the
// position just reached, end words that close a line, and "変化：N手" lines that start a variation at move
// N of the line read last. The text is read as UTF-8, whatever the file's encoding.
#include "kif/kif_read.h"

#include <cstdio>

#include "kif/kif_header.h"
#include "kif/kif_text.h"
#include "kif/move_words.h"
#include "kif/record_builder.h"

namespace halvane {

namespace {

struct EndWord {
  const char* text;
  GameEnd end;
};
constexpr EndWord END_WORDS[] = {
    {"投了", GAME_END_RESIGNED},        {"中断", GAME_END_SUSPENDED},      {"詰み", GAME_END_MATED},
    {"千日手", GAME_END_REPETITION},    {"持将棋", GAME_END_IMPASSE},      {"切れ負け", GAME_END_TIME_LOSS},
    {"時間切れ", GAME_END_TIME_LOSS},   {"反則勝ち", GAME_END_FOUL_WIN},   {"反則負け", GAME_END_FOUL},
    {"入玉勝ち", GAME_END_ENTERING_KING}, {"不戦勝", GAME_END_DEFAULT_WIN}, {"不戦敗", GAME_END_DEFAULT_LOSS},
    {"封じ手", GAME_END_SEALED},        {"不詰", GAME_END_NO_MATE},
};

// "( 0:12/00:03:45)" (blanks anywhere) into the move's time and the mover's total, in milliseconds.
void read_times(std::string_view text, RecordNode& node, bool end_word) {
  const size_t open = text.find('(');
  if (open == std::string_view::npos) return;
  std::string compact;
  for (char c : text.substr(open + 1)) {
    if (c == ')') break;
    if (c != ' ') compact += c;
  }
  int m, s, h, hm, hs;
  if (std::sscanf(compact.c_str(), "%d:%d/%d:%d:%d", &m, &s, &h, &hm, &hs) != 5) return;
  if (m < 0 || s < 0 || m > KIF_MINUTES_LIMIT || s > 59) return;
  const int move_ms = (m * 60 + s) * 1000;
  if (end_word) {
    node.end_time_ms = move_ms;
    return;
  }
  node.time_ms = move_ms;
  // A total beyond what a game could use is not kept; the move's own time still is.
  const bool total = h >= 0 && hm >= 0 && hs >= 0 && h <= KIF_HOURS_LIMIT && hm <= 59 && hs <= 59;
  node.total_ms = total ? ((h * 60 + hm) * 60 + hs) * 1000 : NO_TIME;
}

// Plays the move text (after the move number) on the builder's line; an empty string when it was read.
std::string play(RecordBuilder& b, std::string_view text, int line) {
  // 1. The destination, the piece named and its words.
  MoveWords words;
  const std::string problem = read_move_words(text, b.current > 0 ? &b.record.nodes[b.current].move : nullptr, words);
  if (!problem.empty()) return problem;
  // 2. The origin in brackets, or a drop.
  MoveRecord move;
  if (std::string wrong = move_from_origin(text, b.pos, words, move); !wrong.empty()) return wrong;
  // 3. The rules, then the move's time.
  if (std::string refused = b.play(move, line); !refused.empty()) return refused;
  read_times(text, b.record.nodes[b.current], false);
  return {};
}

}  // namespace

KifReadResult kif_refusal(KifReadStatus status, int line, const std::string& message) {
  return {status, line, line > 0 ? "line " + std::to_string(line) + ": " + message : message};
}

GameEnd kif_end_at(std::string_view text) {
  GameEnd end = GAME_END_NONE;
  for (const EndWord& w : END_WORDS)
    if (starts_with(text, w.text)) end = w.end;
  return end;
}

KifReadResult read_kif(std::string_view bytes, GameRecord& out) {
  out = GameRecord{};
  std::string text;
  LineReader lines;
  GameRecord record;
  KifReadResult result;
  if (!open_kif_text(bytes, text, lines, record, result, false)) return result;

  RecordBuilder r(record);
  std::string_view line;
  while (lines.next(line)) {
    // 1. Comments, remarks and variations; the summary line is not kept (the writer makes it anew).
    const SharedLine shared = read_shared_line(line, lines.number, r, result);
    if (shared == SHARED_REFUSED) return result;
    const std::string_view trimmed = trim_kif_blanks(line);
    if (shared == SHARED_READ || starts_with(trimmed, "まで")) continue;
    // 2. A move line: its number, then a move or an end word.
    std::string_view rest = trimmed;
    const long number = read_number(rest);
    if (number < 0) return kif_refusal(KIF_BAD_RECORD, lines.number, "not a move line");
    rest = trim_kif_blanks(rest);
    if (r.closed) continue;
    const GameEnd end = kif_end_at(rest);
    if (r.foul_line && end != GAME_END_FOUL_WIN) return kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
    if (end != GAME_END_NONE) {
      r.close(end);
      read_times(rest, record.nodes[r.current], true);
      continue;
    }
    const int expected = record.nodes[r.current].ply + 1;
    if (number != expected)
      return kif_refusal(KIF_BAD_RECORD, lines.number,
                         "move number " + std::to_string(number) + " where " + std::to_string(expected) + " was expected");
    const std::string problem = play(r, rest, lines.number);
    if (!problem.empty()) return kif_refusal(KIF_BAD_RECORD, lines.number, "move " + std::to_string(expected) + ": " + problem);
  }
  if (r.foul_line) return kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
  out = std::move(record);
  return {};
}

}  // namespace halvane
