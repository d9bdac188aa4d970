// CSA text statement by statement: the header builds the start position from an empty board, the line
// giving the side to move starts the moves, and each move is held to the rules as in a KIF file.
#include "kif/csa_read.h"

#include <cstring>
#include <optional>

#include "core/legality.h"
#include "kif/csa_names.h"
#include "kif/kif_encoding.h"
#include "kif/kif_start.h"
#include "kif/record_builder.h"

namespace halvane {

namespace {

// How many pieces of each unpromoted kind a set holds.
constexpr int SET_COUNTS[8] = {18, 4, 4, 4, 4, 2, 2, 2};

bool digit19(char c) { return c >= '1' && c <= '9'; }

// The square "xy" (file, rank) as a board index; -1 when it is not a square.
int square_index(std::string_view xy) {
  if (xy.size() < 2 || !digit19(xy[0]) || !digit19(xy[1])) return -1;
  return (xy[1] - '1') * 9 + (9 - (xy[0] - '0'));
}

SfenPosition empty_position() {
  SfenPosition pos{};
  std::memset(pos.board, SQ_EMPTY, sizeof pos.board);
  pos.side_to_move = BLACK;
  pos.move_number = 1;
  return pos;
}

// "P1-KY-KE-GI-KI-OU-KI-GI-KE-KY": nine squares from file 9, " * " for an empty one (blanks collapsed
// by mail and web pages are forgiven).
std::string read_rank(std::string_view line, SfenPosition& pos) {
  const int row = line[1] - '1';
  std::string_view cells = line.substr(2);
  for (int col = 0; col < 9; ++col) {
    while (!cells.empty() && cells[0] == ' ') cells.remove_prefix(1);
    if (take(cells, "*")) {
      pos.board[row * 9 + col] = SQ_EMPTY;
      continue;
    }
    const int kind = cells.size() >= 3 && (cells[0] == '+' || cells[0] == '-') ? csa_piece_kind(cells.substr(1, 2)) : -1;
    if (kind < 0) return "a rank with an unreadable square";
    pos.board[row * 9 + col] = static_cast<uint8_t>(kind + (cells[0] == '-' ? GOTE_BIT : 0));
    cells.remove_prefix(3);
  }
  if (!trim_kif_blanks(cells).empty()) return "a rank with more than nine squares";
  return {};
}

// "P+63KI00FU00AL": pieces of one side placed on squares or ("00") in hand; "00AL" gives the side every
// piece of the set not yet placed (kings apart).
std::string read_placements(std::string_view line, SfenPosition& pos) {
  const int side = line[1] == '-' ? WHITE : BLACK;
  for (std::string_view units = line.substr(2); !units.empty(); units.remove_prefix(4)) {
    if (units.size() < 4) return "a placement that is not four letters";
    if (units.substr(0, 4) == "00AL") {
      int left[8];
      std::memcpy(left, SET_COUNTS, sizeof left);
      for (int i = 0; i < 81; ++i)
        if (is_piece(pos.board[i])) --left[hand_kind(pos.board[i])];
      for (int kind = PAWN; kind <= ROOK; ++kind) {
        left[kind] -= pos.hand[BLACK][kind] + pos.hand[WHITE][kind];
        if (left[kind] > 0) pos.hand[side][kind] = static_cast<uint8_t>(pos.hand[side][kind] + left[kind]);
      }
      continue;
    }
    const int kind = csa_piece_kind(units.substr(2, 2));
    if (kind < 0) return "a placement with an unknown piece";
    if (units.substr(0, 2) == "00") {
      if (kind > ROOK) return "a piece in hand that cannot be held";
      if (pos.hand[side][kind] < SET_COUNTS[kind]) ++pos.hand[side][kind];
      continue;
    }
    const int square = square_index(units);
    if (square < 0) return "a placement on no square";
    pos.board[square] = static_cast<uint8_t>(kind + (side == WHITE ? GOTE_BIT : 0));
  }
  return {};
}

// "PI82HI22KA": the initial position with the pieces on the squares named taken off.
std::string read_handicap(std::string_view line, SfenPosition& pos) {
  std::string error;
  parse_sfen(HANDICAPS[0].sfen, pos, error);
  for (std::string_view units = line.substr(2); !units.empty(); units.remove_prefix(4)) {
    const int square = units.size() >= 4 ? square_index(units) : -1;
    if (square < 0 || !is_piece(pos.board[square]) || kind_of(pos.board[square]) != csa_piece_kind(units.substr(2, 2)))
      return "a piece taken off that is not on its square";
    pos.board[square] = SQ_EMPTY;
  }
  return {};
}

// "+7776FU", "-0055KA": the mover's sign, origin ("00" for a drop), destination and the piece after the move.
std::string read_move(std::string_view text, const SfenPosition& pos, MoveRecord& move) {
  if ((text[0] == '+') != (pos.side_to_move == BLACK)) return "a move of the side not to move";
  const int to = square_index(text.substr(3));
  const int kind = csa_piece_kind(text.substr(5, 2));
  if (to < 0 || kind < 0) return "an unreadable move";
  move = MoveRecord{};
  move.to_col = to % 9, move.to_row = to / 9;
  const int own = pos.side_to_move == WHITE ? GOTE_BIT : 0;
  if (text.substr(1, 2) == "00") {
    if (kind > ROOK || kind == KING) return "drop of a piece that cannot be dropped";
    move.piece = move.piece_after = kind + own;
    return {};
  }
  const int from = square_index(text.substr(1));
  if (from < 0) return "an unreadable move";
  move.from_col = from % 9, move.from_row = from / 9;
  move.piece = move.piece_after = pos.board[from];
  if (!is_piece(move.piece) || kind_of(move.piece) == kind) return {};
  if (kind_of(move.piece) + PROMOTED_BIT != kind) return "the piece named is neither the one on the origin square nor its promotion";
  move.piece_after = move.piece + PROMOTED_BIT;
  return {};
}

bool move_statement(std::string_view s) {
  if (s.size() < 7 || (s[0] != '+' && s[0] != '-')) return false;
  for (int i = 1; i < 5; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

constexpr int UNREADABLE = -2;

// Seconds, with a fraction in V3.0 ("T12", "T0.125"), in milliseconds; UNREADABLE, or NO_TIME when longer
// than a record keeps.
int read_seconds(std::string_view text) {
  const long whole = read_number(text);
  if (whole < 0) return UNREADABLE;
  if (whole >= KIF_MINUTES_LIMIT * 60L) return NO_TIME;
  int ms = static_cast<int>(whole) * 1000;
  if (take(text, ".")) {
    for (int scale = 100; scale > 0 && !text.empty() && text[0] >= '0' && text[0] <= '9'; scale /= 10) {
      ms += (text[0] - '0') * scale;
      text.remove_prefix(1);
    }
  }
  return ms;
}

struct Reader {
  explicit Reader(GameRecord& r) : record(r) {}

  GameRecord& record;
  SfenPosition start = empty_position();
  bool position_given = false;
  std::optional<RecordBuilder> moves;   // once the side to move is read
  long totals[2] = {0, 0};              // each side's time used so far, in milliseconds
  int line = 0;                         // the line being read
  int error_line = 0;                   // where the statement refused went wrong

  // One statement; empty when it was read, else why not (`error_line` set).
  std::string statement(std::string_view s, bool& stop) {
    error_line = line;
    if (s.empty() || starts_with(s, "V")) return {};
    if (s == "/") {
      stop = true;   // the next game of the file begins
      return {};
    }
    if (starts_with(s, "N+") || starts_with(s, "N-")) {
      record.headers.push_back({s[1] == '+' ? "先手" : "後手", std::string(s.substr(2))});
      return {};
    }
    if (starts_with(s, "$")) {
      const size_t colon = s.find(':');
      if (colon == std::string_view::npos) return "a field without its \":\"";
      if (!csa_field_key(s.substr(1, colon - 1))) return {};   // no CSA name: a remark
      const std::string_view key = s.substr(1, colon - 1);
      record.headers.push_back({csa_field_to_kif(key), csa_value_to_kif(key, s.substr(colon + 1))});
      return {};
    }
    if (!moves) return header_statement(s);
    if (move_statement(s)) return play(s);
    if (starts_with(s, "%")) return end(s.substr(1));
    if (starts_with(s, "T")) return time(s.substr(1));
    return "not a move, time or end";
  }

  std::string header_statement(std::string_view s) {
    if (s == "+" || s == "-") {
      if (!position_given) start = startpos();
      start.side_to_move = s == "+" ? BLACK : WHITE;
      if (const char* fault = position_fault(start)) return std::string("impossible start position: ") + fault;
      record.start = start;
      moves.emplace(record);
      return {};
    }
    if (starts_with(s, "PI")) {
      position_given = true;
      return read_handicap(s, start);
    }
    if (s.size() >= 2 && s[0] == 'P' && digit19(s[1])) {
      position_given = true;
      return read_rank(s, start);
    }
    if (starts_with(s, "P+") || starts_with(s, "P-")) {
      position_given = true;
      return read_placements(s, start);
    }
    return "not a line of the header";
  }

  // A move that broke a rule may only be followed by the end that tells the foul.
  std::string pending_foul() {
    error_line = moves->foul_line;
    return moves->foul_reason;
  }

  std::string play(std::string_view s) {
    if (moves->closed) return {};
    if (moves->foul_line) return pending_foul();
    const std::string number = "move " + std::to_string(record.nodes[moves->current].ply + 1) + ": ";
    MoveRecord move;
    if (std::string problem = read_move(s, moves->pos, move); !problem.empty()) return number + problem;
    if (std::string problem = moves->play(move, line); !problem.empty()) return number + problem;
    return {};
  }

  std::string end(std::string_view word) {
    if (moves->closed) return {};
    const GameEnd end = csa_end_of(trim_kif_blanks(word), moves->pos.side_to_move);
    if (end == GAME_END_NONE) return "an unknown end word";
    if (moves->foul_line && end != GAME_END_FOUL_WIN) return pending_foul();
    moves->close(end);
    return {};
  }

  std::string time(std::string_view text) {
    const int ms = read_seconds(text);
    if (ms == UNREADABLE) return "an unreadable time";
    RecordNode& node = record.nodes[moves->current];
    if (ms == NO_TIME) return {};
    if (moves->closed) {
      node.end_time_ms = ms;
    } else if (moves->current > 0) {
      const int mover = moves->pos.side_to_move ^ 1;
      totals[mover] += ms;
      node.time_ms = ms;
      node.total_ms = totals[mover] <= KIF_HOURS_LIMIT * 3600000L ? static_cast<int>(totals[mover]) : NO_TIME;
    }
    return {};
  }
};

}  // namespace

KifReadResult read_csa(std::string_view bytes, GameRecord& out) {
  out = GameRecord{};
  if (detect_kif_encoding(bytes) == KIF_NOT_TEXT) return kif_refusal(KIF_NOT_A_RECORD, 0, "not text in CP932 or UTF-8");
  // The encoding line CSA V3.0 puts first (a remark to older readers) decides; else the bytes do.
  const std::string text = starts_with(bytes, "'CSA encoding=SHIFT_JIS") ? cp932_to_utf8(bytes) : kif_to_utf8(bytes);
  LineReader lines{text};
  lines.limit = KIF_LINE_LIMIT + 1;   // "'*" is a byte longer than KIF's "*": a comment as long as KIF's fits
  GameRecord record;
  Reader r(record);
  std::string_view line;
  bool stop = false;
  while (!stop && lines.next(line)) {
    r.line = lines.number;
    // 1. Comments: "'*" ones are kept on the position just reached, others are remarks.
    if (starts_with(line, "'")) {
      if (starts_with(line, "'*")) record.nodes[r.moves ? r.moves->current : 0].comments.emplace_back(line.substr(2));
      continue;
    }
    // 2. The statements of the line; a name or field takes the whole line, commas included.
    for (std::string_view rest = line;;) {
      const bool whole = starts_with(rest, "N") || starts_with(rest, "$");
      const size_t comma = whole ? std::string_view::npos : rest.find(',');
      const std::string problem = r.statement(trim_kif_blanks(rest.substr(0, comma)), stop);
      if (!problem.empty()) return kif_refusal(KIF_BAD_RECORD, r.error_line, problem);
      if (comma == std::string_view::npos || stop) break;
      rest.remove_prefix(comma + 1);
    }
  }
  if (!r.moves) return kif_refusal(KIF_NOT_A_RECORD, 0, "no line giving the side to move (\"+\" or \"-\")");
  if (r.moves->foul_line) return kif_refusal(KIF_BAD_RECORD, r.moves->foul_line, r.moves->foul_reason);
  out = std::move(record);
  return {};
}

}  // namespace halvane
