// The USI line word by word through the USI front end's own SFEN and move notation; each move is held to
// the rules as in any record file.
#include "kif/usi_record.h"

#include "core/legality.h"
#include "kif/kif_encoding.h"
#include "kif/record_builder.h"

namespace halvane {

KifReadResult read_usi_record(std::string_view bytes, GameRecord& out) {
  out = GameRecord{};
  if (detect_kif_encoding(bytes) == KIF_NOT_TEXT) return kif_refusal(KIF_NOT_A_RECORD, 0, "not text");
  const std::string text = kif_to_utf8(bytes);
  LineReader lines{text};
  std::string_view line, rest;
  while (lines.next(line))
    if (!trim_kif_blanks(line).empty()) break;
  rest = line;
  const int number = lines.number;
  // 1. The start: startpos, or a SFEN of up to four words (the move number may be left out).
  GameRecord record;
  std::string_view word = next_word(rest);
  if (word == "position") word = next_word(rest);
  if (word.empty()) return kif_refusal(KIF_NOT_A_RECORD, 0, "no position");
  if (word == "startpos" || word == "moves") {
    record.start = startpos();
  } else {
    if (word == "sfen") word = next_word(rest);
    std::string sfen(word);
    for (int i = 0; i < 3; ++i) {
      std::string_view peek = rest;
      const std::string_view more = next_word(peek);
      if (more.empty() || more == "moves") break;
      sfen += " " + std::string(more);
      rest = peek;
    }
    std::string error;
    if (!parse_sfen(sfen, record.start, error)) return kif_refusal(KIF_NOT_A_RECORD, number, "not a SFEN: " + error);
  }
  if (const char* fault = position_fault(record.start))
    return kif_refusal(KIF_BAD_RECORD, number, std::string("impossible start position: ") + fault);
  // 2. The moves.
  if (word != "moves") {
    word = next_word(rest);
    if (!word.empty() && word != "moves") return kif_refusal(KIF_BAD_RECORD, number, "\"" + std::string(word) + "\" where moves were expected");
  }
  RecordBuilder b(record);
  while (!(word = next_word(rest)).empty()) {
    // No end can tell a foul here: every move must be legal.
    const std::string which = "move " + std::to_string(record.nodes[b.current].ply + 1) + " (" + std::string(word) + "): ";
    MoveRecord move;
    std::string error;
    if (!parse_usi_move(word, b.pos, move, error)) return kif_refusal(KIF_BAD_RECORD, number, which + error);
    if (std::string problem = b.play(move, number); !problem.empty()) return kif_refusal(KIF_BAD_RECORD, number, which + problem);
    if (b.foul_line) return kif_refusal(KIF_BAD_RECORD, number, which + b.foul_reason);
  }
  out = std::move(record);
  return {};
}

std::string usi_record_text(const GameRecord& record, bool position_command) {
  const bool from_initial = format_sfen(record.start) == format_sfen(startpos());
  std::string text = position_command ? (from_initial ? "position startpos" : "position sfen " + format_sfen(record.start))
                                      : "sfen " + format_sfen(record.start);
  std::vector<int> line = line_from(record, 0);
  // A line cannot tell a foul: a last move that broke a rule, told by 反則勝ち, is left out.
  if (line.size() > 1 && record.nodes[line.back()].end == GAME_END_FOUL_WIN) line.pop_back();
  if (line.size() > 1) text += " moves";
  for (size_t k = 1; k < line.size(); ++k) text += " " + move_to_usi(record.nodes[line[k]].move);
  return text + "\n";
}

}  // namespace halvane
