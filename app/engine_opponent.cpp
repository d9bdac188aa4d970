// The engine as the computer: its session started on its first turn, its goes and ponders, its answers
// played through the computer's one way of answering, its failures told and ended as the rules say.
#include "app/engine_opponent.h"

#include <algorithm>

#include "app/game_end.h"
#include "app/navigation.h"
#include "app/play_clock.h"
#include "app/render.h"
#include "app/study.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "core/declaration.h"
#include "think/strength.h"

namespace halvane {

namespace {

inline constexpr char16_t TEXT_ENGINE_HELD[] = u"エンジンの異常のため対局を止めています。||ボタンで再開します。";

void on_engine_event(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& from, const EngineEvent& event);

// The engine's session, started when there is none or the last one failed; its events reach the window
// thread, and one that comes after the session was replaced is dropped. False, with the reason in
// session->error, when the program could not be started.
bool engine_session(GameState& gs, Engine& e) {
  EngineOpponent& op = *gs.opponent;
  if (op.session && !op.session->failed) return true;
  auto session = std::make_shared<AnalysisSession>();
  op.session = session;
  op.pondering = false;
  session->new_game_due = true;
  return analysis_start(*session, op.engine, window_event_sink(gs, e, session, on_engine_event), op.timeouts, op.arguments);
}

bool ponder_enabled(const AnalysisSession& s) {
  for (const UsiOption& option : s.options)
    if ((option.name == "USI_Ponder" || option.name == "Ponder") && option.type == OPTION_CHECK) return option.value == "true";
  return false;
}

// The game is held with the engine's failure told: nothing was lost, and the next turn starts it again.
void hold_for_failure(GameState& gs, Engine& e, const std::string& why) {
  gs.flags.thinking = false;
  hold_computer(gs);
  set_status(gs.view, TEXT_ENGINE_HELD);
  repaint(gs, e);
  message_box(utf16_from_utf8(why).c_str(), u"エンジン", BOX_ERROR, BOX_OK);
}

// After the engine's move, its ponder on the reply it expects, when it wants to ponder.
void start_ponder(GameState& gs, const EngineEvent& answer) {
  EngineOpponent& op = *gs.opponent;
  AnalysisSession& s = *op.session;
  if (!answer.has_ponder || !ponder_enabled(s) || s.failed || !gs.flags.started || gs.flags.paused ||
      game_over(gs) || !player_to_move(gs))
    return;
  std::vector<MoveRecord> moves = moves_to(gs.game.record, gs.game.cursor);
  moves.push_back(answer.ponder);
  GoCommand go = engine_go_command(gs);
  go.ponder = true;
  op.pondering = true;
  op.ponders += 1;
  op.ponder_from = gs.game.cursor;
  op.ponder_move = answer.ponder;
  analysis_go(s, gs.game.record.start, moves, go);
}

// The player played the move the engine ponders on, and that ponder still runs.
bool ponder_hit(const GameState& gs) {
  const EngineOpponent& op = *gs.opponent;
  const RecordNode& node = gs.game.record.nodes[gs.game.cursor];
  return op.pondering && op.session->running != NO_REQUEST && gs.game.cursor > 0 && node.parent == op.ponder_from &&
         move_to_usi(node.move) == move_to_usi(op.ponder_move);
}

void engine_answered(GameState& gs, Engine& e, const EngineEvent& event) {
  EngineOpponent& op = *gs.opponent;
  op.move_request = NO_REQUEST;
  if (!gs.flags.thinking || op.generation != gs.game.generation) return;
  if (clock_flag_fell(gs, e)) return;   // the answer came too late: the engine lost on time
  if (event.best == BESTMOVE_WIN) {
    // 入玉宣言: a win where the rule grants it, a foul where it does not.
    gs.flags.thinking = false;
    const bool granted = may_declare_win(gs.game.position);
    end_game(gs, granted ? GAME_END_ENTERING_KING : GAME_END_FOUL);
    repaint(gs, e);
    if (!granted) message_box(u"エンジンが条件を満たさない入玉宣言をしました。反則負けです。", u"エンジン", BOX_WARNING, BOX_OK);
    return;
  }
  computer_answers(gs, e, event.best == BESTMOVE_RESIGN ? MoveRecord{} : event.move, op.evaluation);
  start_ponder(gs, event);
}

void engine_failed(GameState& gs, Engine& e, const EngineEvent& event) {
  EngineOpponent& op = *gs.opponent;
  const std::string why = op.session->error;
  const bool its_move = gs.flags.thinking && event.request_id == op.move_request && op.move_request != NO_REQUEST;
  op.protocol_errors += 1;
  op.move_request = NO_REQUEST;
  op.pondering = false;
  if (!gs.flags.thinking) {
    // Between its turns (pondering, or idle): the game goes on, and its next turn starts it again.
    message_box(utf16_from_utf8(why).c_str(), u"エンジン", BOX_ERROR, BOX_OK);
    return;
  }
  const bool foul = its_move && event.kind == EVENT_ERROR && event.error == ENGINE_ILLEGAL_MOVE;
  const bool flag = its_move && event.kind == EVENT_ERROR && event.error == ENGINE_TIME_OUT && gs.clock.settings.limited;
  if (!foul && !flag) return hold_for_failure(gs, e, why);
  gs.flags.thinking = false;
  end_game(gs, foul ? GAME_END_FOUL : GAME_END_TIME_LOSS);
  repaint(gs, e);
  message_box(utf16_from_utf8(why).c_str(), u"エンジン", BOX_WARNING, BOX_OK);
}

void on_engine_event(GameState& gs, Engine& e, const std::shared_ptr<AnalysisSession>& from, const EngineEvent& event) {
  if (!gs.opponent || from != gs.opponent->session) return;
  EngineOpponent& op = *gs.opponent;
  switch (analysis_event(*from, event)) {
    case ANALYSIS_LINE:
      if (event.request_id == op.move_request && !from->lines.empty() && from->lines.front().evaluation != NO_EVALUATION)
        op.evaluation = from->lines.front().evaluation;
      return;
    case ANALYSIS_ANSWER:
      if (event.request_id == op.move_request) engine_answered(gs, e, event);
      return;
    case ANALYSIS_FAILED: return engine_failed(gs, e, event);
    case ANALYSIS_READY:
      clock_follow(gs);   // its clock starts with the go just sent
      return;
    case ANALYSIS_NOTHING: return;
  }
}

}  // namespace

void choose_engine_opponent(GameState& gs, const RegisteredEngine* engine) {
  const bool named_by_it = gs.opponent && gs.view.computer_name == gs.opponent->name.c_str();
  if (!engine) {
    if (named_by_it) gs.view.computer_name = gs.flags.strength ? gs.flags.strength->title : nullptr;
    gs.opponent.reset();   // its client quits the engine and reaps it
    return;
  }
  if (!gs.opponent || gs.opponent->engine.path != engine->path) {
    if (named_by_it) gs.view.computer_name = nullptr;
    gs.opponent = std::make_shared<EngineOpponent>();
  }
  gs.opponent->engine = *engine;   // the options as now chosen are sent when it starts again
  gs.opponent->name = utf16_from_utf8(engine->name.empty() ? engine->path : engine->name);
  gs.view.computer_name = gs.opponent->name.c_str();
}

void start_engine_turn(GameState& gs, Engine& e) {
  EngineOpponent& op = *gs.opponent;
  if (!engine_session(gs, e)) {
    const std::string why = op.session->error;
    op.session.reset();
    return hold_for_failure(gs, e, why);
  }
  AnalysisSession& s = *op.session;
  gs.flags.thinking = true;
  op.generation = gs.game.generation;
  op.evaluation = NO_EVALUATION;
  if (ponder_hit(gs)) {
    // It guessed the player's move: the ponder becomes its think, its clock running from now.
    op.move_request = s.running;
    op.ponder_hits += 1;
    client_ponder_hit(*s.client);
  } else {
    op.move_request = analysis_go(s, gs.game.record.start, moves_to(gs.game.record, gs.game.cursor), engine_go_command(gs));
  }
  op.pondering = false;
  clock_follow(gs);   // held while the engine starts
  set_status(gs.view, TEXT_THINKING);
  repaint(gs, e);
}

bool engine_getting_ready(const GameState& gs) {
  return engine_plays(gs) && gs.opponent->session && !gs.opponent->session->ready && !gs.opponent->session->failed;
}

void stop_engine_turn(GameState& gs) {
  if (!gs.opponent) return;
  EngineOpponent& op = *gs.opponent;
  op.move_request = NO_REQUEST;
  op.pondering = false;
  if (op.session && !op.session->failed) analysis_stop(*op.session);
}

void engine_new_game(GameState& gs) {
  if (!gs.opponent) return;
  stop_engine_turn(gs);
  if (gs.opponent->session) gs.opponent->session->new_game_due = true;
}

void engine_game_over(GameState& gs) {
  if (!engine_plays(gs) || !gs.opponent->session) return;
  AnalysisSession& s = *gs.opponent->session;
  if (s.failed || !s.ready || s.new_game_due) return;   // it has played no move of this game
  stop_engine_turn(gs);
  const GameEnd end = end_here(gs);
  if (end == GAME_END_SUSPENDED || end == GAME_END_SEALED || end == GAME_END_NONE) return;
  GameOutcome outcome = OUTCOME_DRAW;
  if (end != GAME_END_REPETITION && end != GAME_END_IMPASSE)
    outcome = player_lost_game(end, side_to_move(gs), gs.game.player_side) ? OUTCOME_WIN : OUTCOME_LOSE;
  client_game_over(*s.client, outcome);
  s.new_game_due = true;   // the next go belongs to another game
}

void close_engine_opponent(GameState& gs) {
  if (!gs.opponent || !gs.opponent->session) return;
  std::shared_ptr<AnalysisSession> session = std::move(gs.opponent->session);
  if (session->client) client_close(*session->client);
}

GoCommand engine_go_command(const GameState& gs) {
  GoCommand go;
  const GameClock& c = gs.clock.clock;
  if (!c.settings.limited) {
    go.time[BLACK] = go.time[WHITE] = 0;
    go.byoyomi = gs.flags.think_limit_ms > 0 ? gs.flags.think_limit_ms : ENGINE_UNLIMITED_MOVE_MS;
    return go;
  }
  const int64_t now = clock_now(gs);
  for (int side : {BLACK, WHITE}) {
    go.time[side] = std::max<int64_t>(0, clock_read(c, side, now).main_left_ms);
    if (c.settings.side[side].increment_ms > 0) go.inc[side] = c.settings.side[side].increment_ms;
  }
  // USI has one 秒読み for both: the engine's own.
  const int byoyomi = c.settings.side[computer_side(gs)].byoyomi_ms;
  if (byoyomi > 0) go.byoyomi = byoyomi;
  return go;
}

}  // namespace halvane
