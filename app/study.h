// The window's studies with the analyst: 検討 (the analyst thinks without end on the position on the board
// and a pane shows its lines, following every step), 棋譜解析 (every position of the main line for a while,
// with a progress dialog, written into the record) and ヒント (the analyst's move for the player, shown but
// never played). One analysis session serves them all, one at a time; its events come to the window thread
// and are matched to the go under way. Window thread only.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/engine_list.h"
#include "app/game_state.h"
#include "app/record_analysis.h"
#include "app/settings_file.h"

namespace halvane {

struct Engine;

enum StudyMode { STUDY_OFF, STUDY_CONSIDER, STUDY_RECORD, STUDY_HINT };

inline constexpr int MAX_STUDY_LINES = 5;
inline constexpr int HINT_MS = 3000;   // the analyst's think for a hint

struct StudyState {
  EngineList engines = default_engine_list();   // the analyst is engines.analyst
  std::shared_ptr<AnalysisSession> session;     // started on first use, kept while it works
  StudyMode mode = STUDY_OFF;
  // 検討: the position thought on (the cursor and the record's revision when it was asked, or the editor's
  // revision when it was the position being edited) and the lines asked.
  int node = -1;
  unsigned revision = 0;
  bool on_edit = false;
  unsigned edit_revision = 0;
  std::string refusal;              // why the edited position cannot be thought on; empty when it can
  int lines_wanted = 1;
  bool no_move = false;             // the position has no legal move: no line will come for it
  std::chrono::steady_clock::time_point asked_at;
  double first_line_ms = -1;       // from the last step to its first line; -1 until it came
  // 棋譜解析: the positions, how many are done, the time for each.
  std::vector<int> nodes;
  size_t done = 0;
  int movetime_ms = DEFAULT_ANALYSIS_MS;
  // ヒント: the move, for the node and revision it was asked on.
  int hint_node = -1;
  unsigned hint_revision = 0;
  bool hint_shown = false;
  MoveRecord hint;
  // 詰み探索's time limit, as the settings say.
  int mate_search_ms = DEFAULT_MATE_SEARCH_SECONDS * 1000;
};

// An engine session's events handed to the window thread, there to `handler` while the session still
// lives (an event that comes after it was dropped goes nowhere).
using SessionEventHandler = void (*)(GameState&, Engine&, const std::shared_ptr<AnalysisSession>&, const EngineEvent&);
EngineEventSink window_event_sink(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& session,
                                  SessionEventHandler handler);

// The game's study state (made on first use).
StudyState& study_of(GameState& gs);
// The engines and the analyst from the settings; a running study goes on with the analyst it has.
void set_study_engines(GameState& gs, const EngineList& engines);

// 検討開始 and 検討終了. Starting holds the computer; stopping ends the analyst's think and hides the pane.
void study_start(GameState& gs, Engine& e);
void study_stop(GameState& gs, Engine& e);
// The window closes: the analyst is asked to quit and waited for (killed after the client's graces), since
// the program ends without running destructors and an engine thinking without end would outlive it.
void close_analyst(GameState& gs);
// The number of lines 検討 shows (1..MAX_STUDY_LINES, where the analyst offers several).
void set_study_lines(GameState& gs, Engine& e, int lines);
// After every command, move and edit: 検討 moves to the position on the board when it changed, the one
// being edited while the editor is open.
void follow_study(GameState& gs);
// 棋譜解析: asks for the time per move, then thinks on the main line's positions one after another.
void analyse_game_record(GameState& gs, Engine& e);
// ヒント: on the player's turn in a game, the analyst's move for the player.
void ask_hint(GameState& gs, Engine& e);

// The hint to highlight on the board (record squares), or null when none belongs to the position shown.
const MoveRecord* shown_hint(const GameState& gs);
// The 検討 pane's text: the analyst, then each line's evaluation, depth, nodes and moves.
std::string study_pane_text(const StudyState& study);

}  // namespace halvane
