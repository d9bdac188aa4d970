// The record formats beside KIF, read through the one entry that tells them apart by content: texts that
// must give their main line, and then keep it through every format, or be refused with their reason
// (KI2's words, CSA's positions and ends, USI lines), files written by hand from corpus games, and the round trip through every format of each corpus
// record and of random games, whose promoted pieces and drops need KI2's words most.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "core/legality.h"
#include "fuzz/kif_input_check.h"
#include "kif/record_format.h"
#include "support/corpus.h"
#include "support/kif_text.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

const std::filesystem::path CORPUS = test_support::corpus_path("kif");
const std::filesystem::path FILES = std::filesystem::path(HALVANE_SOURCE_DIR) / "tests" / "kif" / "files";

std::string main_line(const GameRecord& record) {
  std::string moves;
  const std::vector<int> line = line_from(record, 0);
  for (size_t k = 1; k < line.size(); ++k) moves += (k > 1 ? " " : "") + move_to_usi(record.nodes[line[k]].move);
  return moves;
}

struct Row {
  const char* what;
  std::string text;        // UTF-8
  RecordFormat format;     // as detected
  const char* moves;       // the main line in USI; nullptr: refused
  const char* reason = ""; // what the refusal or the start must say
};

// A KI2 file from a position: the diagram the KIF writer makes for it, then the moves.
std::string ki2_at(const char* sfen, const std::string& moves) {
  GameRecord record;
  std::string error;
  EXPECT_TRUE(parse_sfen(sfen, record.start, error)) << sfen;
  return kif_text(record).substr(0, kif_text(record).find("手数")) + moves + "\n";
}

std::vector<Row> rows() {
  // Golds on 6九 and 4九 and a silver on 5九 under 5八; dragons on 9一 and 1一; horses on 5五 and 2二.
  const char* golds = "4k4/9/9/9/9/9/9/9/3GSG3 b - 1";
  const char* gote_golds = "3gsg3/9/9/9/9/9/9/9/4K4 w - 1";
  const char* dragons = "+R7+R/9/9/9/4k4/9/9/9/4K4 b - 1";
  const char* horses = "4k4/7+B1/9/9/4+B4/9/9/9/4K4 b - 1";
  return {
      {"KI2 moves, several to a line, 同 and a promotion", "手合割：平手\n▲７六歩　△３四歩　▲２二角成　△同　銀\n▲５五角打\nまで5手で中断\n",
       FORMAT_KI2, "7g7f 3c3d 8h2b+ 3a2b B*5e"},
      {"KI2 右, then 直 beside 寄", ki2_at(golds, "▲５八金右\n△５二玉\n▲６八金直"), FORMAT_KI2, "4i5h 5a5b 6i6h"},
      {"KI2 左", ki2_at(golds, "▲５八金左"), FORMAT_KI2, "6i5h"},
      {"KI2 直 for the silver, the gold named alone is ambiguous", ki2_at(golds, "▲５八銀直"), FORMAT_KI2, "5i5h"},
      {"KI2 ambiguity refused", ki2_at(golds, "▲５八金"), FORMAT_KI2, nullptr, "fits 2 pieces"},
      {"KI2 words seen from gote's side", ki2_at(gote_golds, "△５二金右"), FORMAT_KI2, "6a5b"},
      {"KI2 竜 右 and 左, both moving sideways", ki2_at(dragons, "▲２一竜右　△５六玉　▲８一竜左"), FORMAT_KI2, "1a2a 5e5f 9a8a"},
      {"KI2 馬 引 and 上", ki2_at(horses, "▲３三馬引\n△６一玉\n▲４四馬上"), FORMAT_KI2, "2b3c 5a6a 5e4d"},
      {"KI2 不成 and a drop said with 打 where a piece could come",
       ki2_at("4k4/9/9/6P2/9/9/9/9/4K4 b P 1", "▲３三歩不成"), FORMAT_KI2, "3d3c"},
      {"KI2 打 where a pawn could step", ki2_at("4k4/9/9/9/6P2/9/9/9/4K4 b P 1", "▲３四歩打"), FORMAT_KI2, nullptr,
       "second unpromoted pawn"},
      {"KI2 a move no piece can make", "手合割：平手\n▲５五歩\n", FORMAT_KI2, nullptr, "line 2: move 1: no piece"},
      {"KI2 closing remark 先手の勝ち", "手合割：平手\n▲７六歩\nまで1手で先手の勝ち\n", FORMAT_KI2, "7g7f"},
      {"KI2 a variation", "手合割：平手\n▲７六歩　△３四歩\nまで2手で中断\n\n変化：2手\n△８四歩\n", FORMAT_KI2, "7g7f 3c3d"},
      {"KI2 a foul beyond the piece's reach, with its origin", "手合割：平手\n▲６五桂(89)\nまで1手で後手の反則勝ち\n", FORMAT_KI2, "8i6e"},
      {"KI2 text that is no move", "手合割：平手\n▲７六歩\nこんにちは\n", FORMAT_KI2, nullptr, "line 3: not a line of moves"},
      {"CSA handicap, times and commas", "V2.2\nPI82HI22KA\n-\n-3334FU,T3\n+7776FU\nT10\n%TORYO\n", FORMAT_CSA, "3c3d 7g7f",
       "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
      {"CSA ranks, hands and 00AL",
       "P1 *  *  *  * -OU *  *  *  * \nP2 *  *  *  *  *  *  *  *  * \nP3 *  *  *  * +FU *  *  *  * \n"
       "P4 *  *  *  *  *  *  *  *  * \nP5 *  *  *  *  *  *  *  *  * \nP6 *  *  *  *  *  *  *  *  * \n"
       "P7 *  *  *  *  *  *  *  *  * \nP8 *  *  *  *  *  *  *  *  * \nP9 *  *  *  * +OU *  *  *  * \n"
       "P+00KI\nP-00AL\n+\n+0052KI\n%TSUMI\n",
       FORMAT_CSA, "G*5b", "4k4/9/4P4/9/9/9/9/9/4K4 b G2r2b3g4s4n4l17p 1"},
      {"CSA a promotion named by the piece after it", "V2.2\nPI\n+\n+7776FU\n-3334FU\n+8822UM\n", FORMAT_CSA, "7g7f 3c3d 8h2b+"},
      {"CSA a move of the side not to move", "V2.2\nPI\n+\n-3334FU\n", FORMAT_CSA, nullptr, "line 4: move 1: a move of the side not to move"},
      {"CSA a piece named that is not there", "V2.2\nPI\n+\n+7776KI\n", FORMAT_CSA, nullptr, "neither"},
      {"CSA a board square that cannot be read", "V2.2\nP1-KY-XX\n+\n", FORMAT_CSA, nullptr, "unreadable square"},
      {"CSA a foul told by the other side's illegal action", "V2.2\nP1 *  *  *  * -OU *  *  *  * \nP2 *  *  *  * -HI *  *  *  * \n"
       "P8 *  *  *  * +KI *  *  *  * \nP9 *  *  *  * +OU *  *  *  * \n+\n+5868KI\n%+ILLEGAL_ACTION\n", FORMAT_CSA, "5h6h"},
      {"CSA the same foul ended otherwise", "V2.2\nP1 *  *  *  * -OU *  *  *  * \nP2 *  *  *  * -HI *  *  *  * \n"
       "P8 *  *  *  * +KI *  *  *  * \nP9 *  *  *  * +OU *  *  *  * \n+\n+5868KI\n%TORYO\n", FORMAT_CSA, nullptr, "line 7: it leaves"},
      {"USI position startpos", "position startpos moves 7g7f 3c3d\n", FORMAT_USI, "7g7f 3c3d"},
      {"USI position sfen", "position sfen 4k4/9/9/9/9/9/9/9/4K4 b G 1 moves G*5b\n", FORMAT_USI, "G*5b", "4k4/9/9/9/9/9/9/9/4K4 b G 1"},
      {"SFEN with moves and no move number", "sfen lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - moves 7g7f\n",
       FORMAT_SFEN, "7g7f"},
      {"a bare SFEN", "\n  4k4/9/9/9/9/9/9/9/4K4 w - 12\n", FORMAT_SFEN, "", "4k4/9/9/9/9/9/9/9/4K4 w - 12"},
      {"USI an illegal move", "startpos moves 7g7f 7c7d 8h2b\n", FORMAT_USI, nullptr, "move 3 (8h2b): the piece cannot move there"},
      {"USI words after the position", "position startpos 7g7f\n", FORMAT_USI, nullptr, "where moves were expected"},
  };
}

TEST(RecordFormats, EachTextGivesItsMainLineOrIsRefused) {
  GameRecord record;
  for (const Row& row : rows()) {
    for (const std::string& bytes : {row.text, cp932(row.text)}) {
      RecordFormat format = FORMAT_UNKNOWN;
      const KifReadResult result = read_record(bytes, record, &format);
      EXPECT_EQ(format, row.format) << row.what;
      EXPECT_EQ(result.status, row.moves ? KIF_READ_OK : KIF_BAD_RECORD) << row.what << ": " << result.message;
      const std::string said = row.moves ? format_sfen(record.start) : result.message;
      EXPECT_NE(said.find(row.reason), std::string::npos) << row.what << ": " << said;
      EXPECT_EQ(main_line(record), row.moves ? row.moves : "") << row.what;
      GameRecord again;
      EXPECT_EQ(row.moves ? fuzz::check_kif_input(record, again, bytes) : "", "") << row.what;
    }
  }
}

// The main lines the corpus's peers read, by file.
std::map<std::string, std::string> corpus_main_lines() {
  std::map<std::string, std::string> lines;
  std::istringstream in(read_file((CORPUS / "mainline_usi.tsv").string()));
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) lines[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return lines;
}

TEST(RecordFormats, FilesWrittenByHandGiveTheCorpusMainLines) {
  HALVANE_SKIP_WITHOUT_CORPUS(CORPUS / "mainline_usi.tsv");
  const std::map<std::string, std::string> expected = corpus_main_lines();
  const std::pair<const char*, const char*> files[] = {
      {"habu-fujii-2006-40.ki2", "pyshogi-habu-fujii-2006.kif"}, {"habu-fujii-2006-20.csa", "pyshogi-habu-fujii-2006.kif"},
      {"piyo-shogi-ky-20.ki2", "skc-piyo-shogi_KY.kif"},        {"piyo-shogi-ky-20.csa", "skc-piyo-shogi_KY.kif"},
  };
  for (const auto& [file, game] : files) {
    const std::string bytes = read_file((FILES / file).string());
    GameRecord record, again;
    RecordFormat format = FORMAT_UNKNOWN;
    const KifReadResult result = read_record(bytes, record, &format);
    ASSERT_EQ(result.status, KIF_READ_OK) << file << ": " << result.message;
    EXPECT_EQ(format, format_for_extension(file)) << file;
    const std::string moves = main_line(record);
    EXPECT_FALSE(moves.empty()) << file;
    EXPECT_EQ(moves, expected.at(game).substr(0, moves.size())) << file;
    EXPECT_EQ(fuzz::check_kif_input(record, again, bytes), "") << file;
  }
}

TEST(RecordFormats, CorpusRecordsRoundTripThroughEveryFormat) {
  HALVANE_SKIP_WITHOUT_CORPUS(CORPUS / "mainline_usi.tsv");
  int files = 0;
  for (const auto& [file, moves] : corpus_main_lines()) {
    if (file == "file") continue;
    GameRecord record, again;
    EXPECT_EQ(fuzz::check_kif_input(record, again, read_file((CORPUS / file).string())), "") << file;
    EXPECT_EQ(main_line(record), moves) << file;
    ++files;
  }
  EXPECT_GE(files, 27);
}

TEST(RecordFormats, RandomGamesRoundTripThroughEveryFormat) {
  // Captures and promotions first: promoted pieces crowd the board and the hands fill for drops.
  std::mt19937 random(20240501);
  for (int game = 0; game < 60; ++game) {
    GameRecord record, read, again;
    SfenPosition pos = record.start;
    int node = 0;
    for (int ply = 0; ply < 160; ++ply) {
      std::vector<MoveRecord> moves = legal_moves(pos);
      if (moves.empty()) break;
      std::vector<MoveRecord> sharp;
      for (const MoveRecord& m : moves)
        if (m.captured != SQ_EMPTY || m.piece_after != m.piece) sharp.push_back(m);
      const std::vector<MoveRecord>& from = !sharp.empty() && random() % 3 ? sharp : moves;
      const MoveRecord move = from[random() % from.size()];
      node = add_move(record, node, move);
      apply_move(pos, move);
    }
    EXPECT_EQ(fuzz::check_kif_input(read, again, write_record(record, FORMAT_KIF)), "") << "game " << game;
    EXPECT_EQ(main_line(read), main_line(record)) << "game " << game;
  }
}

// 持ち時間 goes to CSA as $TIME_LIMIT's hours, minutes and 秒読み and comes back as it was; a time the
// CSA field cannot say is carried as the text it is.
TEST(RecordFormats, TheTimeControlBetweenKifAndCsa) {
  const struct {
    const char* kif;
    const char* csa;
  } rows[] = {{"10分+30秒", "00:10+30"}, {"90分", "01:30+00"}, {"0分+10秒", "00:00+10"},
              {"1分+フィッシャー2秒", "1分+フィッシャー2秒"}, {"各８時間", "各８時間"}};
  for (const auto& row : rows) {
    GameRecord record, read;
    set_header(record, "持ち時間", row.kif);
    const std::string csa = write_record(record, FORMAT_CSA);
    EXPECT_NE(csa.find(cp932(std::string("$TIME_LIMIT:") + row.csa + "\r\n")), std::string::npos) << row.kif;
    ASSERT_EQ(read_record(csa, read).status, KIF_READ_OK) << row.kif;
    const std::string* back = header_value(read, "持ち時間");
    EXPECT_TRUE(back && *back == row.kif) << row.kif;
  }
}

}  // namespace
