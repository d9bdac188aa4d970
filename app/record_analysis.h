// 棋譜解析: every position of a record's main line thought on for a while by the analyst, and what it
// leaves in the record — each position's evaluation (RecordNode::evaluation) and tagged comment lines
// ("評価値=350", or "詰み=先手勝ち:7手", and "読み筋=▲７六歩 △３四歩 …" on the position; "最善手=▲２六歩" on the
// move played there instead), which a later run replaces and a loaded record gives its evaluations back
// from. A move that let the evaluation fall far from its mover's view is marked 疑問手 or 悪手.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "record/game_record.h"

namespace halvane {

// How far a move may let its mover's evaluation fall before it is marked: 疑問手 from 300, 悪手 from 600
// (evaluations clamped to ±3000 first, so a won game that stays won marks nothing).
inline constexpr int DUBIOUS_DROP = 300;
inline constexpr int BAD_DROP = 600;
inline constexpr int MARK_CLAMP = 3000;
inline constexpr int DEFAULT_ANALYSIS_MS = 1000;

enum MoveMark { MARK_NONE, MARK_DUBIOUS, MARK_BAD };

// The mark of the move into `node`, from its own and its parent's evaluation (none while either is unknown).
MoveMark move_mark(const GameRecord& record, int node);
// "疑問手", "悪手", or "".
const char* move_mark_text(MoveMark mark);

// The tagged line of an evaluation: "評価値=-120", "詰み=先手勝ち:7手".
std::string evaluation_comment(int evaluation);
// Replaces the analysis's lines of `node` by those of `line` (its evaluation and 読み筋) and sets the
// node's evaluation; an empty line (nothing known) only removes the old ones. The answer `best` (when
// set) is written as 最善手 on the main continuation's move, the move it stood against.
void write_position_analysis(GameRecord& record, int node, const AnalysisLine& line, const MoveRecord* best);
// Sets each node's evaluation from its tagged lines, where it has none yet (a loaded record).
void read_analysis_evaluations(GameRecord& record);

// The positions 棋譜解析 thinks on: the main line's, from the start to the last.
std::vector<int> main_line_nodes(const GameRecord& record);
// The go for one of them.
GoCommand analysis_go_command(int movetime_ms);
// What one answered go leaves in the record.
void write_answer(GameRecord& record, int node, const AnalysisSession& session);

// The whole main line through a session whose events come through `queue` (the command line, the tests):
// `progress(done, total)` after each position. False with session.error when the analyst failed; the
// positions done before it stay written.
bool analyse_record(AnalysisSession& session, EngineEventQueue& queue, GameRecord& record, int movetime_ms,
                    const std::function<void(int, int)>& progress);

}  // namespace halvane
