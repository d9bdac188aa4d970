// The header's lines one by one: "#" remarks are skipped, "*" lines are comments on the start, the
// diagram's lines are gathered and read as one position when the moves begin, and every other
// "key：value" line is a field (手合割 names the start instead).
#include "kif/kif_header.h"

#include <cstring>

#include "core/legality.h"
#include "kif/kif_encoding.h"
#include "kif/kif_start.h"
#include "kif/kif_text.h"

namespace halvane {

namespace {

bool player_field(const std::string& key) { return key == "先手" || key == "後手" || key == "上手" || key == "下手"; }

// Where a KI2 file's moves begin: a move with its side's mark, or the closing remark. Neither holds a
// "：", so a field whose name happens to start so is still a field (as a KIF header reads it).
bool ki2_moves_begin(std::string_view line) {
  line = trim_kif_blanks(line);
  if (line.find("：") != std::string_view::npos) return false;
  for (const char* mark : {"▲", "△", "▼", "▽", "☗", "☖", "まで"})
    if (starts_with(line, mark)) return true;
  return false;
}

}  // namespace

bool read_kif_header(LineReader& lines, GameRecord& record, KifReadResult& result, bool ki2) {
  std::vector<std::string_view> diagram;
  std::string_view line;
  bool diagram_seen = false;
  const Handicap* handicap = nullptr;
  const auto start_found = [&] {
    std::string error;
    if (diagram_seen && !parse_kif_diagram(diagram, record.start, error)) {
      result = kif_refusal(KIF_BAD_RECORD, lines.number, error);
      return false;
    }
    if (!diagram_seen && handicap) parse_sfen(handicap->sfen, record.start, error);
    return true;
  };
  while (lines.next(line)) {
    if (ki2 && ki2_moves_begin(line)) {
      lines.put_back();
      return start_found();
    }
    // Blanks before a line's first word mean nothing: a field's name never starts with one, so that a
    // field written back at the line's start reads as the same field.
    while (take(line, " ") || take(line, "\t") || take(line, WIDE_BLANK)) {
    }
    if (!ki2 && starts_with(line, "手数")) return start_found();
    if (starts_with(line, "#")) continue;
    if (starts_with(line, "*")) {
      record.nodes[0].comments.emplace_back(line.substr(1));
      continue;
    }
    const bool diagram_line = starts_with(line, "|") || starts_with(line, "+-") || starts_with(line, "９") ||
                              line.find("の持駒：") != std::string_view::npos || starts_with(line, "先手番") ||
                              starts_with(line, "後手番") || starts_with(line, "上手番") || starts_with(line, "下手番");
    if (diagram_line) {
      diagram.push_back(line);
      diagram_seen |= starts_with(line, "|");
      continue;
    }
    const size_t colon = line.find("：");
    if (colon == std::string_view::npos) continue;
    const std::string key(trim_kif_blanks(line.substr(0, colon)));
    const std::string_view value = trim_kif_blanks(line.substr(colon + 3));
    if (key == "手合割") {
      handicap = handicap_by_name(value);
      if (!handicap && !value.empty()) {
        result = kif_refusal(KIF_BAD_RECORD, lines.number, "unknown handicap \"" + std::string(value) + "\"");
        return false;
      }
      continue;
    }
    // A player's field of dashes names no one: the writer writes an empty one so.
    const bool no_one = (key == "先手" || key == "後手" || key == "上手" || key == "下手") &&
                        value.find_first_not_of('-') == std::string_view::npos;
    record.headers.push_back({key, no_one ? std::string() : std::string(value)});
  }
  if (ki2) return start_found();
  result = kif_refusal(KIF_NOT_A_RECORD, 0, "no line heading the moves");
  return false;
}

bool open_kif_text(std::string_view bytes, std::string& text, LineReader& lines, GameRecord& record,
                   KifReadResult& result, bool ki2) {
  if (detect_kif_encoding(bytes) == KIF_NOT_TEXT) {
    result = kif_refusal(KIF_NOT_A_RECORD, 0, "not text in CP932 or UTF-8");
    return false;
  }
  text = kif_to_utf8(bytes);
  lines = LineReader{text};
  if (!read_kif_header(lines, record, result, ki2)) return false;
  if (const char* fault = position_fault(record.start)) {
    result = kif_refusal(KIF_BAD_RECORD, lines.number, std::string("impossible start position: ") + fault);
    return false;
  }
  return true;
}

SharedLine read_shared_line(std::string_view line, int number, RecordBuilder& r, KifReadResult& result) {
  const std::string_view trimmed = trim_kif_blanks(line);
  // Comments on the position just reached ("**" engine lines keep their second "*").
  if (starts_with(line, "*")) {
    if (!r.closed) r.record.nodes[r.current].comments.emplace_back(line.substr(1));
    return SHARED_READ;
  }
  if (trimmed.empty() || starts_with(line, "#") || starts_with(line, "&")) return SHARED_READ;
  if (!starts_with(trimmed, "変化：")) return NOT_SHARED;
  // A variation: move N of the line read last is replaced by the moves that follow.
  std::string_view rest = trim_kif_blanks(trimmed.substr(std::strlen("変化：")));
  const long n = read_number(rest);
  if (r.foul_line) result = kif_refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
  else if (n < 1) result = kif_refusal(KIF_BAD_RECORD, number, "a variation without its move number");
  else if (!r.branch(n))
    result = kif_refusal(KIF_BAD_RECORD, number, "a variation at move " + std::to_string(n) + " with no line to branch from");
  else return SHARED_READ;
  return SHARED_REFUSED;
}

std::vector<std::string> kif_header_lines(const GameRecord& record) {
  std::vector<std::string> lines;
  bool start_written = false;
  const auto write_start = [&] {
    if (start_written) return;
    start_written = true;
    if (const Handicap* h = handicap_of(record.start)) {
      lines.push_back(std::string("手合割：") + h->name);
    } else {
      for (const std::string& l : format_kif_diagram(record.start)) lines.push_back(l);
    }
  };
  for (const RecordHeader& h : record.headers) {
    if (player_field(h.key)) write_start();
    lines.push_back(h.key + "：" + (h.value.empty() && player_field(h.key) ? "--------" : h.value));
  }
  write_start();
  return lines;
}

}  // namespace halvane
