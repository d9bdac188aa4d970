// The KIF writer: header lines, one move line per move of the record, and the closing line with the
// game's end word. Produces CP932 bytes with explicit CR LF line ends.
#include "kif/kif_write.h"

#include <cstdio>
#include <ctime>

#include "kif/kif_encoding.h"
#include "kif/kif_names.h"

namespace halvane {

namespace {

constexpr const char* CRLF = "\r\n";
// CP932 texts of the header and the move lines.
constexpr const char* DATE_LABEL = "\x8a\x4a\x8e\x6e\x93\xfa\x8e\x9e\x81\x46";  // 開始日時：
constexpr const char* EVENT_LINE = "\x8a\xfb\x90\xed\x81\x46\x83\x6e\x83\x8b\x83\x78\x83\x43\x83\x93";  // 棋戦：ハルベイン
constexpr const char* HANDICAP_LINE = "\x8e\xe8\x8d\x87\x8a\x84\x81\x46\x95\xbd\x8e\xe8";  // 手合割：平手
constexpr const char* SENTE_LABEL = "\x90\xe6\x8e\xe8\x81\x46";  // 先手：
constexpr const char* GOTE_LABEL = "\x8c\xe3\x8e\xe8\x81\x46";   // 後手：
constexpr const char* NO_NAME = "--------";
constexpr const char* MOVES_LINE =
    "\x8e\xe8\x90\x94----\x8e\x77\x8e\xe8---------\x8f\xc1\x94\xef\x8e\x9e\x8a\xd4--";  // 手数----指手---------消費時間--
constexpr const char* RESIGN = "\x93\x8a\x97\xb9";   // 投了
constexpr const char* SUSPEND = "\x92\x86\x92\x66";  // 中断
constexpr const char* MATED = "\x8b\x6c\x82\xdd";    // 詰み
constexpr const char* FOUL = "\x94\xbd\x91\xa5\x95\x89\x82\xaf";   // 反則負け
constexpr const char* PROMOTE = "\x90\xac";          // 成
constexpr const char* DROP = "\x91\xc5";             // 打

}  // namespace

KifDate local_kif_date() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
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

std::string kif_header(const KifDate& date, const KifPlayers& players) {
  char line[100];
  std::snprintf(line, sizeof line, "%s%d/%02d/%02d (%02d:%02d:%02d)", DATE_LABEL, date.year, date.month, date.day,
                date.hour, date.minute, date.second);
  std::string text = line;
  text += CRLF;
  const auto name = [](const std::string& utf8) { return utf8.empty() ? std::string(NO_NAME) : kif_to_cp932(utf8); };
  for (const std::string& fixed : {std::string(EVENT_LINE), std::string(HANDICAP_LINE), SENTE_LABEL + name(players.sente),
                                   GOTE_LABEL + name(players.gote), std::string(MOVES_LINE)}) {
    text += fixed;
    text += CRLF;
  }
  return text;
}

std::string kif_move_lines(const GameRecord& record) {
  std::string text;
  for (int k = 0; k < record.move_count; ++k) {
    text += kif_move_line(k + 1, record.moves[k]);
    text += CRLF;
  }
  return text;
}

std::string kif_end_line(const GameRecord& record) {
  const char* word = SUSPEND;
  if (record.end == GAME_END_RESIGNED || record.end == GAME_END_KING_CAPTURED) word = RESIGN;
  if (record.end == GAME_END_MATED) word = MATED;
  if (record.end == GAME_END_FOUL) word = FOUL;
  return std::to_string(record.move_count + 1) + " " + word;
}

std::string kif_text(const GameRecord& record, const KifDate& date, const KifPlayers& players) {
  std::string text = kif_header(date, players) + kif_move_lines(record) + kif_end_line(record);
  if (!players.summary.empty()) text += CRLF + kif_to_cp932(players.summary) + CRLF;
  return text;
}

}  // namespace halvane
