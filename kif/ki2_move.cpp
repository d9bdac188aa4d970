// The pieces that could make a KI2 move are those of the kind named whose reach takes them to the square,
// whether or not the move would leave the king in check (as players and other programs count them); the
// words then filter them: 上, 引 and 寄 by the way the piece moves, 直 for the one straight behind the
// square, 右 and 左 for the farthest to that side of the mover among those left.
#include "kif/ki2_move.h"

#include <algorithm>
#include <vector>

#include "core/legality.h"
#include "core/promotion.h"
#include "kif/kif_text.h"

namespace halvane {

namespace {

// Squares ahead of the piece's origin towards the other side (negative: it moves back).
int rows_forward(int side, const MoveRecord& m) { return side == WHITE ? m.to_row - m.from_row : m.from_row - m.to_row; }
// How far to its mover's right a piece stands: SENTE's right is file 1, GOTE's file 9.
int rightness(int side, const MoveRecord& m) { return side == WHITE ? 8 - m.from_col : m.from_col; }

// The moves of the side to move's pieces of `code` that reach the square, promoting as `promote` says.
std::vector<MoveRecord> reaching(const SfenPosition& pos, int code, int to_col, int to_row, bool promote) {
  std::vector<MoveRecord> out;
  for (int i = 0; i < 81; ++i) {
    if (pos.board[i] != code) continue;
    MoveRecord m;
    m.from_col = i % 9, m.from_row = i / 9, m.to_col = to_col, m.to_row = to_row;
    m.piece = code;
    m.piece_after = promote ? code + PROMOTED_BIT : code;
    m.captured = pos.board[to_row * 9 + to_col];
    const MoveVerdict v = judge_move(pos, m);
    if (v != MOVE_NO_PIECE && v != MOVE_ONTO_OWN_PIECE && v != MOVE_OUT_OF_REACH && v != MOVE_BAD_PROMOTION)
      out.push_back(m);
  }
  return out;
}

// The candidates the words leave: first by the way they move, then the farthest to the side named.
std::vector<MoveRecord> filter(const std::vector<MoveRecord>& candidates, int side, unsigned which) {
  std::vector<MoveRecord> left;
  for (const MoveRecord& m : candidates) {
    const int forward = rows_forward(side, m);
    if ((which & WHICH_FORWARD) && forward <= 0) continue;
    if ((which & WHICH_BACK) && forward >= 0) continue;
    if ((which & WHICH_SIDEWAYS) && forward != 0) continue;
    if ((which & WHICH_STRAIGHT) && (forward <= 0 || m.from_col != m.to_col)) continue;
    left.push_back(m);
  }
  for (const unsigned word : {WHICH_RIGHT, WHICH_LEFT}) {
    if (!(which & word) || left.empty()) continue;
    const int sign = word == WHICH_RIGHT ? 1 : -1;
    int best = sign * rightness(side, left[0]);
    for (const MoveRecord& m : left) best = std::max(best, sign * rightness(side, m));
    std::erase_if(left, [&](const MoveRecord& m) { return sign * rightness(side, m) != best; });
  }
  return left;
}

}  // namespace

std::string resolve_ki2_move(const SfenPosition& pos, const MoveWords& words, MoveRecord& move) {
  const int side = pos.side_to_move;
  const int code = words.kind + (side == WHITE ? GOTE_BIT : 0);
  const std::vector<MoveRecord> board = reaching(pos, code, words.to_col, words.to_row, words.promote);
  // 1. A drop: said so, or no piece on the board could come.
  if (words.drop || (board.empty() && words.kind <= ROOK && pos.hand[side][words.kind] > 0 && !words.promote))
    return drop_from_words(pos, words, move);
  // 2. The one piece the words leave, a legal move before a foul.
  std::vector<MoveRecord> legal, fouls;
  for (const MoveRecord& m : filter(board, side, words.which)) (judge_move(pos, m) == MOVE_OK ? legal : fouls).push_back(m);
  const std::vector<MoveRecord>& found = legal.empty() ? fouls : legal;
  if (found.size() == 1) {
    move = found[0];
    return {};
  }
  if (found.empty()) return "no piece of the kind named can make the move";
  return "the move fits " + std::to_string(found.size()) + " pieces: which one is not said";
}

std::string ki2_move_text(const SfenPosition& pos, const MoveRecord& move, const MoveRecord* previous) {
  std::string text = previous && previous->to_col == move.to_col && previous->to_row == move.to_row
                         ? "同　"
                         : kif_square_name(move.to_col, move.to_row);
  const int side = side_of(move.piece);
  text += KIF_PIECE_WORDS[kind_of(move.piece)];
  // Every piece of the kind that could reach the square, as a reader counts them.
  const std::vector<MoveRecord> rivals = reaching(pos, move.piece, move.to_col, move.to_row, false);
  if (move.is_drop()) return text + (rivals.empty() ? "" : "打");
  if (rivals.size() > 1) {
    // The fewest words that leave this piece alone: the way it moves, 直, its side, or its side and way.
    const int forward = rows_forward(side, move);
    const unsigned way = forward > 0 ? WHICH_FORWARD : forward < 0 ? WHICH_BACK : WHICH_SIDEWAYS;
    const bool straight_word = forward == 1 && move.from_col == move.to_col && kind_of(move.piece) != HORSE &&
                               kind_of(move.piece) != DRAGON;
    const unsigned choices[] = {way, straight_word ? WHICH_STRAIGHT : way, WHICH_RIGHT, WHICH_LEFT,
                                WHICH_RIGHT | way, WHICH_LEFT | way};
    for (const unsigned which : choices) {
      const std::vector<MoveRecord> left = filter(rivals, side, which);
      if (left.size() == 1 && left[0].from_col == move.from_col && left[0].from_row == move.from_row) {
        text += which_piece_text(which);
        break;
      }
    }
  }
  if (move.piece_after != move.piece) text += "成";
  else if (can_promote(move.piece) && promotion_allowed(side, move.from_row, move.to_row)) text += "不成";
  // A move the words cannot lead back to (a foul beyond the piece's reach) keeps its origin, as in KIF.
  MoveWords words;
  std::string_view written = text;
  MoveRecord read;
  if (!read_move_words(written, previous, words).empty() || !resolve_ki2_move(pos, words, read).empty() ||
      !(read.from_col == move.from_col && read.from_row == move.from_row && read.piece_after == move.piece_after))
    text += "(" + std::to_string(9 - move.from_col) + std::to_string(move.from_row + 1) + ")";
  return text;
}

}  // namespace halvane
