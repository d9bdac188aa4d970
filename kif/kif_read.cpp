// The KIF reader: the header up to the line that heads the moves (fields, 手合割, board diagram, comments),
// then one line after another: move lines that grow the current line of the tree, "*" comments on the
// position just reached, end words that close a line, and "変化：N手" lines that start a variation at move
// N of the line read last. The text is read as UTF-8, whatever the file's encoding.
#include "kif/kif_read.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/legality.h"
#include "kif/kif_encoding.h"
#include "kif/kif_start.h"
#include "kif/kif_text.h"

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

// The piece names of move lines, longest spellings first so that 成銀 is never read as 成.
struct MoveName {
  const char* text;
  int kind;
};
constexpr MoveName MOVE_NAMES[] = {
    {"成香", PRO_LANCE}, {"成桂", PRO_KNIGHT}, {"成銀", PRO_SILVER}, {"歩", PAWN}, {"香", LANCE},
    {"桂", KNIGHT},      {"銀", SILVER},       {"金", GOLD},         {"角", BISHOP}, {"飛", ROOK},
    {"玉", KING},        {"王", KING},         {"と", PRO_PAWN},     {"杏", PRO_LANCE}, {"圭", PRO_KNIGHT},
    {"全", PRO_SILVER},  {"馬", HORSE},        {"龍", DRAGON},       {"竜", DRAGON},
};
// Words a move may carry after its piece: promotion, drop, and KI2's words that tell two pieces apart
// (the origin in brackets already does that here).
constexpr const char* PROMOTE = "成";
constexpr const char* NO_PROMOTE[] = {"不成", "生"};
constexpr const char* DROP = "打";
constexpr const char* WHICH_PIECE[] = {"右", "左", "上", "引", "寄", "直", "行", "入"};

// Hands out the text line by line: LF or CR LF ends a line, the last line needs no end, and only the
// first KIF_LINE_LIMIT bytes of a line are kept (cut at a character's start).
struct LineReader {
  std::string_view text;
  size_t pos = 0;
  int number = 0;

  bool next(std::string_view& line) {
    if (pos >= text.size()) return false;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    line = text.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > static_cast<size_t>(KIF_LINE_LIMIT)) {
      size_t cut = KIF_LINE_LIMIT;
      while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
      line = line.substr(0, cut);
    }
    return true;
  }
};

bool take(std::string_view& text, std::string_view word) {
  if (!starts_with(text, word)) return false;
  text.remove_prefix(word.size());
  return true;
}

// A leading decimal number (at most 9 digits); -1 when none stands there.
long read_number(std::string_view& text) {
  long value = 0;
  size_t n = 0;
  while (n < text.size() && n < 10 && text[n] >= '0' && text[n] <= '9') value = value * 10 + (text[n++] - '0');
  if (n == 0 || n == 10) return -1;
  text.remove_prefix(n);
  return value;
}

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
  if (m < 0 || s < 0 || h < 0 || hm < 0 || hs < 0 || m > 35000 || h > 500) return;
  const int move_ms = (m * 60 + s) * 1000;
  if (end_word) {
    node.end_time_ms = move_ms;
    return;
  }
  node.time_ms = move_ms;
  node.total_ms = ((h * 60 + hm) * 60 + hs) * 1000;
}

struct Reader {
  GameRecord& record;
  int current = 0;          // the node the next move follows
  SfenPosition pos;         // the position at `current`
  bool closed = false;      // the current line ended with an end word: its further moves are not read
  int foul_line = 0;        // a move that broke a rule waits for 反則勝ち; its line and reason
  std::string foul_reason;

  // Plays the move text (after the move number) on the current line; an empty string when it was read.
  std::string play(std::string_view text, int line) {
    MoveRecord move;
    // 1. The destination: a square, or 同 (the previous move's destination) with any blanks after it.
    if (take(text, "同")) {
      if (current == 0) return "\"same square\" with no previous move";
      move.to_col = record.nodes[current].move.to_col;
      move.to_row = record.nodes[current].move.to_row;
      for (;;)
        if (!take(text, WIDE_BLANK) && !take(text, " ")) break;
    } else {
      int file = -1, rank = -1;
      for (int d = 1; d <= 9; ++d)
        if (starts_with(text, WIDE_DIGITS[d]) || (text.size() > 0 && text[0] == '0' + d)) file = d;
      if (file < 0) return "no destination square";
      text.remove_prefix(starts_with(text, WIDE_DIGITS[file]) ? 3 : 1);
      for (int d = 1; d <= 9; ++d)
        if (starts_with(text, KANJI_DIGITS[d]) || starts_with(text, WIDE_DIGITS[d])) rank = d;
      if (rank < 0) return "no destination square";
      text.remove_prefix(3);
      move.to_col = 9 - file;
      move.to_row = rank - 1;
    }
    // 2. The piece named, then its words.
    int named = -1;
    for (const MoveName& n : MOVE_NAMES)
      if (take(text, n.text)) {
        named = n.kind;
        break;
      }
    if (named < 0) return "no piece named";
    bool promote = false, drop = false;
    for (bool more = true; more;) {
      more = false;
      for (const char* w : NO_PROMOTE) more |= take(text, w);
      if (take(text, PROMOTE)) more = promote = true;
      if (take(text, DROP)) more = drop = true;
      for (const char* w : WHICH_PIECE) more |= take(text, w);
    }
    // 3. The origin in brackets, or a drop.
    const int side = pos.side_to_move;
    const int own = side == WHITE ? GOTE_BIT : 0;
    if (drop) {
      if (named > ROOK || named == KING) return "drop of a piece that cannot be dropped";
      move.piece = move.piece_after = named + own;
    } else {
      if (text.size() < 4 || text[0] != '(' || text[3] != ')' || text[1] < '1' || text[1] > '9' || text[2] < '1' ||
          text[2] > '9')
        return text.empty() || text[0] != '(' ? "no origin square" : "origin square is not two digits 1 to 9";
      move.from_col = 9 - (text[1] - '0');
      move.from_row = text[2] - '1';
      text.remove_prefix(4);
      move.piece = pos.board[move.from_row * 9 + move.from_col];
      if (is_piece(move.piece) && kind_of(move.piece) != named) return "the piece named is not on the origin square";
      move.piece_after = promote ? move.piece + PROMOTED_BIT : move.piece;
    }
    move.captured = pos.board[move.to_row * 9 + move.to_col];
    // 4. The rules. A move that breaks one is kept only as a line's last move before 反則勝ち.
    const MoveVerdict verdict = judge_move(pos, move);
    if (verdict == MOVE_NO_PIECE || verdict == MOVE_ONTO_OWN_PIECE) return verdict_text(verdict);
    if (verdict != MOVE_OK) {
      foul_line = line;
      foul_reason = verdict_text(verdict);
    }
    current = add_move(record, current, move);
    apply_move(pos, move);
    read_times(text, record.nodes[current], false);
    return {};
  }
};

KifReadResult refusal(KifReadStatus status, int line, const std::string& message) {
  return {status, line, line > 0 ? "line " + std::to_string(line) + ": " + message : message};
}

// The header: fields "key：value", the 手合割 line, a board diagram, comments on the start. Stops after
// the line that heads the moves; false when there is none.
bool read_header(LineReader& lines, GameRecord& record, KifReadResult& result) {
  std::vector<std::string_view> diagram;
  std::string_view line;
  bool diagram_seen = false;
  const Handicap* handicap = nullptr;
  while (lines.next(line)) {
    if (starts_with(line, "手数")) {
      std::string error;
      if (diagram_seen && !parse_kif_diagram(diagram, record.start, error)) {
        result = refusal(KIF_BAD_RECORD, lines.number, error);
        return false;
      }
      if (!diagram_seen && handicap) parse_sfen(handicap->sfen, record.start, error);
      return true;
    }
    if (starts_with(line, "#")) continue;
    if (starts_with(line, "*")) {
      record.nodes[0].comments.emplace_back(line.substr(1));
      continue;
    }
    const bool diagram_line = starts_with(line, "|") || starts_with(line, "+-") || starts_with(line, "  ９") ||
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
        result = refusal(KIF_BAD_RECORD, lines.number, "unknown handicap \"" + std::string(value) + "\"");
        return false;
      }
      continue;
    }
    // A player's field of dashes names no one: the writer writes an empty one so.
    const bool no_one = (key == "先手" || key == "後手" || key == "上手" || key == "下手") &&
                        value.find_first_not_of('-') == std::string_view::npos;
    record.headers.push_back({key, no_one ? std::string() : std::string(value)});
  }
  result = refusal(KIF_NOT_A_RECORD, 0, "no line heading the moves");
  return false;
}

}  // namespace

KifReadResult read_kif(std::string_view bytes, GameRecord& out) {
  out = GameRecord{};
  if (detect_kif_encoding(bytes) == KIF_NOT_TEXT) return refusal(KIF_NOT_A_RECORD, 0, "not text in CP932 or UTF-8");
  const std::string text = kif_to_utf8(bytes);
  LineReader lines{text};
  GameRecord record;
  KifReadResult result;
  if (!read_header(lines, record, result)) return result;
  if (const char* fault = position_fault(record.start))
    return refusal(KIF_BAD_RECORD, lines.number, std::string("impossible start position: ") + fault);

  Reader r{record, 0, record.start, false, 0, {}};
  std::string_view line;
  while (lines.next(line)) {
    const std::string_view trimmed = trim_kif_blanks(line);
    // 1. Comments on the position just reached ("**" engine lines keep their second "*"); bookmarks and
    //    remarks are not kept, nor the summary line, which the writer makes anew.
    if (starts_with(line, "*")) {
      if (!r.closed) record.nodes[r.current].comments.emplace_back(line.substr(1));
      continue;
    }
    if (trimmed.empty() || starts_with(line, "#") || starts_with(line, "&") || starts_with(trimmed, "まで")) continue;
    // 2. A variation: move N of the line read last is replaced by the moves that follow.
    if (starts_with(line, "変化：")) {
      if (r.foul_line) return refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
      std::string_view rest = trim_kif_blanks(line.substr(std::strlen("変化：")));
      const long n = read_number(rest);
      if (n < 1) return refusal(KIF_BAD_RECORD, lines.number, "a variation without its move number");
      int k = r.current;
      while (k > 0 && record.nodes[k].ply > n - 1) k = record.nodes[k].parent;
      if (record.nodes[k].ply != n - 1)
        return refusal(KIF_BAD_RECORD, lines.number, "a variation at move " + std::to_string(n) + " with no line to branch from");
      r.current = k;
      r.pos = position_at(record, k);
      r.closed = false;
      continue;
    }
    // 3. A move line: its number, then a move or an end word.
    std::string_view rest = trimmed;
    const long number = read_number(rest);
    if (number < 0) return refusal(KIF_BAD_RECORD, lines.number, "not a move line");
    rest = trim_kif_blanks(rest);
    if (r.closed) continue;
    const EndWord* end = nullptr;
    for (const EndWord& w : END_WORDS)
      if (starts_with(rest, w.text)) end = &w;
    if (r.foul_line && !(end && end->end == GAME_END_FOUL_WIN)) return refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
    if (end) {
      record.nodes[r.current].end = end->end;
      read_times(rest, record.nodes[r.current], true);
      r.closed = true;
      r.foul_line = 0;
      continue;
    }
    const int expected = record.nodes[r.current].ply + 1;
    if (number != expected)
      return refusal(KIF_BAD_RECORD, lines.number,
                     "move number " + std::to_string(number) + " where " + std::to_string(expected) + " was expected");
    const std::string problem = r.play(rest, lines.number);
    if (!problem.empty()) return refusal(KIF_BAD_RECORD, lines.number, "move " + std::to_string(expected) + ": " + problem);
  }
  if (r.foul_line) return refusal(KIF_BAD_RECORD, r.foul_line, r.foul_reason);
  out = std::move(record);
  return {};
}

}  // namespace halvane
