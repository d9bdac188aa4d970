// The KIF reader on its own, from bytes to a GameRecord, one row per file: line ends and encodings, 同
// moves and clock fields, end words and variations, comments and long lines, and the files it refuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/sfen.h"
#include "kif/kif_read.h"
#include "kif/kif_start.h"
#include "support/kif_text.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

struct Row {
  std::string what, bytes;
  const char* moves;        // the main line in USI; nullptr: the file is refused as a bad record
  const char* reason = "";  // for a refusal: what its message must say
};

// A file that starts from the position given as SFEN (through a board diagram), then the move lines.
std::string from_position(const char* sfen, const std::vector<std::string>& lines) {
  SfenPosition pos{};
  std::string error;
  EXPECT_TRUE(parse_sfen(sfen, pos, error)) << sfen;
  std::string text;
  for (const std::string& line : format_kif_diagram(pos)) text += line + "\n";
  return cp932(text) + kif_file(lines);
}

std::vector<Row> rows() {
  std::vector<Row> rows;
  const std::vector<std::string> lines = {"   1 ７六歩(77)   ( 0:01/00:00:01)", "   2 ３四歩(33)   ( 0:02/00:00:02)",
                                          "   3 ２二角成(88) ( 0:01/00:00:02)", "   4 同　銀(31)   ( 0:03/00:00:05)"};
  for (const std::string end : {"\n", "\r\n"}) {
    const std::string file = kif_file(lines, end);
    rows.push_back({"line end " + std::string(end.size() == 2 ? "CR LF" : "LF"), file, "7g7f 3c3d 8h2b+ 3a2b"});
    rows.push_back({"no final line end", file.substr(0, file.size() - end.size()), "7g7f 3c3d 8h2b+ 3a2b"});
  }
  // Move 8 "同　歩(23)" takes on the destination of move 7; clock fields with parentheses of their own.
  rows.push_back({"同 and clock fields",
                  kif_file({"1 ２六歩(27)   ( 0:01/00:00:01)", "2 ８四歩(83)   ( 0:01/00:00:01)",
                            "3 ２五歩(26)   ( 0:01/00:00:02)", "4 ８五歩(84)   ( 0:00/00:00:01)",
                            "5 ７八金(69)   (00:00 / 00:00:00)", "6 ３二金(41)", "7 ２四歩(25)   ( 0:01/00:00:04)+",
                            "8 同　歩(23)   ( 0:00/00:00:02)", "9 同　飛(28)   ( 0:01/00:00:05)",
                            "10 ２三歩打    ( 0:05/00:00:07)", "11 中断 ( 0:01/00:00:06)"}),
                  "2g2f 8c8d 2f2e 8d8e 6i7h 4a3b 2e2d 2c2d 2h2d P*2c"});
  rows.push_back({"drops and 同 captures", kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)",
                                                     "5 ５五角打", "6 ７七角打", "7 同　桂(89)", "8 投了"}),
                  "7g7f 3c3d 8h2b+ 3a2b B*5e B*7g 8i7g"});
  for (const std::string word : {"投了", "中断", "詰み", "千日手", "持将棋", "切れ負け", "反則勝ち", "反則負け",
                                 "入玉勝ち", "不戦勝", "不戦敗", "封じ手", "不詰"})
    rows.push_back({"end word " + word,
                    kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 " + word + "   ( 0:01/00:00:01)", "4 ２六歩(27)"}),
                    "7g7f 3c3d"});
  rows.push_back({"a variation after a main line without an end word",
                  kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "", "変化：2手", "2 ８四歩(83)", "3 ２六歩(27)"}), "7g7f 3c3d"});
  rows.push_back({"the summary line まで", kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "まで2手で中断"}), "7g7f 3c3d"});
  rows.push_back({"comments, bookmarks and blank lines",
                  kif_file({"*開始局面のコメント", "&栞", "   1 ７六歩(77)", "", "   ", "#注釈", "**評価値 120",
                            "   2 ３四歩(33)", "\t", "   3 投了"}),
                  "7g7f 3c3d"});
  const std::string utf8_text =
      "#KIF version=2.0 encoding=UTF-8\n手合割：平手　　\n手数----指手---------消費時間--\n"
      "1 ７六歩(77) ( 0:01/00:00:01)\n2 ３四歩(33)\n3 ２二角成(88)\n4 同　銀(31)\n5 ４五角打\n6 投了\n";
  rows.push_back({"UTF-8", utf8_text, "7g7f 3c3d 8h2b+ 3a2b B*4e"});
  rows.push_back({"UTF-8 with a byte-order mark", "\xef\xbb\xbf" + utf8_text, "7g7f 3c3d 8h2b+ 3a2b B*4e"});
  rows.push_back({"CP932 whose header claims UTF-8", cp932(utf8_text), "7g7f 3c3d 8h2b+ 3a2b B*4e"});
  rows.push_back({"a character CP932 lacks, in a comment", "手数----指手\n*🙂 ok\n1 ７六歩(77)\n", "7g7f"});
  // A comment of 20000 bytes between moves, and a move line with 20000 blanks after its clock field.
  rows.push_back({"long lines", kif_file({"   1 ７六歩(77)", "*" + std::string(20000, 'x') + "(55)", "   2 ３四歩(33)",
                                          "   3 ２六歩(27)" + std::string(20000, ' ') + "x", "4 投了"}),
                  "7g7f 3c3d 2g2f"});
  // One line of 30000 bytes and no line end: the heading, nothing after it.
  std::string one_line = cp932("手数----指手");
  while (one_line.size() < 30000) one_line += cp932(" ７六歩(77)");
  rows.push_back({"one line of 30000 bytes", one_line, ""});
  const std::string heading = "手数----指手---------消費時間--\n1 ７六歩(77)\n";
  // Handicaps: 上手 (gote) moves first.
  for (const char* header : {"手合割：香落ち\n", "手合割：角落ち　\n", "手合割：八枚落ち\n"})
    rows.push_back({header, cp932(header + std::string("手数----指手\n1 ３四歩(33)\n2 ７六歩(77)\n")), "3c3d 7g7f"});
  rows.push_back({"an unknown handicap", cp932("手合割：九枚落ち\n" + heading), nullptr, "unknown handicap"});
  rows.push_back({"a board diagram cut short", cp932("後手の持駒：なし\n  ９ ８ ７ ６ ５ ４ ３ ２ １\n+---------------------------+\n"
                                                     "| ・ ・ ・v銀v玉v銀 ・ ・ ・|一\n" + heading), nullptr, "nine ranks"});
  rows.push_back({"a mate problem's diagram", from_position("3sks3/9/4+P4/6+B2/9/9/9/9/9 b S2rb4gs4n4l17p 1", {"1 ５二馬(34)"}), "3d5b"});
  rows.push_back({"a start where the side not to move is in check", from_position("4k4/4R4/9/9/9/9/9/9/4K4 b - 1", {"1 ５一飛成(52)"}),
                  nullptr, "not to move is in check"});
  // Moves the rules forbid, each refused with its reason...
  const std::pair<std::string, const char*> illegal[] = {
      {kif_file({"1 ６五桂(89)"}), "cannot move there"},     // a knight jumping three files
      {kif_file({"1 ９五香(99)"}), "cannot move there"},     // a lance through its own pawn
      {kif_file({"1 ７六歩成(77)"}), "cannot promote"},       // a promotion outside the zone
      {kif_file({"1 ７六銀(77)"}), "piece named"},           // the wrong piece named
      {from_position("4k4/9/4P4/9/9/9/9/9/4K4 b - 1", {"1 ５二歩(53)", "2 ６一玉(51)", "3 ５一歩(52)"}), "never move again"},
      {from_position("4k4/9/9/9/9/9/4P4/9/4K4 b P 1", {"1 ５五歩打"}), "second unpromoted pawn"},
      {from_position("4k4/4r4/9/9/9/9/9/4G4/4K4 b - 1", {"1 ６八金(58)"}), "leaves the mover's king in check"},
      {from_position("4k4/9/9/9/9/9/9/9/4K3r b - 1", {"1 ４九玉(59)"}), "leaves the mover's king in check"},
      {from_position("kn7/1s7/G8/9/9/9/9/9/8K b P 1", {"1 ９二歩打"}), "pawn drop that mates"},
  };
  for (const auto& [bytes, reason] : illegal) rows.push_back({reason, bytes, nullptr, reason});
  // ...unless it is a line's last move and the record ends with the foul told (反則勝ち for the other side).
  rows.push_back({"a foul told by 反則勝ち", from_position("4k4/4r4/9/9/9/9/9/4G4/4K4 b - 1", {"1 ６八金(58)", "2 反則勝ち"}), "5h6h"});
  rows.push_back({"a foul followed by 投了", from_position("4k4/4r4/9/9/9/9/9/4G4/4K4 b - 1", {"1 ６八金(58)", "2 投了"}),
                  nullptr, "leaves the mover's king in check"});
  rows.push_back({"an even game with blanks after its name", cp932("手合割：平手　　\n" + heading), "7g7f"});
  // Files that would leave an impossible position, or that cannot be read as moves.
  const auto after_opening = [](const std::string& line) {
    return kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", line});
  };
  const std::pair<const char*, std::string> bad[] = {
      {"drop of a kind not in hand", kif_file({"1 ５五角打"})},
      {"drop of a king", after_opening("5 ５五玉打")},
      {"drop of a promoted name", after_opening("5 ５五馬打")},
      {"drop of an unknown name", after_opening("5 ５五X打")},
      {"drop onto a piece", after_opening("5 ７六角打")},
      {"origin empty", kif_file({"1 ７五歩(76)"})},
      {"origin holds the other side's piece", kif_file({"1 ７四歩(73)"})},
      {"destination holds an own piece", kif_file({"1 ７七角(88)"})},
      {"origin equals destination", kif_file({"1 ７七歩(77)"})},
      {"promotion of a gold", kif_file({"1 ５八金成(69)"})},
      {"promotion of a promoted piece",
       kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 ４二飛(82)", "5 ２一馬成(22)"})},
      {"same square first", kif_file({"1 同　歩(77)"})},
      {"unknown destination", kif_file({"1 ０六歩(77)"})},
      {"destination cut short", kif_file({"1 ７"})},
      {"origin not digits", kif_file({"1 ７六歩(7x)"})},
      {"origin digit zero", kif_file({"1 ７六歩(07)"})},
      {"no origin", kif_file({"1 ７六歩"})},
      {"text after the moves", kif_file({"1 ７六歩(77)", "おしまい"})},
      {"move number too long", kif_file({"1234567890 ７六歩(77)"})},
  };
  for (const auto& [what, bytes] : bad) rows.push_back({what, bytes, nullptr});
  return rows;
}

TEST(KifRead, EachFileGivesItsMainLineOrIsRefused) {
  GameRecord record;
  for (const Row& row : rows()) {
    const KifReadResult result = read_kif(row.bytes, record);
    EXPECT_EQ(result.status, row.moves ? KIF_READ_OK : KIF_BAD_RECORD) << row.what << ": " << result.message;
    EXPECT_NE(result.message.find(row.reason), std::string::npos) << row.what << ": " << result.message;
    std::string moves;
    const std::vector<int> line = line_from(record, 0);
    for (size_t k = 1; k < line.size(); ++k) moves += (k > 1 ? " " : "") + move_to_usi(record.nodes[line[k]].move);
    EXPECT_EQ(moves, row.moves ? row.moves : "") << row.what;
  }
}

}  // namespace
