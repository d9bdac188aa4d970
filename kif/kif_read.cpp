// The KIF reader: skips the header up to the "手数" line, refusing handicaps and board diagrams, then
// replays one move line after another onto a position until an end word, a variation or the end of the
// file. Every move is checked against the position so that no file can yield an impossible one.
#include "kif/kif_read.h"

#include <cstring>

#include "core/sfen.h"
#include "kif/kif_encoding.h"
#include "kif/kif_names.h"

namespace halvane {

namespace {

// CP932 texts the reader looks for.
constexpr std::string_view MOVES_HEADING = "\x8e\xe8\x90\x94";                   // 手数
constexpr std::string_view HANDICAP_LABEL = "\x8e\xe8\x8d\x87\x8a\x84\x81\x46";  // 手合割：
constexpr std::string_view EVEN_GAME = "\x95\xbd\x8e\xe8";                       // 平手
constexpr std::string_view VARIATION = "\x95\xcf\x89\xbb\x81\x46";               // 変化：
constexpr std::string_view SUMMARY = "\x82\xdc\x82\xc5";                         // まで
constexpr std::string_view WIDE_BLANK = "\x81\x40";                              // 　
constexpr std::string_view SAME = "\x93\xaf";                                    // 同
constexpr std::string_view PROMOTE = "\x90\xac";                                 // 成
constexpr std::string_view DROP = "\x91\xc5";                                    // 打

constexpr std::string_view RESIGNATION = "\x93\x8a\x97\xb9";   // 投了
constexpr std::string_view MATE = "\x8b\x6c\x82\xdd";          // 詰み
constexpr std::string_view FOUL = "\x94\xbd\x91\xa5\x95\x89\x82\xaf";   // 反則負け

// Words that end the main line in place of a move.
constexpr std::string_view END_WORDS[] = {
    RESIGNATION,
    "\x92\x86\x92\x66",                  // 中断
    MATE,
    "\x90\xe7\x93\xfa\x8e\xe8",          // 千日手
    "\x8e\x9d\x8f\xab\x8a\xfb",          // 持将棋
    "\x90\xd8\x82\xea\x95\x89\x82\xaf",  // 切れ負け
    "\x94\xbd\x91\xa5\x8f\x9f\x82\xbf",  // 反則勝ち
    FOUL,
    "\x93\xfc\x8b\xca\x8f\x9f\x82\xbf",  // 入玉勝ち
    "\x95\x73\x90\xed\x8f\x9f",          // 不戦勝
    "\x95\x73\x90\xed\x94\x73",          // 不戦敗
    "\x95\x95\x82\xb6\x8e\xe8",          // 封じ手
    "\x95\x73\x8b\x6c",                  // 不詰
};

bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
// The bytes of s from pos on (at most n), empty when s is shorter.
std::string_view part(std::string_view s, size_t pos, size_t n) { return pos <= s.size() ? s.substr(pos, n) : std::string_view(); }

// A CP932 lead byte: the character is two bytes long.
bool lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Whether the two-byte character occurs in s, stepping character by character so that a trail byte and
// the next lead byte are never taken for one character.
bool contains_wide(std::string_view s, std::string_view wide) {
  for (size_t i = 0; i < s.size();) {
    if (lead_byte(s[i]) && i + 1 < s.size()) {
      if (s.substr(i, 2) == wide) return true;
      i += 2;
    } else {
      i += 1;
    }
  }
  return false;
}

// Drops leading or trailing ASCII blanks, tabs and full-width blanks.
std::string_view trim_blanks(std::string_view s) {
  for (;;) {
    if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    else if (starts_with(s, WIDE_BLANK)) s.remove_prefix(2);
    else break;
  }
  for (;;) {
    if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    else if (s.size() >= 2 && s.substr(s.size() - 2) == WIDE_BLANK) s.remove_suffix(2);
    else break;
  }
  return s;
}

// Hands out the text line by line: LF or CR LF ends a line, the last line needs no end, and only the
// first KIF_LINE_LIMIT bytes of a line are kept.
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
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > static_cast<size_t>(KIF_LINE_LIMIT)) line = line.substr(0, KIF_LINE_LIMIT);
    return true;
  }
};

struct Replay {
  SfenPosition pos = startpos();
  int last_col = -1, last_row = -1;   // the previous move's destination, for "同　"
};

// Index of the square named at the start of `text`, SQUARE_SAME for "同" (followed by any blanks), or -1;
// `rest` receives the text after the name.
int square_at(std::string_view text, std::string_view& rest) {
  if (starts_with(text, SAME)) {
    text.remove_prefix(SAME.size());
    for (;;) {
      if (starts_with(text, WIDE_BLANK)) text.remove_prefix(2);
      else if (starts_with(text, " ")) text.remove_prefix(1);
      else break;
    }
    rest = text;
    return SQUARE_SAME;
  }
  for (int i = 0; i < 81; ++i)
    if (starts_with(text, KIF_SQUARE_NAMES[i])) {
      rest = text.substr(4);
      return i;
    }
  return -1;
}

// Reads one move line for the side to move and plays it on the position. Returns an empty string when
// the move was played (and is in `move`), else what is wrong with it.
std::string play_line(Replay& r, std::string_view line, std::string_view move_text, MoveRecord& move) {
  const uint8_t* board = r.pos.board;
  const int side = r.pos.side_to_move;   // sente makes the odd moves, with the plain codes
  const int own = side == WHITE ? GOTE_BIT : 0;
  const uint8_t* hand = r.pos.hand[side];

  std::string_view after_square;
  int index = square_at(move_text, after_square);
  if (index < 0) return "no destination square";
  int to_col, to_row;
  if (index == SQUARE_SAME) {
    if (r.last_col < 0) return "\"same square\" with no previous move";
    to_col = r.last_col;
    to_row = r.last_row;
  } else {
    to_col = index % 9;
    to_row = index / 9;
  }
  const int target = board[to_row * 9 + to_col];
  move = MoveRecord{};
  move.to_col = to_col;
  move.to_row = to_row;

  if (contains_wide(line, DROP)) {
    // The highest kind whose name begins with the two bytes after the square.
    int kind = -1;
    const std::string_view name = after_square.substr(0, 2);
    for (int j = 0; j < 16; ++j)
      if (name.size() == 2 && std::strncmp(KIF_PIECE_NAMES[j], name.data(), 2) == 0) kind = j;
    if (kind < 0) return "drop of an unknown piece";
    if (kind > ROOK) return "drop of a piece that cannot be dropped";
    if (hand[kind] <= 0) return "drop of a piece not in hand";
    if (target != SQ_EMPTY) return "drop onto an occupied square";
    move.piece = move.piece_after = kind + own;
  } else {
    const size_t open = line.find('(');
    if (open == std::string_view::npos) return "no origin square";
    const std::string_view digits = part(line, open + 1, 2);
    if (digits.size() < 2 || digits[0] < '1' || digits[0] > '9' || digits[1] < '1' || digits[1] > '9')
      return "origin square is not two digits 1 to 9";
    const int from_col = 9 - (digits[0] - '0'), from_row = digits[1] - '1';
    const int origin = board[from_row * 9 + from_col];
    if (!is_piece(origin) || side_of(origin) != side) return "origin holds none of the mover's pieces";
    if (is_piece(target) && side_of(target) == side) return "destination holds the mover's own piece";
    int code = origin;
    if (part(after_square, 2, 2) == PROMOTE) {
      if (!can_promote(code)) return "promotion of a piece that cannot promote";
      code += PROMOTED_BIT;
    }
    move.from_col = from_col;
    move.from_row = from_row;
    move.piece = origin;
    move.piece_after = code;
    move.captured = target;
  }
  apply_move(r.pos, move);
  r.last_col = to_col;
  r.last_row = to_row;
  return {};
}

KifReadResult refusal(KifReadStatus status, int line, const std::string& message) {
  return {status, line, line > 0 ? "line " + std::to_string(line) + ": " + message : message};
}

}  // namespace

KifReadResult read_kif(std::string_view bytes, GameRecord& record) {
  record.move_count = 0;
  record.end = GAME_END_NONE;
  if (detect_kif_encoding(bytes) == KIF_NOT_TEXT) return refusal(KIF_NOT_A_RECORD, 0, "not text in CP932 or UTF-8");
  const std::string text = kif_to_cp932(bytes);
  LineReader lines{text};
  std::string_view line;

  // The header, up to the line that heads the moves. A handicap or a board diagram would need a start
  // position this record cannot hold.
  bool heading_found = false;
  while (lines.next(line)) {
    if (starts_with(line, MOVES_HEADING)) {
      heading_found = true;
      break;
    }
    if (starts_with(line, HANDICAP_LABEL) && trim_blanks(line.substr(HANDICAP_LABEL.size())) != EVEN_GAME)
      return refusal(KIF_BAD_RECORD, lines.number, "handicap games cannot be loaded");
    if (starts_with(line, "|") || starts_with(line, "+-"))
      return refusal(KIF_BAD_RECORD, lines.number, "records starting from a board diagram cannot be loaded");
  }
  if (!heading_found) return refusal(KIF_NOT_A_RECORD, 0, "no line heading the moves");

  Replay replay;
  int count = 0;
  while (count < KIF_MOVE_LIMIT && lines.next(line)) {
    // Comments, bookmarks and blank lines.
    if (starts_with(line, "#") || starts_with(line, "*") || starts_with(line, "&")) continue;
    if (trim_blanks(line).empty()) continue;
    // The variations after the main line are not read.
    if (starts_with(line, VARIATION)) break;

    size_t run = 0;
    while (run < line.size() && (line[run] == ' ' || (line[run] >= '0' && line[run] <= '9'))) ++run;
    if (run >= 10) {
      record.move_count = 0;
      return refusal(KIF_BAD_RECORD, lines.number, "move number too long");
    }
    const std::string_view move_text = line.substr(run);

    if (starts_with(move_text, SUMMARY)) break;
    bool ended = false;
    for (std::string_view word : END_WORDS) ended |= starts_with(move_text, word);
    if (ended) {
      if (starts_with(move_text, RESIGNATION)) record.end = GAME_END_RESIGNED;
      if (starts_with(move_text, MATE)) record.end = GAME_END_MATED;
      if (starts_with(move_text, FOUL)) record.end = GAME_END_FOUL;
      break;
    }

    const std::string problem = play_line(replay, line, move_text, record.moves[count]);
    if (!problem.empty()) {
      record.move_count = 0;
      return refusal(KIF_BAD_RECORD, lines.number, "move " + std::to_string(count + 1) + ": " + problem);
    }
    record.move_count = ++count;
  }
  return {};
}

}  // namespace halvane
