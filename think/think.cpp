// The think driver: loads a position, starts the mate thread beside the main search, and turns their
// results into the computer's move, a mate, or its resignation. The mate thread is joined before the
// think returns, so a later think always finds its solver idle.
#include "think/think.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <thread>

#include "core/sfen.h"
#include "mate/mate_search.h"
#include "search/engine.h"
#include "search/search.h"
#include "think/best_line.h"
#include "think/limit_clock.h"
#include "think/strength.h"
#include "think/think_evaluation.h"
#include "think/think_priority.h"
#include "think/think_shapes.h"

namespace halvane {

namespace {

// A think's root moves, likeliest first (ThinkResult::ranked).
struct Ranking {
  MoveRecord moves[RANKED_MOVES];
  int count = 0;

  bool has(const MoveRecord& m) const {
    for (int i = 0; i < count; ++i)
      if (moves[i] == m) return true;
    return false;
  }
  void add(const MoveRecord& m) {
    if (count < RANKED_MOVES && m.to_col != -1 && !has(m)) moves[count++] = m;
  }
};

// The search's answer, then the root moves by value (lower is better for GOTE), the first tried among
// equals.
Ranking rank_root_moves(const Engine& e) {
  Ranking ranking;
  ranking.add(e.result_move);
  bool taken[MAX_ROOT_MOVES] = {};
  while (ranking.count < RANKED_MOVES) {
    int best = -1;
    for (int i = 0; i < e.root_value_count; ++i)
      if (!taken[i] && (best < 0 || e.root_values[i].value < e.root_values[best].value)) best = i;
    if (best < 0) break;
    taken[best] = true;
    ranking.add(e.root_values[best].move);
  }
  return ranking;
}

// The root's best line as the search left it, in the engine's view.
BestLine root_line(const Engine& e) {
  BestLine line;
  line.length = e.pv_length[0];
  for (int i = 0; i < line.length; ++i) line.moves[i] = e.pv[0][i];
  return line;
}

struct ThinkOutcome {
  Ranking ranking;          // of the think that answered
  BestLine line;            // of the think that answered, in the engine's view
  bool mate_used = false;   // the mate thread's mate replaced the search's move
  bool limited = false;     // the time limit (or a stop) ended the series before the Engine's own think
  int completed = 0;        // complete thinks of the series
  uint64_t all_nodes = 0;   // main search and reply checks of every think run
};

void run_gote_root(Engine& e) {
  e.ply = 0;
  gote_node(e);
}

void mate_thread_body(Engine* e) {
  run_mate_search(e->mate_thread_solver);
  e->mate_running.store(0, std::memory_order_release);
}

// The 180-degree rotation with the owners exchanged, of a 256-cell board and its hands: the side to move
// becomes GOTE, as the engine always plays.
void rotate_request(ThinkRequest& r) {
  EnginePosition pos{};
  load_position(pos, r.board, r.hand[SENTE], r.hand[GOTE]);
  uint8_t saved[BOARD_CELLS];
  rotate_position(pos, saved);
  std::memcpy(r.board, pos.board, sizeof r.board);
  std::memcpy(r.hand, pos.hand, sizeof r.hand);
  r.side = GOTE;
}

// A move of the rotated position in the request's coordinates; none stays none.
MoveRecord back_to_request(bool rotated, const MoveRecord& m) {
  return rotated && m.to_col != -1 ? rotate_move(m) : m;
}

// One complete think's main search (steps 2-5 and 9-12), beside the already running mate thread.
void run_search(Engine& e, const ThinkRequest& r, const ThinkShape& shape, unsigned seed) {
  // 2. Seed the root's evaluation noise.
  seed_noise(e, seed);

  // 3. Load the position. Nothing of an earlier think carries over: no move chosen yet, and a side
  // without a king gets NO_KING, a wall cell no piece reaches (the reply check sets its own on each turn).
  e.ply_best[0] = 0;
  e.game_ply = r.game_ply;
  e.result_move = MoveRecord{};
  e.result_move.to_col = e.result_move.to_row = -1;
  e.result_reply = MoveRecord{};
  e.pv_length[0] = 0;
  load_position(e.pos, r.board, r.hand[SENTE], r.hand[GOTE]);

  // 4, 5. This think's depth and schedule.
  effective_schedule(shape, r, e.depth_limit, e.ply_mode);
  e.nodes = 0;
  e.reply_solver.nodes = 0;

  // 9. Effect maps of the main search.
  rebuild_effects(e.effects, e.pos);
  e.effects.delta_plies = delta_plies_read(e);

  // 10. Root values.
  e.game_ply += 1;
  e.ply = 0;
  e.root_progress.store(0, std::memory_order_relaxed);
  e.ply_best[0] = GOTE_NOTHING_YET;
  e.root_has_move.store(0, std::memory_order_relaxed);
  e.root_value_count = 0;

  // 11. Remembered moves start empty.
  clear_killers(e, shape.max_plies);

  // 12. The main search. Its GOTE nodes leave their column loops once the mate thread reports a mate;
  // every node leaves at once on stop_think.
  (r.main_search ? r.main_search : run_gote_root)(e);
}

// What a completed think leaves, kept while a larger one runs.
struct SearchAnswer {
  MoveRecord move;
  MoveRecord reply;
  int score;
  int depth_limit;
  uint64_t search_nodes;
  uint64_t reply_nodes;
  Ranking ranking;
  BestLine line;
};

SearchAnswer answer_of(const Engine& e) {
  return {e.result_move, e.result_reply, e.ply_best[0], e.depth_limit, e.nodes, e.reply_solver.nodes,
          rank_root_moves(e), root_line(e)};
}

// A completed think of a series as front ends read it; `request` in its own coordinates.
CompletedThink completed_think(const ThinkRequest& request, bool rotated, const SearchAnswer& kept, int completed,
                               uint64_t nodes) {
  CompletedThink done;
  done.move = back_to_request(rotated, kept.move);
  done.reply = back_to_request(rotated, kept.reply);
  done.score = kept.score;
  done.evaluation = think_evaluation(request, done.move, kept.score);
  done.pv = request_line(request, rotated, kept.line, done.move);
  done.depth_limit = kept.depth_limit;
  done.completed = completed;
  done.nodes = nodes;
  return done;
}

// The think itself, on a request with GOTE to move. Without a time limit it is one think at the Engine's
// strength; with one (or until stopped), complete thinks of growing size share one mate thread, and the
// largest that completed gives the answer. Results stay in the Engine's fields.
ThinkOutcome run_think(Engine& e, const ThinkRequest& r, const ThinkRequest& request, bool rotated) {
  MateSolver& mate = e.mate_thread_solver;
  ThinkOutcome outcome;

  // 1. Give the think the processor as far as the system lets us; a think ahead takes only what
  // nothing else wants (its mate thread, started below, inherits the thread's nice value).
  set_think_priority(r.background);
  const unsigned seed = r.fixed_seed ? r.seed : static_cast<unsigned>(std::time(nullptr));

  // 6. The mate thread's copy of the position.
  load_position(mate.pos, r.board, r.hand[SENTE], r.hand[GOTE]);

  // 7. Clear its answer and give it the full mate depth.
  arm_mate_solver(mate, MATE_DEPTH);
  mate.nodes = 0;
  e.stop_cut = 0;

  // 8. Start the mate thread; the search does not wait for it. If the thread cannot be made, the think
  // simply has no mate result.
  e.mate_running.store(1, std::memory_order_release);
  try {
    e.mate_thread = std::thread(mate_thread_body, &e);
  } catch (...) {
    e.mate_running.store(0, std::memory_order_release);
  }

  if (r.limit_ms <= 0 && !r.until_stopped) {
    run_search(e, r, own_shape(e), seed);
    outcome.all_nodes = e.nodes + e.reply_solver.nodes;
    outcome.completed = e.stop_requested.load() == 0 ? 1 : 0;
    outcome.ranking = rank_root_moves(e);
    outcome.line = root_line(e);
  } else {
    ThinkShape shapes[THINK_SIZES];
    const int count = limited_shapes(e, r, shapes);
    LimitClock limit_clock;
    LimitClock* clock = r.limit_ms > 0 ? &limit_clock : nullptr;
    if (clock) start_limit_clock(*clock, e, r.limit_ms, r.extend_ms);
    SearchAnswer kept{};
    bool have = false;
    for (int i = 0; i < count && may_run(clock, e, i); ++i) {
      run_search(e, r, shapes[i], seed);
      outcome.all_nodes += e.nodes + e.reply_solver.nodes;
      // A think is complete when nothing stopped it; a mate from the thread ends them all.
      if (e.stop_requested.load() != 0 || mate.mate_found.load(std::memory_order_relaxed) != 0) {
        outcome.limited = true;
        break;
      }
      kept = answer_of(e);
      have = true;
      outcome.completed = i + 1;
      if (r.on_completed) {
        // The mate thread's count is its own until it is joined: the main search's nodes only.
        r.on_completed(r.completed_context,
                       completed_think(request, rotated, kept, outcome.completed, outcome.all_nodes));
      }
    }
    outcome.limited = outcome.limited || outcome.completed < count;
    if (clock) finish_deadline(clock->deadline);
    e.stop_requested.fetch_and(static_cast<uint8_t>(~STOP_LIMIT));
    // The largest completed think gives the answer; with none (stopped during the first) the stopped
    // think's own result stands.
    if (have) {
      e.result_move = kept.move;
      e.result_reply = kept.reply;
      e.ply_best[0] = kept.score;
      e.depth_limit = kept.depth_limit;
      e.nodes = kept.search_nodes;
      e.reply_solver.nodes = kept.reply_nodes;
      outcome.ranking = kept.ranking;
      outcome.line = kept.line;
    } else {
      outcome.ranking = rank_root_moves(e);
      outcome.line = root_line(e);
    }
  }

  // 13. The mate thread's answer, read once; acquire makes its mate_move and mate_len visible.
  const uint8_t found = mate.mate_found.load(std::memory_order_acquire);

  // 14, 15. Resign when far behind with no mate of our own; a mate replaces the search's move.
  if (found == 0 && e.ply_best[0] >= RESIGN_SCORE) {
    e.resign_flag = 1;
  } else {
    e.resign_flag = 0;
    if (found == 1) {
      e.result_move = mate.mate_move;
      e.result_reply = MoveRecord{};
      e.ply_best[0] = mate.mate_len[0] - MATE_SCORE_BASE;
      outcome.line.length = 0;   // the mate's own line is the solver's, not the search's
    }
  }

  // A time-limited think whose first think was cut never resigns on the part it saw: it plays the best
  // move it had searched.
  if ((r.limit_ms > 0 || r.until_stopped) && outcome.completed == 0 && e.result_move.to_col != -1) e.resign_flag = 0;

  // 16. The stop signal: every node the solver enters from now on returns at once. A mate it would
  // report later is no longer wanted.
  mate.base_depth.store(0, std::memory_order_relaxed);
  mate.depth_limit.store(0, std::memory_order_relaxed);
  mate.mate_found.store(0, std::memory_order_relaxed);

  // The solver winds down within a few nodes of the stop; wait for it so that no thread outlives the
  // think and the next think may reload the solver.
  if (e.mate_thread.joinable()) e.mate_thread.join();
  mate.mate_found.store(0, std::memory_order_relaxed);
  // No think runs now: a progress display starts from the first column again.
  e.root_progress.store(0, std::memory_order_relaxed);
  outcome.mate_used = found == 1;
  return outcome;
}

}  // namespace

ThinkResult think(Engine& e, const ThinkRequest& request) {
  e.running_job.store(JOB_THINK);
  ThinkRequest r = request;
  const bool rotated = r.side == SENTE;
  if (rotated) rotate_request(r);
  const ThinkOutcome outcome = run_think(e, r, request, rotated);
  e.running_job.store(JOB_NONE);

  ThinkResult result;
  result.resigned = e.resign_flag != 0;
  result.move = back_to_request(rotated, e.result_move);
  result.reply = back_to_request(rotated, e.result_reply);
  result.score = e.ply_best[0];
  result.meaning = score_meaning(result.score);
  result.evaluation = think_evaluation(request, result.move, result.score);
  result.pv = request_line(request, rotated, outcome.line, result.move);
  result.mate_used = outcome.mate_used;
  result.limited = outcome.limited;
  result.completed = outcome.completed;
  result.book = e.ply_best[0] == BOOK_MOVE_SCORE;
  result.stopped = e.stop_requested.load() != 0 || ((request.limit_ms > 0 || request.until_stopped) && outcome.completed == 0);
  result.depth_limit = e.depth_limit;
  result.search_nodes = e.nodes;
  result.reply_nodes = e.reply_solver.nodes;
  result.mate_nodes = e.mate_thread_solver.nodes;
  result.all_nodes = outcome.all_nodes + result.mate_nodes;
  // The answer leads the ranking (a mate from the mate thread replaces the search's own).
  Ranking ranking;
  ranking.add(e.result_move);
  for (int i = 0; i < outcome.ranking.count; ++i) ranking.add(outcome.ranking.moves[i]);
  for (int i = 0; i < ranking.count; ++i) result.ranked[i] = rotated ? rotate_move(ranking.moves[i]) : ranking.moves[i];
  result.ranked_count = ranking.count;
  return result;
}

int think_progress(const Engine& e) { return e.root_progress.load(std::memory_order_relaxed); }

}  // namespace halvane
