// The KIF writer: turns a GameRecord into the bytes of a KIF file (CP932, CR LF after every line but
// the last): the header, one line per move, and the closing line that says how the game ended.
#pragma once

#include <string>

#include "core/types.h"
#include "kif/game_record.h"

namespace halvane {

constexpr int KIF_SAVE_MIN_MOVES = 3;   // shorter records are not worth a file: the save refuses them

// Local date and time of the first header line.
struct KifDate {
  int year, month, day, hour, minute, second;
};
KifDate local_kif_date();

// What the header and the closing remark say about the game, as UTF-8: the players' names (an empty one
// is written "--------") and the remark after the closing line ("まで54手で後手の勝ち"; none when empty).
struct KifPlayers {
  std::string sente, gote, summary;
};

// The header with the date line and the players (ends in CR LF).
std::string kif_header(const KifDate& date, const KifPlayers& players = {});
// The text of one move line (without its line end): "1 ７六歩(77)", "23 ２二角成(88)", "40 ５五角打".
std::string kif_move_line(int number, const MoveRecord& move);
// The record's move lines, each with its CR LF.
std::string kif_move_lines(const GameRecord& record);
// The closing line, without a line end: "N 中断" while the game goes on, "N 投了" after a resignation or
// a king's capture, "N 詰み" after a mate; N is the number of moves + 1.
std::string kif_end_line(const GameRecord& record);
// The whole file: header, move lines and the closing line; with a closing remark, the remark follows on
// a line of its own and the file ends with a line end.
std::string kif_text(const GameRecord& record, const KifDate& date, const KifPlayers& players = {});

}  // namespace halvane
