// SFEN reading and writing, USI move text, and the turn between a game position and the engine's view.
#include "core/sfen.h"

#include <cstring>
#include <utility>

#include "core/initial_position.h"
#include "core/position.h"
#include "core/promotion.h"
#include "core/rotation.h"

namespace halvane {

namespace {

constexpr char KIND_LETTERS[8] = {'P', 'L', 'N', 'S', 'G', 'B', 'R', 'K'};
// How many pieces of each kind a game has in all; a position with more is not a shogi position.
constexpr int KIND_TOTAL[8] = {18, 4, 4, 4, 4, 2, 2, 2};

int kind_from_letter(char upper) {
  for (int k = 0; k < 8; ++k)
    if (KIND_LETTERS[k] == upper) return k;
  return -1;
}

char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_lower(char c) { return c >= 'a' && c <= 'z'; }

bool parse_board(std::string_view field, SfenPosition& pos, std::string& error) {
  int row = 0, col = 0;
  bool promoted = false;
  for (char c : field) {
    if (c == '/') {
      if (promoted || col != 9) { error = "rank " + std::to_string(row + 1) + " does not have 9 squares"; return false; }
      if (++row > 8) { error = "more than 9 ranks"; return false; }
      col = 0;
    } else if (c >= '1' && c <= '9') {
      if (promoted) { error = "'+' before a digit"; return false; }
      col += c - '0';
      if (col > 9) { error = "rank " + std::to_string(row + 1) + " has more than 9 squares"; return false; }
    } else if (c == '+') {
      if (promoted) { error = "two '+' in a row"; return false; }
      promoted = true;
    } else {
      int kind = kind_from_letter(to_upper(c));
      if (kind < 0) { error = std::string("unknown piece letter '") + c + "'"; return false; }
      if (col >= 9) { error = "rank " + std::to_string(row + 1) + " has more than 9 squares"; return false; }
      if (promoted && !can_promote(kind)) { error = std::string("piece '") + c + "' cannot be promoted"; return false; }
      int code = kind + (promoted ? PROMOTED_BIT : 0) + (is_lower(c) ? GOTE_BIT : 0);
      pos.board[row * 9 + col] = static_cast<uint8_t>(code);
      ++col;
      promoted = false;
    }
  }
  if (row != 8 || col != 9 || promoted) { error = "the board does not have 9 ranks of 9 squares"; return false; }
  return true;
}

// Hand counts add up per side and kind ("P2P" is three pawns); no hand may hold more of a kind than the
// set has, which also keeps every count within its byte.
bool parse_hands(std::string_view field, SfenPosition& pos, std::string& error) {
  if (field == "-") return true;
  int count = 0;
  bool have_count = false;
  for (char c : field) {
    if (c >= '0' && c <= '9') {
      count = count * 10 + (c - '0');
      have_count = true;
      if (count > KIND_TOTAL[PAWN]) { error = "hand count above 18, more than the set has of any kind"; return false; }
      continue;
    }
    int kind = kind_from_letter(to_upper(c));
    if (kind < 0 || kind == KING) { error = std::string("unknown piece in hand '") + c + "'"; return false; }
    if (have_count && count == 0) { error = "hand count 0"; return false; }
    int side = is_lower(c) ? WHITE : BLACK;
    const int held = pos.hand[side][kind] + (have_count ? count : 1);
    if (held > KIND_TOTAL[kind]) {
      error = std::string(side == BLACK ? "black" : "white") + "'s hand holds " + std::to_string(held) + " '" +
              KIND_LETTERS[kind] + "', the set has " + std::to_string(KIND_TOTAL[kind]);
      return false;
    }
    pos.hand[side][kind] = static_cast<uint8_t>(held);
    count = 0;
    have_count = false;
  }
  if (have_count) { error = "hand count without a piece"; return false; }
  return true;
}

bool check_totals(const SfenPosition& pos, std::string& error) {
  int total[8] = {};
  int kings[2] = {};
  for (int i = 0; i < 81; ++i) {
    int code = pos.board[i];
    if (code == SQ_EMPTY) continue;
    ++total[hand_kind(code)];
    if (kind_of(code) == KING) ++kings[side_of(code)];
  }
  for (int side = 0; side < 2; ++side)
    for (int k = 0; k < 8; ++k) total[k] += pos.hand[side][k];
  for (int k = 0; k < 8; ++k)
    if (total[k] > KIND_TOTAL[k]) {
      error = std::to_string(total[k]) + " pieces of kind '" + KIND_LETTERS[k] + "' on the board and in hand, the set has " +
              std::to_string(KIND_TOTAL[k]);
      return false;
    }
  if (kings[0] > 1 || kings[1] > 1) { error = "more than one king of a side"; return false; }
  return true;
}

}  // namespace

std::string_view next_word(std::string_view& text) {
  constexpr std::string_view SPACE = " \t\r";
  const size_t start = text.find_first_not_of(SPACE);
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  text.remove_prefix(start);
  const size_t end = text.find_first_of(SPACE);
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end);
  return word;
}

bool parse_sfen(std::string_view text, SfenPosition& out, std::string& error) {
  SfenPosition pos;
  std::memset(pos.board, SQ_EMPTY, sizeof pos.board);
  std::memset(pos.hand, 0, sizeof pos.hand);
  std::string_view rest = text;
  std::string_view board = next_word(rest), side = next_word(rest), hands = next_word(rest),
                   number = next_word(rest);
  if (board.empty() || side.empty() || hands.empty()) { error = "SFEN needs a board, a side and hands"; return false; }
  if (!next_word(rest).empty()) { error = "unexpected text after the SFEN"; return false; }
  if (!parse_board(board, pos, error)) return false;
  if (side == "b") pos.side_to_move = BLACK;
  else if (side == "w") pos.side_to_move = WHITE;
  else { error = "side to move must be 'b' or 'w'"; return false; }
  if (!parse_hands(hands, pos, error)) return false;
  pos.move_number = 1;
  if (!number.empty()) {
    long n = 0;
    for (char c : number) {
      if (c < '0' || c > '9' || n > 100000) { error = "bad move number"; return false; }
      n = n * 10 + (c - '0');
    }
    pos.move_number = n < 1 ? 1 : static_cast<int>(n);
  }
  if (!check_totals(pos, error)) return false;
  out = pos;
  return true;
}

std::string format_sfen(const SfenPosition& pos) {
  std::string s;
  for (int row = 0; row < 9; ++row) {
    int empty = 0;
    for (int col = 0; col < 9; ++col) {
      int code = pos.board[row * 9 + col];
      if (code == SQ_EMPTY) { ++empty; continue; }
      if (empty) { s += static_cast<char>('0' + empty); empty = 0; }
      if (code & PROMOTED_BIT) s += '+';
      char letter = KIND_LETTERS[code & 7];
      s += (code & GOTE_BIT) ? static_cast<char>(letter - 'A' + 'a') : letter;
    }
    if (empty) s += static_cast<char>('0' + empty);
    if (row < 8) s += '/';
  }
  s += pos.side_to_move == BLACK ? " b " : " w ";
  std::string hands;
  static constexpr int HAND_ORDER[7] = {ROOK, BISHOP, GOLD, SILVER, KNIGHT, LANCE, PAWN};
  for (int side = 0; side < 2; ++side)
    for (int kind : HAND_ORDER) {
      int n = pos.hand[side][kind];
      if (n == 0) continue;
      if (n > 1) hands += std::to_string(n);
      hands += side == BLACK ? KIND_LETTERS[kind] : static_cast<char>(KIND_LETTERS[kind] - 'A' + 'a');
    }
  s += hands.empty() ? "-" : hands;
  s += ' ';
  s += std::to_string(pos.move_number);
  return s;
}

SfenPosition startpos() {
  SfenPosition pos{};
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) pos.board[row * 9 + col] = static_cast<uint8_t>(INITIAL_POSITION[row][col]);
  pos.side_to_move = BLACK;
  pos.move_number = 1;
  return pos;
}

void rotate_position(SfenPosition& pos) {
  uint8_t board[81];
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col)
      board[row * 9 + col] = static_cast<uint8_t>(rotated_code(pos.board[rotated_line(row) * 9 + rotated_line(col)]));
  std::memcpy(pos.board, board, sizeof board);
  std::swap(pos.hand[BLACK], pos.hand[WHITE]);
  pos.side_to_move ^= 1;
}

MoveRecord rotate_move(const MoveRecord& m) {
  MoveRecord t = m;
  if (!m.is_drop()) {
    t.from_col = rotated_line(m.from_col);
    t.from_row = rotated_line(m.from_row);
  }
  t.to_col = rotated_line(m.to_col);
  t.to_row = rotated_line(m.to_row);
  t.piece = rotated_code(m.piece);
  t.piece_after = rotated_code(m.piece_after);
  t.captured = rotated_code(m.captured);
  return t;
}

std::string move_to_usi(const MoveRecord& m) {
  std::string s;
  if (m.is_drop()) {
    s += KIND_LETTERS[m.piece & 7];
    s += '*';
  } else {
    s += static_cast<char>('0' + 9 - m.from_col);
    s += static_cast<char>('a' + m.from_row);
  }
  s += static_cast<char>('0' + 9 - m.to_col);
  s += static_cast<char>('a' + m.to_row);
  if (!m.is_drop() && m.piece_after != m.piece) s += '+';
  return s;
}

bool parse_usi_move(std::string_view text, const SfenPosition& pos, MoveRecord& move, std::string& error) {
  auto square = [](char file, char rank, int& col, int& row) {
    if (file < '1' || file > '9' || rank < 'a' || rank > 'i') return false;
    col = 9 - (file - '0');
    row = rank - 'a';
    return true;
  };
  const int side = pos.side_to_move;
  const int own_bit = side == WHITE ? GOTE_BIT : 0;
  MoveRecord m;
  if (text.size() == 4 && text[1] == '*') {
    int kind = kind_from_letter(text[0]);
    if (kind < 0 || kind == KING) { error = "unknown piece to drop in '" + std::string(text) + "'"; return false; }
    if (!square(text[2], text[3], m.to_col, m.to_row)) { error = "bad square in '" + std::string(text) + "'"; return false; }
    if (pos.hand[side][kind] == 0) { error = "no such piece in hand for '" + std::string(text) + "'"; return false; }
    if (pos.board[m.to_row * 9 + m.to_col] != SQ_EMPTY) { error = "drop onto an occupied square: " + std::string(text); return false; }
    m.from_col = m.from_row = -1;
    m.piece = m.piece_after = kind + own_bit;
    m.captured = SQ_EMPTY;
    move = m;
    return true;
  }
  const bool promote = text.size() == 5 && text[4] == '+';
  if (!(text.size() == 4 || promote)) { error = "malformed move '" + std::string(text) + "'"; return false; }
  if (!square(text[0], text[1], m.from_col, m.from_row) || !square(text[2], text[3], m.to_col, m.to_row)) {
    error = "bad square in '" + std::string(text) + "'";
    return false;
  }
  m.piece = pos.board[m.from_row * 9 + m.from_col];
  m.captured = pos.board[m.to_row * 9 + m.to_col];
  if (m.piece == SQ_EMPTY || side_of(m.piece) != side) {
    error = "no piece of the side to move on the origin of '" + std::string(text) + "'";
    return false;
  }
  if (m.from_col == m.to_col && m.from_row == m.to_row) { error = "move does not move: " + std::string(text); return false; }
  if (m.captured != SQ_EMPTY && side_of(m.captured) == side) {
    error = "move onto an own piece: " + std::string(text);
    return false;
  }
  m.piece_after = m.piece;
  if (promote) {
    if (!can_promote(m.piece) || !promotion_allowed(side, m.from_row, m.to_row)) { error = "promotion not allowed: " + std::string(text); return false; }
    m.piece_after = m.piece + PROMOTED_BIT;
  }
  move = m;
  return true;
}

void apply_move(SfenPosition& pos, const MoveRecord& m) {
  const int side = pos.side_to_move;
  if (m.is_drop()) {
    int kind = hand_kind(m.piece);
    if (pos.hand[side][kind] > 0) --pos.hand[side][kind];
  } else {
    if (m.captured != SQ_EMPTY) ++pos.hand[side][hand_kind(m.captured)];
    pos.board[m.from_row * 9 + m.from_col] = SQ_EMPTY;
  }
  pos.board[m.to_row * 9 + m.to_col] = static_cast<uint8_t>(m.piece_after);
  pos.side_to_move ^= 1;
  ++pos.move_number;
}

EngineView engine_view(const SfenPosition& original) {
  SfenPosition pos = original;
  EngineView view;
  view.rotated = pos.side_to_move == BLACK;
  if (view.rotated) rotate_position(pos);
  clear_board(view.board);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) view.board[cell_of(col, row)] = pos.board[row * 9 + col];
  std::memcpy(view.hand[SENTE], pos.hand[BLACK], 8);
  std::memcpy(view.hand[GOTE], pos.hand[WHITE], 8);
  return view;
}

MoveRecord move_from_engine_view(const EngineView& view, const MoveRecord& engine_move) {
  return view.rotated ? rotate_move(engine_move) : engine_move;
}

}  // namespace halvane
