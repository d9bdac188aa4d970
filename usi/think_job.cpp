// "go": one think on the worker thread, its clock, its progress lines, and the answer rotated back into
// the GUI's coordinates with the reply it expects. The answer is always a legal move or "resign".
#include <algorithm>
#include <cstring>
#include <string>

#include "think/legal_moves.h"
#include "think/think.h"
#include "think/think_ahead.h"
#include "think/time_budget.h"
#include "usi/job_timer.h"
#include "usi/think_answer.h"
#include "usi/usi_session.h"

namespace halvane {

std::string score_words(int sente_score) {
  const ScoreMeaning meaning = score_meaning(sente_score);
  switch (meaning.kind) {
    case ScoreKind::MATE:
    case ScoreKind::KING_CAPTURE: return "score mate " + std::to_string(meaning.value);
    case ScoreKind::BOOK: return "score cp 0";   // a book move carries no evaluation
    case ScoreKind::EVALUATION: break;
  }
  return "score cp " + std::to_string(meaning.value);
}

std::string evaluation_words(int evaluation) {
  if (evaluation == NO_EVALUATION) return "score cp 0";
  if (!is_mate_evaluation(evaluation)) return "score cp " + std::to_string(evaluation);
  return "score mate " + std::to_string(evaluation > 0 ? mate_moves(evaluation) : -mate_moves(evaluation));
}

namespace {

constexpr long long MIN_GUESS_MS = 20;   // less time than this left on the clock: no expected reply

// A line of the engine's view in the game position's coordinates.
BestLine game_line(const EngineView& view, const BestLine& line) {
  BestLine out;
  for (int i = 0; i < line.length; ++i) out.moves[i] = move_from_engine_view(view, line.moves[i]);
  out.length = line.length;
  return out;
}

// What a growing think's progress lines need: where they go, the position's turn, and the clock.
struct ProgressReport {
  UsiSession* session;
  const EngineView* view;
  UsiClock::time_point start;
};

void report_completed(void* context, const CompletedThink& done) {
  const ProgressReport& report = *static_cast<const ProgressReport*>(context);
  ThinkAnswer so_far;
  so_far.move = move_from_engine_view(*report.view, done.move);
  if (done.reply.to_col != -1) {
    so_far.reply = move_from_engine_view(*report.view, done.reply);
    so_far.has_reply = true;
  }
  // A think that found no move (the side to move has none) names none.
  so_far.searched = done.move.to_col >= 0 && done.move.to_col < 9 && done.move.to_row >= 0 && done.move.to_row < 9;
  so_far.score = done.score;
  // The think's SENTE is the side not to move.
  so_far.evaluation = other_side_evaluation(done.evaluation);
  so_far.pv = game_line(*report.view, done.pv);
  so_far.nodes = done.nodes;
  so_far.ms = std::chrono::duration_cast<std::chrono::milliseconds>(UsiClock::now() - report.start).count();
  usi_write(*report.session, answer_info(so_far, done.depth_limit));
}

// The think's expected reply to its answer, when it is a legal move there.
void take_reply(Engine& e, const GamePosition& game, const EngineView& view, const ThinkResult& result,
                ThinkAnswer& answer) {
  if (result.reply.to_col == -1) return;
  SfenPosition after = game.pos;
  apply_move(after, answer.move);
  const MoveRecord reply = move_from_engine_view(view, result.reply);
  if (!is_legal_move(e, after, reply)) return;
  answer.reply = reply;
  answer.has_reply = true;
}

}  // namespace

ThinkAnswer answer_think(Engine& e, const GamePosition& game, const ThinkRequest& options, UsiSession* progress) {
  ThinkAnswer answer;
  MoveRecord legal[MAX_LEGAL_MOVES];
  const int count = legal_moves(e, game.pos, legal);
  const EngineView view = engine_view(game.pos);

  ThinkRequest request = options;
  std::memcpy(request.board, view.board, sizeof request.board);
  std::memcpy(request.hand, view.hand, sizeof request.hand);
  request.side = GOTE;
  request.game_ply = game.game_ply;

  const UsiClock::time_point start = UsiClock::now();
  ProgressReport report{progress, &view, start};
  if (progress) {
    request.on_completed = report_completed;
    request.completed_context = &report;
  }
  const ThinkResult result = think(e, request);
  answer.ms = std::chrono::duration_cast<std::chrono::milliseconds>(UsiClock::now() - start).count();
  answer.nodes = result.all_nodes;
  answer.mate_nodes = result.mate_nodes;
  answer.score = result.score;
  answer.evaluation = other_side_evaluation(result.evaluation);
  // A time-limited think stopped by its clock still answers from a think that ran to its end, and a mate
  // from the mate thread (which ends a series at once) is proven whatever was cut.
  answer.stopped = result.stopped && result.completed == 0 && !result.mate_used;
  answer.limited = result.limited;
  answer.book = result.book;
  answer.mate_used = result.mate_used;
  answer.depth = result.depth_limit;

  if (count == 0) {   // mated or stalemated: nothing to play
    answer.resign = true;
    return answer;
  }
  // A think cut short has not seen every move: it never resigns on what it has seen so far.
  if (result.resigned && !answer.stopped) {
    answer.resign = true;
    return answer;
  }
  const MoveRecord found = move_from_engine_view(view, result.move);
  for (int i = 0; i < count; ++i)
    if (same_move(found, legal[i])) {
      answer.move = legal[i];
      answer.searched = true;
      answer.pv = game_line(view, result.pv);
      take_reply(e, game, view, result, answer);
      return answer;
    }
  // Stopped before the root had searched a move (or, against expectation, a move the rules forbid):
  // the first legal move keeps the game going.
  answer.move = legal[0];
  return answer;
}

std::string answer_info(const ThinkAnswer& a, int depth) {
  const long long nps = a.ms > 0 ? static_cast<long long>(a.nodes * 1000 / a.ms) : 0;
  std::string info = "info depth " + std::to_string(depth) + " nodes " + std::to_string(a.nodes) + " time " +
                     std::to_string(a.ms) + " nps " + std::to_string(nps);
  // A move no search has seen (the fallback of a think stopped at once) is played, never named as a pv,
  // and has no score to tell.
  if (a.resign || !a.searched) return a.stopped ? info : info + " " + evaluation_words(a.evaluation);
  // A line always carries its score. A think stopped before any of its series completed tells its own
  // value of the move it answers with: a bound from the part of its tree searched by then, yet the
  // search's best word on that move.
  info += " " + evaluation_words(a.evaluation);
  info += " pv";
  for (int i = 0; i < a.pv.length; ++i) info += " " + move_to_usi(a.pv.moves[i]);
  // A line that is the move alone still names the reply the think expects, as it always has.
  if (a.pv.length <= 1) {
    if (a.pv.length == 0) info += " " + move_to_usi(a.move);
    if (a.has_reply) info += " " + move_to_usi(a.reply);
  }
  return info;
}

// The opponent's expected reply to our answer, for "bestmove X ponder Y" when the think has none: the
// opponent's side thought briefly, as the window's think ahead guesses. Empty when the game ends with the
// answer.
std::string expected_reply(Engine& e, const GamePosition& game, const MoveRecord& answer, int limit_ms) {
  GamePosition after = game;
  apply_move(after.pos, answer);
  after.game_ply += 1;
  ThinkRequest guess;
  guess.limit_ms = limit_ms;
  const ThinkAnswer reply = answer_think(e, after, guess);
  return reply.resign || !reply.searched ? std::string() : move_to_usi(reply.move);
}

// The line said before the answer's info line: where the answer comes from when it is not the level's
// whole think. `stopped_from_outside`: "stop" (or quit) ended the think, not its clock.
std::string answer_note(const ThinkAnswer& answer, const GoRequest& go, bool stopped_from_outside) {
  const std::string depth = std::to_string(answer.depth);
  if (answer.stopped)
    return answer.searched ? "info string stopped during the depth " + depth + " think: its best move so far"
                           : "info string stopped before any move was searched";
  // A mate from the mate thread answers in place of any think.
  if (answer.limited && !answer.mate_used)
    return (stopped_from_outside || go.infinite || go.ponder ? "info string stopped: the depth "
                                                             : "info string time limit: the depth ") +
           depth + " think answered";
  return "";
}

void run_think_job(UsiSession& s, GoRequest go, GamePosition game) {
  Engine& e = *s.engine;
  // USI_Ponder as it is when the think starts: the GUI may change it at any time.
  const bool ponder_enabled = s.ponder_enabled.load();
  const long long budget = think_budget_ms(go, game.pos.side_to_move);
  // A clocked think is a time-limited one: thinks of growing size, the largest completed one answering.
  // Any other go runs the same thinks until stopped (by "stop", or by a ponder's clock, which starts at
  // ponderhit) or until the level's own think completes: that last think is exactly the level's one
  // think, and a stop before it still has a completed one to answer with. Each completed think of a
  // series writes its info line.
  ThinkRequest request;
  // The limit leaves room in the budget for the grace the first think may take past its limit (the
  // window's clock keeps the same rule).
  if (budget >= 0 && !go.ponder) {
    request.limit_ms = static_cast<int>(std::max(think_limit_within(budget), 1LL));
    // An unfinished think may spend more of the main time, within the same rule.
    request.extend_ms = static_cast<int>(std::max(0LL, extension_within(budget, think_extension_ms(go, game.pos.side_to_move))));
  } else {
    request.until_stopped = true;
  }
  Deadline clock;
  start_job_clock(s, clock, -1, go.ponder);
  const ThinkAnswer answer = answer_think(e, game, request, &s);
  finish_job_clock(s, clock);

  // The expected reply, when the GUI ponders: the think's own, else guessed within half the time the
  // clock still leaves; a ponder think that ended before "ponderhit" guesses within half the clock
  // ponderhit will start (it may come during the guess); never after a "stop", which wants the answer now.
  bool stopped_from_outside, clock_running;
  {
    std::lock_guard<std::mutex> lock(s.job_mutex);
    stopped_from_outside = s.stop_seen;
    clock_running = s.ponderhit_seen;
  }
  std::string reply = answer.has_reply ? move_to_usi(answer.reply) : std::string();
  long long guess_ms = GUESS_LIMIT_MS;
  if (go.ponder) guess_ms = clock_running ? 0 : s.ponder_budget_ms < 0 ? GUESS_LIMIT_MS : s.ponder_budget_ms / 2;
  else if (!go.infinite && budget >= 0) guess_ms = (budget - answer.ms) / 2;
  guess_ms = std::min<long long>(guess_ms, GUESS_LIMIT_MS);
  if (ponder_enabled && reply.empty() && !answer.resign && !stopped_from_outside && guess_ms >= MIN_GUESS_MS)
    reply = expected_reply(e, game, answer.move, static_cast<int>(guess_ms));

  // "go infinite" and "go ponder" must not answer before the GUI says so.
  if (go.infinite || go.ponder) wait_for_release(s, go.ponder);

  if (answer.book) usi_write(s, "info string book move");
  const std::string note = answer_note(answer, go, stopped_from_outside);
  if (!note.empty()) usi_write(s, note);
  usi_write(s, answer_info(answer, answer.depth));
  const bool ponder = ponder_enabled && !reply.empty();
  usi_answer(s, answer.resign ? "bestmove resign" : "bestmove " + move_to_usi(answer.move) + (ponder ? " ponder " + reply : ""));
}

}  // namespace halvane
