// The KIF writer: header lines, one move line per record step found by comparing consecutive slots, and
// the closing resignation line. Produces CP932 bytes with explicit CR LF line ends.
#include "app/kif_write.h"

#include <cstdio>
#include <ctime>

namespace halvane {

namespace {

constexpr const char* CRLF = "\r\n";
// CP932 texts of the header and the move lines.
constexpr const char* DATE_LABEL = "\x8a\x4a\x8e\x6e\x93\xfa\x8e\x9e\x81\x46";  // 開始日時：
constexpr const char* EVENT_LINE = "\x8a\xfb\x90\xed\x81\x46\x83\x6e\x83\x8b\x83\x78\x83\x43\x83\x93";  // 棋戦：ハルベイン
constexpr const char* HANDICAP_LINE = "\x8e\xe8\x8d\x87\x8a\x84\x81\x46\x95\xbd\x8e\xe8";  // 手合割：平手
constexpr const char* SENTE_LINE = "\x90\xe6\x8e\xe8\x81\x46--------";  // 先手：--------
constexpr const char* GOTE_LINE = "\x8c\xe3\x8e\xe8\x81\x46--------";   // 後手：--------
constexpr const char* MOVES_LINE =
    "\x8e\xe8\x90\x94----\x8e\x77\x8e\xe8---------\x8f\xc1\x94\xef\x8e\x9e\x8a\xd4--";  // 手数----指手---------消費時間--
constexpr const char* RESIGN = "\x93\x8a\x97\xb9";   // 投了
constexpr const char* PROMOTE = "\x90\xac";          // 成
constexpr const char* DROP = "\x91\xc5";             // 打

struct Difference {
  int col, row, before, after;
};

}  // namespace

KifDate local_kif_date() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

KifDate (*kif_clock)() = local_kif_date;

SlotChange slot_move(const GameState& gs, int k, MoveRecord& move, int& differences) {
  const int* before = gs.record_boards[k];
  const int* after = gs.record_boards[k + 1];
  Difference listed[2];
  differences = 0;
  // Column by column, and within a column from the top row down.
  for (int col = 0; col < 9; ++col)
    for (int row = 0; row < 9; ++row) {
      const int i = gs_index(col, row);
      if (before[i] == after[i]) continue;
      if (differences < 2) listed[differences] = {col, row, before[i], after[i]};
      ++differences;
    }
  if (differences == 0) return SLOT_UNCHANGED;
  if (differences > 2) return SLOT_TOO_MANY;

  move = MoveRecord{};
  if (differences == 1) {
    // A drop: an empty square receives a piece from the hand.
    const Difference& d = listed[0];
    if (d.before != SQ_EMPTY || d.after == SQ_EMPTY) return SLOT_MALFORMED;
    move.piece = move.piece_after = d.after;
    move.to_col = d.col;
    move.to_row = d.row;
    return SLOT_MOVE;
  }
  // A board move: the square that empties is the origin.
  const bool first_is_origin = listed[0].after == SQ_EMPTY;
  const Difference& from = first_is_origin ? listed[0] : listed[1];
  const Difference& to = first_is_origin ? listed[1] : listed[0];
  const int moving = from.before, arriving = to.after;
  // Anything else than one piece leaving a square for another, promoted or not, is not a move.
  if (!is_piece(moving) || from.after != SQ_EMPTY || !is_piece(arriving)) return SLOT_MALFORMED;
  if (arriving != moving && !(can_promote(moving) && arriving == moving + PROMOTED_BIT)) return SLOT_MALFORMED;
  move.from_col = from.col;
  move.from_row = from.row;
  move.piece = moving;
  move.to_col = to.col;
  move.to_row = to.row;
  move.piece_after = arriving;
  move.captured = to.before;
  return SLOT_MOVE;
}

std::string kif_move_line(int number, const MoveRecord& move) {
  char line[64];
  const char* square = KIF_SQUARE_NAMES[move.to_row * 9 + move.to_col];
  if (move.is_drop()) {
    std::snprintf(line, sizeof line, "%d %s%s%s", number, square, KIF_PIECE_NAMES[move.piece & 7], DROP);
  } else {
    const char* promotion = move.piece_after != move.piece ? PROMOTE : "";
    std::snprintf(line, sizeof line, "%d %s%s%s(%d%d)", number, square, KIF_PIECE_NAMES[move.piece & 15],
                  promotion, 9 - move.from_col, move.from_row + 1);
  }
  return line;
}

std::string kif_header(const KifDate& date) {
  char line[100];
  std::snprintf(line, sizeof line, "%s%d/%02d/%02d (%02d:%02d:%02d)", DATE_LABEL, date.year, date.month, date.day,
                date.hour, date.minute, date.second);
  std::string text = line;
  text += CRLF;
  for (const char* fixed : {EVENT_LINE, HANDICAP_LINE, SENTE_LINE, GOTE_LINE, MOVES_LINE}) {
    text += fixed;
    text += CRLF;
  }
  return text;
}

KifWriteResult kif_text(const GameState& gs, const KifDate& date) {
  KifWriteResult result{kif_header(date), KIF_WRITE_OK, 0, 0};
  const int last = gs.length < RECORD_SLOTS - 1 ? gs.length : RECORD_SLOTS - 1;
  for (int k = 0; k < last; ++k) {
    MoveRecord move;
    int differences = 0;
    const SlotChange change = slot_move(gs, k, move, differences);
    if (change == SLOT_UNCHANGED) break;   // the moves after it are not written
    if (change == SLOT_TOO_MANY) {
      result.error = KIF_WRITE_TOO_MANY;
      result.differences = differences;
      return result;
    }
    if (change == SLOT_MALFORMED) {
      result.error = KIF_WRITE_MALFORMED;
      return result;
    }
    result.moves += 1;
    result.text += kif_move_line(result.moves, move);
    result.text += CRLF;
  }
  result.text += std::to_string(result.moves + 1);
  result.text += ' ';
  result.text += RESIGN;
  return result;
}

}  // namespace halvane
