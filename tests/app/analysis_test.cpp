// What the analysis makes of an engine's words and leaves in a record: info lines turned to sente's
// view, the tagged comments read back to the same evaluations, and the marks of moves that lost much.
#include <gtest/gtest.h>

#include "app/analysis_line.h"
#include "app/record_analysis.h"
#include "core/legality.h"
#include "core/sfen.h"

using namespace halvane;

TEST(Analysis, InfoLinesInSentesViewAndTheirCommentsReadBack) {
  const struct {
    const char* info;
    int side_to_move;
    int expected;   // NO_EVALUATION: the line tells no line at all
  } rows[] = {
      {"depth 8 score cp 120 pv 7g7f", BLACK, 120},
      {"depth 8 score cp 120 pv 3c3d", WHITE, -120},
      {"score cp -45 upperbound", WHITE, 45},
      {"score mate 3 pv 7g7f", BLACK, mate_evaluation(3, true)},
      {"score mate 3", WHITE, mate_evaluation(3, false)},
      {"score mate -4", WHITE, mate_evaluation(4, true)},
      {"score mate -", BLACK, mate_evaluation(0, false)},
      {"depth 3 currmove 7g7f", BLACK, NO_EVALUATION},
  };
  for (const auto& row : rows) {
    EngineInfo info;
    ASSERT_TRUE(parse_info_line(row.info, info)) << row.info;
    AnalysisLine line;
    const bool told = analysis_line_from(info, {}, row.side_to_move, line);
    EXPECT_EQ(told, row.expected != NO_EVALUATION) << row.info;
    if (!told) continue;
    EXPECT_EQ(line.evaluation, row.expected) << row.info;
    // Written as a comment and read back from a record, the evaluation is the same.
    GameRecord record;
    record.nodes[0].comments = {"対局者のコメント", evaluation_comment(line.evaluation)};
    read_analysis_evaluations(record);
    EXPECT_EQ(record.nodes[0].evaluation, row.expected) << row.info << " as " << record.nodes[0].comments[1];
  }
}

TEST(Analysis, MovesThatLostMuchAreMarkedFromTheirMoversView) {
  const struct {
    int before, after;
    bool sente_moved;
    MoveMark expected;
  } rows[] = {
      {100, -150, true, MARK_NONE},           {100, -200, true, MARK_DUBIOUS},
      {100, -500, true, MARK_BAD},            {100, -500, false, MARK_NONE},
      {-100, 500, false, MARK_BAD},           {5000, mate_evaluation(9, true), true, MARK_NONE},
      {2500, mate_evaluation(1, false), true, MARK_BAD},   {NO_EVALUATION, -900, true, MARK_NONE},
  };
  for (const auto& row : rows) {
    GameRecord record;
    SfenPosition pos = startpos();
    if (!row.sente_moved) pos.side_to_move = WHITE;
    record.start = pos;
    const std::vector<MoveRecord> legal = legal_moves(pos);
    const int node = add_move(record, 0, legal[0]);
    record.nodes[0].evaluation = row.before;
    record.nodes[node].evaluation = row.after;
    EXPECT_EQ(move_mark(record, node), row.expected) << row.before << " -> " << row.after;
  }
}
