// 検討, 棋譜解析 and ヒント on the window thread: the analyst's session started on first use, its events
// posted here and matched to the study under way, the pane, the progress and the hint kept up to date.
#include "app/study.h"

#include <algorithm>

#include "app/evaluation_text.h"
#include "app/navigation.h"
#include "app/position_editor.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "core/legality.h"

namespace halvane {

namespace {

using StudyClock = std::chrono::steady_clock;

// The moves of each line the pane shows when it shows several.
constexpr size_t SEVERAL_LINES_MOVES = 10;

void on_study_event(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& from, const EngineEvent& event);

// The analyst's session, started when there is none or the last one failed. Its events reach the window
// thread; one that comes after the session was replaced is dropped.
AnalysisSession* analyst(GameState& gs, Engine& e) {
  StudyState& study = study_of(gs);
  if (study.session && !study.session->failed) return study.session.get();
  auto session = std::make_shared<AnalysisSession>();
  study.session = session;
  if (analysis_start(*session, analyst_engine(study.engines), window_event_sink(gs, e, session, on_study_event)))
    return session.get();
  message_box(utf16_from_utf8(session->error).c_str(), u"エンジン", BOX_ERROR, BOX_OK);
  study.session.reset();
  return nullptr;
}

void show_pane(GameState& gs) { show_study_pane(study_pane_text(study_of(gs))); }

// 検討 on the position on the board, from now: the game's, or the one being edited, which is sent as a
// start of its own. An edited position no engine could take (no king, an impossible one) is not sent:
// the pane says why, and the think under way stops.
void consider_here(GameState& gs) {
  StudyState& study = study_of(gs);
  if (!study.session) return;
  study.node = gs.game.cursor;
  study.revision = gs.game.revision;
  study.on_edit = editing(gs);
  study.edit_revision = gs.edit.revision;
  study.asked_at = StudyClock::now();
  study.first_line_ms = -1;
  study.refusal = study.on_edit ? utf8_from_utf16(edit_refusal(gs.edit.position, false)) : "";
  GoCommand go;
  go.infinite = true;
  if (!study.refusal.empty()) {
    analysis_stop(*study.session);
  } else if (study.on_edit) {
    study.no_move = legal_moves(gs.edit.position).empty();
    analysis_go(*study.session, gs.edit.position, {}, go, study.lines_wanted);
  } else {
    study.no_move = legal_moves(gs.game.position).empty();
    analysis_go(*study.session, gs.game.record.start, moves_to(gs.game.record, gs.game.cursor), go, study.lines_wanted);
  }
  show_pane(gs);
}

// The next position of 棋譜解析, or its end: the record keeps what was found, the list shows the marks.
void analyse_next(GameState& gs, Engine& e) {
  StudyState& study = study_of(gs);
  const int total = static_cast<int>(study.nodes.size());
  if (study.done < study.nodes.size()) {
    show_analysis_progress(static_cast<int>(study.done), total);
    const int node = study.nodes[study.done];
    analysis_go(*study.session, gs.game.record.start, moves_to(gs.game.record, node), analysis_go_command(study.movetime_ms));
    return;
  }
  show_analysis_progress(0, 0);
  study.mode = STUDY_OFF;
  set_status(gs.view, u"棋譜解析が終わりました。");
  repaint(gs, e);
}

void fail_study(GameState& gs, Engine& e, const std::string& error) {
  StudyState& study = study_of(gs);
  const StudyMode mode = study.mode;
  study.mode = STUDY_OFF;
  study.session.reset();
  if (mode == STUDY_OFF) return;
  if (mode == STUDY_RECORD) show_analysis_progress(0, 0);
  if (mode == STUDY_CONSIDER) show_study_pane("");
  message_box(utf16_from_utf8(error).c_str(), u"エンジン", BOX_ERROR, BOX_OK);
  repaint(gs, e);
}

void on_study_event(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& from, const EngineEvent& event) {
  StudyState& study = study_of(gs);
  if (from != study.session) return;
  AnalysisSession& session = *from;
  const AnalysisUpdate update = analysis_event(session, event);
  if (update == ANALYSIS_FAILED) return fail_study(gs, e, session.error);
  if (study.mode == STUDY_CONSIDER && update == ANALYSIS_LINE) {
    if (study.first_line_ms < 0)
      study.first_line_ms = std::chrono::duration<double, std::milli>(StudyClock::now() - study.asked_at).count();
    show_pane(gs);
  }
  if (update != ANALYSIS_ANSWER) return;
  if (study.mode == STUDY_RECORD) {
    write_answer(gs.game.record, study.nodes[study.done], session);
    study.done += 1;
    gs.game.revision += 1;   // the list shows the new marks
    gs.flags.unsaved = true;
    analyse_next(gs, e);
  } else if (study.mode == STUDY_HINT) {
    study.mode = STUDY_OFF;
    // The hint is for the position it was asked on; a move or a step meanwhile makes it pointless.
    if (study.hint_node != gs.game.cursor || study.hint_revision != gs.game.revision) return;
    if (session.answer_kind != BESTMOVE_MOVE) {
      set_status(gs.view, u"ヒント：エンジンは投了を勧めています。");
    } else {
      study.hint = session.answer;
      study.hint_shown = true;
      const std::u16string text = u"ヒント：" + utf16_from_utf8(line_text({session.answer}, side_to_move(gs)));
      set_status(gs.view, text.c_str());
    }
    repaint(gs, e);
  }
}

// Nothing else may use the analyst while 棋譜解析 runs.
bool analyst_busy(GameState& gs, Engine& e) {
  if (study_of(gs).mode != STUDY_RECORD) return false;
  set_status(gs.view, u"棋譜解析の実行中です。");
  repaint(gs, e);
  return true;
}

}  // namespace

EngineEventSink window_event_sink(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& session,
                                  SessionEventHandler handler) {
  std::weak_ptr<AnalysisSession> weak = session;
  GameState* game = &gs;
  Engine* engine = &e;
  return [game, engine, weak, handler](EngineEvent&& event) {
    post_to_window([game, engine, weak, handler, event = std::move(event)] {
      if (auto from = weak.lock()) handler(*game, *engine, from, event);
    });
  };
}

StudyState& study_of(GameState& gs) {
  if (!gs.study) gs.study = std::make_shared<StudyState>();
  return *gs.study;
}

void set_study_engines(GameState& gs, const EngineList& engines) {
  StudyState& study = study_of(gs);
  const bool other_analyst = !(analyst_engine(engines) == analyst_engine(study.engines));
  study.engines = engines;
  // The next study starts the new analyst; the one under way goes on with its own.
  if (other_analyst && study.mode == STUDY_OFF) study.session.reset();
}

void study_start(GameState& gs, Engine& e) {
  if (analyst_busy(gs, e)) return;
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は検討できません。");
    return repaint(gs, e);
  }
  if (gs.flags.started) hold_computer(gs);   // the computer does not play on while the position is studied
  if (!analyst(gs, e)) return;
  StudyState& study = study_of(gs);
  study.mode = STUDY_CONSIDER;
  study.hint_shown = false;
  consider_here(gs);
  set_status(gs.view, u"検討中です。");
  repaint(gs, e);
}

void study_stop(GameState& gs, Engine& e) {
  StudyState& study = study_of(gs);
  if (study.mode == STUDY_OFF) return;
  if (study.session) analysis_stop(*study.session);
  if (study.mode == STUDY_RECORD) show_analysis_progress(0, 0);
  if (study.mode == STUDY_CONSIDER) show_study_pane("");
  const StudyMode mode = study.mode;
  study.mode = STUDY_OFF;
  if (mode == STUDY_RECORD) set_status(gs.view, u"棋譜解析を中止しました。");
  if (mode == STUDY_CONSIDER) write_board_status(gs);   // "検討中です。" no longer holds
  repaint(gs, e);
}

void close_analyst(GameState& gs) {
  if (!gs.study || !gs.study->session) return;
  std::shared_ptr<AnalysisSession> session = std::move(gs.study->session);
  gs.study->mode = STUDY_OFF;
  if (session->client) client_close(*session->client);
}

void set_study_lines(GameState& gs, Engine&, int lines) {
  StudyState& study = study_of(gs);
  study.lines_wanted = lines < 1 ? 1 : lines > MAX_STUDY_LINES ? MAX_STUDY_LINES : lines;
  if (study.mode == STUDY_CONSIDER) consider_here(gs);
}

void follow_study(GameState& gs) {
  if (!gs.study) return;
  StudyState& study = *gs.study;
  if (study.mode != STUDY_CONSIDER) return;
  const bool moved = editing(gs) ? !study.on_edit || study.edit_revision != gs.edit.revision
                                 : study.on_edit || study.node != gs.game.cursor || study.revision != gs.game.revision;
  if (moved) consider_here(gs);
}

void analyse_game_record(GameState& gs, Engine& e) {
  if (analyst_busy(gs, e)) return;
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は解析できません。");
    return repaint(gs, e);
  }
  StudyState& study = study_of(gs);
  double seconds = study.movetime_ms / 1000.0;
  if (!ask_analysis_seconds(seconds)) return;
  study_stop(gs, e);
  if (gs.flags.started) hold_computer(gs);
  if (!analyst(gs, e)) return;
  study.movetime_ms = static_cast<int>(seconds * 1000 + 0.5);
  study.nodes = main_line_nodes(gs.game.record);
  study.done = 0;
  study.mode = STUDY_RECORD;
  set_status(gs.view, u"棋譜解析中です。");
  repaint(gs, e);
  analyse_next(gs, e);
}

void ask_hint(GameState& gs, Engine& e) {
  if (analyst_busy(gs, e)) return;
  if (!gs.flags.started || game_over(gs) || !player_to_move(gs) || gs.flags.thinking) {
    set_status(gs.view, u"ヒントは対局中、あなたの手番で使えます。");
    return repaint(gs, e);
  }
  StudyState& study = study_of(gs);
  if (study.mode == STUDY_CONSIDER) study_stop(gs, e);
  if (!analyst(gs, e)) return;
  study.mode = STUDY_HINT;
  study.hint_node = gs.game.cursor;
  study.hint_revision = gs.game.revision;
  study.hint_shown = false;
  GoCommand go;
  go.movetime = HINT_MS;
  analysis_go(*study.session, gs.game.record.start, moves_to(gs.game.record, gs.game.cursor), go);
  set_status(gs.view, u"ヒントを考えています…");
  repaint(gs, e);
}

const MoveRecord* shown_hint(const GameState& gs) {
  if (!gs.study || !gs.study->hint_shown) return nullptr;
  const StudyState& study = *gs.study;
  if (study.hint_node != gs.game.cursor || study.hint_revision != gs.game.revision) return nullptr;
  return &study.hint;
}

std::string study_pane_text(const StudyState& study) {
  if (study.mode != STUDY_CONSIDER || !study.session) return "";
  const AnalysisSession& session = *study.session;
  std::string text = "検討中：" + session.name;
  if (study.lines_wanted > 1 && analysis_max_lines(session) < 2) text += "（候補手は1つだけ示すエンジンです）";
  text += "\n";
  if (!study.refusal.empty()) return text + "この局面は検討できません。\n" + study.refusal + "\n";
  bool any = false;
  for (const AnalysisLine& line : session.lines) {
    if (line.evaluation == NO_EVALUATION && line.moves.empty()) continue;
    any = true;
    if (session.lines.size() > 1) text += "候補" + std::to_string(line.multipv) + " ";
    text += evaluation_label(line.evaluation);
    if (line.depth >= 0) text += "　深さ " + std::to_string(line.depth);
    if (line.nodes >= 0) text += "　ノード数 " + std::to_string(line.nodes);
    // With several lines each is cut short, so that all of them stay in sight.
    const size_t shown = session.lines.size() > 1 ? std::min<size_t>(line.moves.size(), SEVERAL_LINES_MOVES) : line.moves.size();
    text += "\n" + line_text({line.moves.begin(), line.moves.begin() + shown}, line.first_mover) +
            (shown < line.moves.size() ? " …" : "") + "\n";
  }
  // A mated position (or one with no move at all) gets no line from any engine.
  if (!any) text += study.no_move ? "指せる手がありません。\n" : "考えています…\n";
  return text;
}

}  // namespace halvane
