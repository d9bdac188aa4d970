// The KIF writer: turns a GameRecord into the text of a KIF file — the header's fields with the start
// position (a 手合割 line, or a board diagram where the position has no name), the main line with its
// times and comments, its end word and closing remark ("まで54手で後手の勝ち"), then every variation as
// a "変化：N手" block. CP932 with CR LF for .kif, UTF-8 for .kifu. The window's move list takes its closing
// line from here too, so that a file and the screen always say the same.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"
#include "record/game_record.h"

namespace halvane {

constexpr int KIF_SAVE_MIN_MOVES = 3;   // shorter records are not worth a file: the save refuses them

// Local date and time, and as the header's 開始日時 writes it: "2024/05/01 (09:30:00)".
struct KifDate {
  int year, month, day, hour, minute, second;
};
KifDate local_kif_date();
std::string kif_date_text(const KifDate& date);

// The end word ("投了", "詰み", ...; a line without an end is "中断").
std::string kif_end_word(GameEnd end);
// The closing remark of a line that ended with `end` after `moves` moves, `side_to_move` (BLACK or WHITE)
// being the side to move after them: "まで54手で後手の勝ち", "まで40手で中断", "まで59手で詰み" (UTF-8).
std::string kif_closing_line(GameEnd end, int moves, int side_to_move);
// The closing remark of the record's main line.
std::string kif_closing_line(const GameRecord& record);

// A move's name, as the window's move list shows it and a move line writes it before its origin: "７六歩",
// "２二角成", "８一飛不成" (a move that could have promoted), "５五角打". Given the move before it
// (`previous`), a capture on that move's square is named "同　銀" ("同成銀" for a two-character piece).
std::string kif_move_name(const MoveRecord& move, const MoveRecord* previous = nullptr);
// A move as a move line writes it: "７六歩(77)", "５五角打", "２二角成(88)", "８一飛不成(71)". A capture on
// the previous move's square is written with its square too, as every reader reads it.
std::string kif_move_text(const MoveRecord& move);

// The first node of every line of the tree in the order KIF and KI2 files write them: the main line,
// then each variation ("変化：N手") after the line it branches from, the deepest branch of a line first,
// as readers expect (each variation branches from the line written just before it).
std::vector<int> kif_line_order(const GameRecord& record);

// The whole file as UTF-8 text with CR LF line ends.
std::string kif_text(const GameRecord& record);
// The file's bytes: CP932 (.kif), or UTF-8 with the header's encoding line (.kifu).
std::string kif_bytes(const GameRecord& record, bool utf8 = false);

}  // namespace halvane
