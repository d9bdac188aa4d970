// The move text of KIF and KI2 lines: the destination in full-width (or ASCII) file digits and kanji rank
// numerals, then one of the piece names, then the words in any order.
#include "kif/move_words.h"

#include "kif/kif_text.h"
#include "kif/line_reader.h"

namespace halvane {

namespace {

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

struct WhichWord {
  const char* text;
  unsigned which;
};
// In the order KI2 writes them: the side first, then the way the piece moves.
constexpr WhichWord WHICH_WORDS[] = {
    {"右", WHICH_RIGHT}, {"左", WHICH_LEFT},    {"直", WHICH_STRAIGHT}, {"上", WHICH_FORWARD},
    {"行", WHICH_FORWARD}, {"入", WHICH_FORWARD}, {"引", WHICH_BACK},     {"寄", WHICH_SIDEWAYS},
};

}  // namespace

std::string read_move_words(std::string_view& text, const MoveRecord* previous, MoveWords& out) {
  out = MoveWords{};
  // 1. The destination: a square, or 同 (the previous move's destination) with any blanks after it.
  if (take(text, "同")) {
    if (!previous) return "\"same square\" with no previous move";
    out.to_col = previous->to_col;
    out.to_row = previous->to_row;
    for (;;)
      if (!take(text, WIDE_BLANK) && !take(text, " ")) break;
  } else {
    int file = -1, rank = -1;
    for (int d = 1; d <= 9; ++d)
      if (starts_with(text, WIDE_DIGITS[d]) || (!text.empty() && text[0] == '0' + d)) file = d;
    if (file < 0) return "no destination square";
    text.remove_prefix(starts_with(text, WIDE_DIGITS[file]) ? 3 : 1);
    for (int d = 1; d <= 9; ++d)
      if (starts_with(text, KANJI_DIGITS[d]) || starts_with(text, WIDE_DIGITS[d])) rank = d;
    if (rank < 0) return "no destination square";
    text.remove_prefix(3);
    out.to_col = 9 - file;
    out.to_row = rank - 1;
  }
  // 2. The piece named, then its words.
  for (const MoveName& n : MOVE_NAMES)
    if (take(text, n.text)) {
      out.kind = n.kind;
      break;
    }
  if (out.kind < 0) return "no piece named";
  for (bool more = true; more;) {
    more = false;
    if (take(text, "不成") || take(text, "生")) more = out.no_promote = true;
    if (take(text, "成")) more = out.promote = true;
    if (take(text, "打")) more = out.drop = true;
    for (const WhichWord& w : WHICH_WORDS)
      if (take(text, w.text)) {
        out.which |= w.which;
        more = true;
      }
  }
  return {};
}

std::string drop_from_words(const SfenPosition& pos, const MoveWords& words, MoveRecord& move) {
  if (words.kind > ROOK || words.kind == KING) return "drop of a piece that cannot be dropped";
  move = MoveRecord{};
  move.to_col = words.to_col, move.to_row = words.to_row;
  move.piece = move.piece_after = words.kind + (pos.side_to_move == WHITE ? GOTE_BIT : 0);
  return {};
}

std::string move_from_origin(std::string_view& text, const SfenPosition& pos, const MoveWords& words, MoveRecord& move) {
  if (words.drop) return drop_from_words(pos, words, move);
  if (text.size() < 4 || text[0] != '(' || text[3] != ')' || text[1] < '1' || text[1] > '9' || text[2] < '1' ||
      text[2] > '9')
    return text.empty() || text[0] != '(' ? "no origin square" : "origin square is not two digits 1 to 9";
  move = MoveRecord{};
  move.to_col = words.to_col, move.to_row = words.to_row;
  move.from_col = 9 - (text[1] - '0');
  move.from_row = text[2] - '1';
  text.remove_prefix(4);
  move.piece = pos.board[move.from_row * 9 + move.from_col];
  if (is_piece(move.piece) && kind_of(move.piece) != words.kind) return "the piece named is not on the origin square";
  move.piece_after = words.promote ? move.piece + PROMOTED_BIT : move.piece;
  return {};
}

std::string which_piece_text(unsigned which) {
  std::string text;
  unsigned written = 0;   // 行 and 入 are never written: 上 says the same
  for (const WhichWord& w : WHICH_WORDS)
    if ((which & w.which) && !(written & w.which)) {
      text += w.text;
      written |= w.which;
    }
  return text;
}

}  // namespace halvane
