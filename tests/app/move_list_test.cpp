// The move list and the status line as the window shows them, read without a window: the lines of a game
// with a recapture, a promotion, a non-promotion and a drop through navigation, a click on a line, a change
// of sides, saving and loading, an end and a reset; a variation's mark and its alternatives, and comments;
// no evaluation left over from before a command; a loaded finished record that hands the turn to no one; and
// the evaluation graph of the line shown.
#include <gtest/gtest.h>

#include <functional>

#include "app/commands.h"
#include "app/evaluation_graph.h"
#include "app/evaluation_text.h"
#include "core/evaluation.h"
#include "app/game_end.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "kif_test_util.h"

using namespace halvane;
using namespace halvane::kif_test;
using test_support::scripted_ui;
using test_support::utf8;

namespace {

struct MoveListTest : KifFixture {
  void SetUp() override { KifFixture::SetUp(), load_back_buffer(); }
  // The list's lines, and the highlighted one marked with "*".
  std::vector<std::string> lines() const {
    MoveList list;
    move_list_lines(*gs, list);
    std::vector<std::string> out;
    for (size_t i = 0; i < list.lines.size(); ++i)
      out.push_back((static_cast<int>(i) == list.current_line ? "*" : "") + utf8(list.lines[i]));
    return out;
  }
  std::string status() const { return utf8(gs->view.status_text); }
  void command(int id) { on_command(*gs, *e, id); }
};

// Recaptures (同　銀), a promotion (成), a move that could have promoted (不成) and a drop (打).
const std::vector<std::string> GAME = {"7g7f", "3c3d", "8h2b+", "3a2b", "B*5e", "5a4b", "5e3c", "2b3c"};
const std::vector<std::string> GAME_LINES = {"開始局面",     "1 ▲７六歩",     "2 △３四歩", "3 ▲２二角成", "4 △同　銀",
                                             "5 ▲５五角打", "6 △４二玉", "7 ▲３三角不成", "8 △同　銀"};

std::vector<std::string> marked(std::vector<std::string> list, int current) {
  list[current] = "*" + list[current];
  return list;
}

}  // namespace

TEST_F(MoveListTest, LinesFollowEveryChangeOfTheRecord) {
  play_usi(*gs, GAME);
  gs->flags.started = true;
  EXPECT_EQ(lines(), marked(GAME_LINES, 8));

  // Stepping: the line of the position shown, the status line names its move, the move is marked.
  command(CMD_BACK);
  EXPECT_EQ(lines(), marked(GAME_LINES, 7));
  EXPECT_EQ(status(), "7手目 ▲３三角不成まで");
  EXPECT_EQ(gs->view.last_move.to_col, 6);
  EXPECT_EQ(gs->view.show_last_move, 1);
  on_move_list_line(*gs, *e, 4);   // a click on "4 △同　銀" goes there as the buttons would
  EXPECT_EQ(cursor_ply(*gs), 4);
  EXPECT_EQ(status(), "4手目 △同　銀まで");
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(gs->game.cursor, node_at_ply(gs->game.record, 0, 4));
  command(CMD_FIRST);
  EXPECT_EQ(lines(), marked(GAME_LINES, 0));

  // The other side of the same game: the same lines, the same position.
  command(CMD_CHANGE_SIDES);
  ASSERT_EQ(gs->game.player_side, WHITE);
  EXPECT_EQ(lines(), marked(GAME_LINES, 0));
  command(CMD_LAST);
  EXPECT_EQ(lines(), marked(GAME_LINES, 8));

  // Ended: the closing line, the KIF way; saved and loaded back, the same lines and end.
  end_game(*gs, GAME_END_RESIGNED);
  std::vector<std::string> ended = marked(GAME_LINES, 8);
  ended.push_back("まで8手で後手の勝ち");
  EXPECT_EQ(lines(), ended);
  load_bytes(save_to("list.kif"));
  std::vector<std::string> loaded = ended;
  loaded[8] = GAME_LINES[8];
  loaded[0] = "*開始局面";
  EXPECT_EQ(lines(), loaded);
  EXPECT_EQ(status(), "開始局面");

  command(CMD_START);   // reset
  EXPECT_EQ(lines(), std::vector<std::string>{"*開始局面"});
}

// A move played at an earlier position: the new line is shown, its move marked as having alternatives;
// the alternatives list both, and choosing the old one shows the old line with its comment.
TEST_F(MoveListTest, VariationsAreMarkedAndCanBeChosen) {
  play_usi(*gs, GAME);
  gs->game.record.nodes[node_at_ply(gs->game.record, 0, 6)].comments = {"玉が逃げた", "次は角打ち"};
  gs->flags.started = true;
  on_move_list_line(*gs, *e, 5);
  play_usi(*gs, {"8c8d"});
  std::vector<std::string> expected(GAME_LINES.begin(), GAME_LINES.begin() + 6);
  expected.push_back("*6 △８四歩+");
  EXPECT_EQ(lines(), expected);
  EXPECT_TRUE(alternatives_here(*gs).size() == 2 && utf8(alternatives_here(*gs)[0].text) == "6 △８四歩" &&
              utf8(alternatives_here(*gs)[1].text) == "6 △４二玉 (変化)");
  EXPECT_EQ(comments_here(*gs), u"");
  on_alternative(*gs, *e, alternatives_here(*gs)[1].node);
  std::vector<std::string> old_line = marked(GAME_LINES, 6);
  old_line[6] += "+";
  EXPECT_EQ(lines(), old_line);
  EXPECT_EQ(comments_here(*gs), u"玉が逃げた\n次は角打ち");
  EXPECT_EQ(main_line_moves(*gs), 6) << "looking at a variation leaves the main line as it was";
}

// The graph's numbers along the line shown: values clamped to the edge, mates at their side's edge, a
// position without an evaluation breaking the line, the move on the board marked; a click's place goes to
// the nearest move (never past the line's end) and there as a move-list click goes; a variation chosen
// is graphed instead of the main line.
TEST_F(MoveListTest, EvaluationGraphFollowsTheLineShown) {
  play_usi(*gs, GAME);
  const struct {
    int evaluation, shown;
    bool mate;
  } rows[] = {
      {NO_EVALUATION, 0, false}, {35, 35, false},   {-120, -120, false}, {4500, 3000, false},
      {-3001, -3000, false},     {NO_EVALUATION, 0, false}, {mate_evaluation(3, true), 3000, true},
      {mate_evaluation(1, false), -3000, true},     {3000, 3000, false},
  };
  const std::vector<int> line = shown_line(*gs);
  ASSERT_EQ(line.size(), std::size(rows));
  for (size_t ply = 0; ply < line.size(); ++ply) gs->game.record.nodes[line[ply]].evaluation = rows[ply].evaluation;
  on_move_list_line(*gs, *e, 6);
  const EvaluationGraph graph = evaluation_graph(*gs);
  EXPECT_EQ(graph.plies, 8);
  EXPECT_EQ(graph.current_ply, 6);
  // Each row with an evaluation is a point of the run that began after the last row without one.
  size_t run = 0, at = 0;
  bool open = false;
  for (size_t ply = 0; ply < std::size(rows); ++ply) {
    SCOPED_TRACE("ply " + std::to_string(ply));
    if (rows[ply].evaluation == NO_EVALUATION) {
      run += open;
      open = false, at = 0;
      EXPECT_EQ(graph_point(graph, int(ply)), nullptr);
      continue;
    }
    open = true;
    ASSERT_LT(run, graph.runs.size());
    ASSERT_LT(at, graph.runs[run].size());
    const GraphPoint& p = graph.runs[run][at++];
    EXPECT_EQ(p.ply, int(ply));
    EXPECT_EQ(p.value, rows[ply].shown);
    EXPECT_EQ(p.mate, rows[ply].mate);
    EXPECT_EQ(p.evaluation, rows[ply].evaluation);
    EXPECT_DOUBLE_EQ(graph_y(p.value), 0.5 - rows[ply].shown / 6000.0) << "+3000 at the top, -3000 at the bottom";
  }
  EXPECT_EQ(graph.runs.size(), run + open);
  // Clicks: each move's own place and a little to either side go to it; outside the line, to its ends.
  for (const int plies : {8, 40, 181}) {
    EvaluationGraph wide;
    wide.plies = plies;
    const double half_step = graph_x(wide, 1) / 2;
    for (int ply = 0; ply <= plies; ++ply)
      for (const double nudge : {0.0, -0.9 * half_step, 0.9 * half_step})
        EXPECT_EQ(graph_ply_at(wide, std::clamp(graph_x(wide, ply) + nudge, 0.0, 1.0)), ply) << plies << " " << ply << " " << nudge;
    EXPECT_EQ(graph_ply_at(wide, -0.2), 0);
    EXPECT_EQ(graph_ply_at(wide, 1.2), plies);
  }
  EXPECT_EQ(graph_ply_at(graph, 1.0), 8) << "a short line stands on the left of the graph, its end at the last move";
  on_move_list_line(*gs, *e, graph_ply_at(graph, graph_x(graph, 3)));
  EXPECT_EQ(cursor_ply(*gs), 3);
  EXPECT_EQ(evaluation_graph(*gs).current_ply, 3);
  // A variation at move 3: the graph follows the list to its line, whose new moves have no evaluation.
  play_usi(*gs, {"8c8d", "2g2f"});
  const EvaluationGraph variation = evaluation_graph(*gs);
  EXPECT_EQ(variation.plies, 5);
  ASSERT_EQ(variation.runs.size(), 1u);
  EXPECT_EQ(variation.runs[0].back().ply, 3);
}

// Every way a game ends is told with its status, its box and its closing line, and who lost follows from
// whose move it was.
TEST_F(MoveListTest, EveryEndIsToldWithWhoWon) {
  const struct {
    GameEnd reason;
    int moves;
    int player_side;
    const char* status;
    const char* winner;
    const char* line;
  } rows[] = {
      {GAME_END_RESIGNED, 7, 0, "コンピュータが投了しました。試合終了です。", "あなたの勝ちです。", "まで7手で先手の勝ち"},
      {GAME_END_RESIGNED, 6, 0, "あなたが投了しました。試合終了です。", "コンピュータの勝ちです。", "まで6手で後手の勝ち"},
      {GAME_END_KING_CAPTURED, 6, 0, "プレイヤーの玉が取られました。試合終了です。", "コンピュータの勝ちです。", "まで6手で後手の勝ち"},
      {GAME_END_MATED, 7, 1, "詰みです。試合終了です。", "コンピュータの勝ちです。", "まで7手で詰み"},
      {GAME_END_FOUL, 8, 1, "コンピュータの反則負けです。試合終了です。", "あなたの勝ちです。", "まで8手で先手の反則負け"},
      {GAME_END_FOUL_WIN, 7, 0, "あなたの反則負けです。試合終了です。", "コンピュータの勝ちです。", "まで7手で後手の反則勝ち"},
  };
  for (const auto& row : rows) {
    fresh_record({"7g7f", "3c3d", "2g2f", "8c8d", "2f2e", "4a3b", "2e2d", "2c2d"});
    go_to_node(*gs, node_at_ply(gs->game.record, 0, row.moves));
    gs->game.player_side = row.player_side;
    gs->flags.started = true;
    end_game(*gs, row.reason);
    EXPECT_TRUE(game_over(*gs)) << row.line;
    EXPECT_EQ(status(), row.status) << row.line;
    ASSERT_EQ(scripted_ui().boxes.size(), 1u) << row.line;
    EXPECT_EQ(scripted_ui().boxes[0].caption, GAME_END_CAPTION);
    EXPECT_NE(utf8(scripted_ui().boxes[0].text).find(row.winner), std::string::npos) << row.line;
    EXPECT_EQ(lines().back(), row.line);
  }
}

// No number of an earlier game, an earlier position or the other side stays in the status line.
TEST_F(MoveListTest, NoStaleEvaluationInTheStatusLine) {
  play_usi(*gs, GAME);
  const std::string saved = save_to("stale.kif");
  const struct {
    const char* what;
    std::function<void()> act;
  } rows[] = {
      {"load", [&] { load_bytes(saved); }},
      {"reset", [&] { command(CMD_START); }},
      {"change of sides", [&] { command(CMD_CHANGE_SIDES); }},
      {"new game", [&] { command(CMD_START), command(CMD_START); }},
      {"a step back", [&] { command(CMD_BACK); }},
      {"a take back", [&] { command(CMD_TAKE_BACK); }},
  };
  for (const auto& row : rows) {
    fresh_record(GAME);
    gs->flags.started = true;
    gs->view.score_shown = 293094;
    row.act();
    test_support::run_window_events();
    EXPECT_EQ(status().find("293094"), std::string::npos) << row.what << ": " << status();
    EXPECT_EQ(gs->view.score_shown, NO_SCORE) << row.what;
  }
}

// A record loaded at its end is a finished game: the computer, to move there, is never handed the turn,
// even with the pause lifted; a step back lets play go on.
TEST_F(MoveListTest, LoadedFinishedRecordHandsTheTurnToNoOne) {
  fresh_record({"7g7f", "3c3d", "8h2b+", "3a2b", "B*5e", "5a4b", "5e3c"});
  end_game(*gs, GAME_END_RESIGNED);
  load_bytes(save_to("finished.kif"));
  ASSERT_EQ(gs->game.record.nodes[gs->game.line_tip].end, GAME_END_RESIGNED);
  command(CMD_LAST);
  EXPECT_TRUE(game_over(*gs));
  EXPECT_EQ(status(), "まで7手で先手の勝ち");
  command(CMD_PAUSE);
  ASSERT_FALSE(gs->flags.paused);
  test_support::run_window_events();
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_EQ(shown_moves(*gs), 7) << "no move was added to a finished game";
  load_bytes(save_to("again.kif"));
  EXPECT_EQ(gs->game.record.nodes[gs->game.line_tip].end, GAME_END_RESIGNED) << "a saved copy keeps its end word";
  command(CMD_LAST);
  command(CMD_BACK);
  EXPECT_FALSE(game_over(*gs)) << "from an earlier position the game goes on";
}

// Evaluations read alike wherever they are shown: the verdict's thresholds on both sides, mates both
// ways, nothing known; and a line of moves with its marks and a recapture named 同.
TEST(EvaluationText, LabelsAndLines) {
  const struct {
    int value;
    const char* label;
  } rows[] = {
      {0, "評価値 0（互角）"},          {299, "評価値 +299（互角）"},
      {-300, "評価値 -300（後手有利）"}, {800, "評価値 +800（先手優勢）"},
      {-2000, "評価値 -2000（後手勝勢）"}, {mate_evaluation(7, true), "評価値 詰み 7手（先手勝ち）"},
      {mate_evaluation(1, false), "評価値 詰み 1手（後手勝ち）"}, {NO_EVALUATION, "評価値 —"},
  };
  for (const auto& row : rows) EXPECT_EQ(evaluation_label(row.value), row.label) << row.value;
  std::vector<MoveRecord> line;
  SfenPosition pos = startpos();
  std::string error;
  for (const char* usi : {"7g7f", "3c3d", "8h2b+", "3a2b"}) {
    MoveRecord move;
    ASSERT_TRUE(parse_usi_move(usi, pos, move, error)) << usi << ": " << error;
    apply_move(pos, move);
    line.push_back(move);
  }
  EXPECT_EQ(line_text(line, WHITE), "△７六歩 ▲３四歩 △２二角成 ▲同　銀");
}
