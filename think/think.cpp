// The think driver: loads a position, starts the mate thread beside the main search, and turns their
// results into the computer's move, a mate, or its resignation. The mate thread is joined before the
// think returns, so a later think always finds its solver idle.
#include "think/think.h"

#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <thread>

#include "engine/sfen.h"
#include "mate/mate_search.h"
#include "search/engine.h"
#include "search/search.h"

namespace halvane {

namespace {

void run_gote_root(Engine& e) {
  e.ply = 0;
  gote_node(e);
}

// Kinds 1..7 (everything but the pawn) in both hands.
int non_pawn_hand_pieces(const uint8_t sente_hand[8], const uint8_t gote_hand[8]) {
  int sum = 0;
  for (int kind = LANCE; kind <= KING; ++kind) sum += sente_hand[kind] + gote_hand[kind];
  return sum;
}

void mate_thread_body(Engine* e) {
  run_mate_search(e->mate_thread_solver);
  e->mate_running.store(0, std::memory_order_release);
}

// The 180-degree turn with the owners exchanged, of a 256-cell board and its hands: the side to move
// becomes GOTE, as the engine always plays.
void turn_request(ThinkRequest& r) {
  EnginePosition pos{};
  load_position(pos, r.board, r.hand[SENTE], r.hand[GOTE]);
  uint8_t saved[BOARD_CELLS];
  turn_position(pos, saved);
  std::memcpy(r.board, pos.board, sizeof r.board);
  std::memcpy(r.hand, pos.hand, sizeof r.hand);
  r.side = GOTE;
}

// The think itself, on a request with GOTE to move. Results stay in the Engine's fields; returns true
// when the mate thread's mate replaced the search's move.
bool run_think(Engine& e, const ThinkRequest& r) {
  MateSolver& mate = e.mate_thread_solver;
  const uint8_t* sente_hand = r.hand[SENTE];
  const uint8_t* gote_hand = r.hand[GOTE];

  // 1. Give the think the processor as far as the system lets us.
  raise_priority();

  // 2. Seed the root's evaluation noise.
  seed_noise(e, r.fixed_seed ? r.seed : static_cast<unsigned>(std::time(nullptr)));

  // 3. Load the position. Nothing of an earlier think carries over: no move chosen yet, and a side
  // without a king (mate problems, hand-made positions) keeps king cells that point at a wall cell no
  // piece reaches, so no search reads a stale square.
  e.ply_best[0] = 0;
  e.game_ply = r.game_ply;
  e.result_move = MoveRecord{};
  e.result_move.to_col = e.result_move.to_row = -1;
  for (EnginePosition* pos : {&e.pos, &e.mate_thread_solver.pos, &e.reply_solver.pos})
    for (int side = 0; side < 2; ++side)
      for (int ply = 0; ply < MAX_PLY; ++ply) pos->king_sq[side][ply] = 0;
  load_position(e.pos, r.board, sente_hand, gote_hand);

  // 4. This think's depth and schedule.
  e.depth_limit = e.base_depth;
  std::memcpy(e.ply_mode, e.ply_mode_base, sizeof e.ply_mode);

  // 5. Hand rule: pieces other than pawns in hand make the tree much wider, so the strongest level
  // searches as deep as the middle one then.
  if (e.hand_rule && non_pawn_hand_pieces(sente_hand, gote_hand) != 0) {
    e.ply_mode[8] = 8;
    e.ply_mode[9] = 9;
    e.ply_mode[10] = -1;
    e.ply_mode[11] = -1;
    e.depth_limit = 10;
  }

  // 6. The mate thread's copy of the position.
  load_position(mate.pos, r.board, sente_hand, gote_hand);

  // 7. Clear its answer and give it the full mate depth.
  arm_mate_solver(mate, MATE_DEPTH);
  e.nodes = 0;
  mate.nodes = 0;
  e.reply_solver.nodes = 0;

  // 8. Start the mate thread; the search does not wait for it. If the thread cannot be made, the think
  // simply has no mate result.
  e.mate_running.store(1, std::memory_order_release);
  try {
    e.mate_thread = std::thread(mate_thread_body, &e);
  } catch (...) {
    e.mate_running.store(0, std::memory_order_release);
  }

  // 9. Effect maps of the main search.
  rebuild_effects(e.effects, e.pos);
  e.effects.delta_plies = delta_plies_read(e);

  // 10. Root values.
  e.game_ply += 1;
  e.ply = 0;
  e.root_progress.store(0, std::memory_order_relaxed);
  e.ply_best[0] = GOTE_NOTHING_YET;   // the root's best before any move has been searched

  // 11. Remembered moves start empty.
  clear_killers(e, e.max_plies);

  // 12. The main search. Its GOTE nodes leave their column loops once the mate thread reports a mate
  // (or stop_think asks the think to stop).
  (r.main_search ? r.main_search : run_gote_root)(e);

  // 13. The mate thread's answer, read once; acquire makes its mate_move and mate_len visible.
  const uint8_t found = mate.mate_found.load(std::memory_order_acquire);

  // 14, 15. Resign when far behind with no mate of our own; a mate replaces the search's move.
  if (found == 0 && e.ply_best[0] >= RESIGN_SCORE) {
    e.resign_flag = 1;
  } else {
    e.resign_flag = 0;
    if (found == 1) {
      e.result_move = mate.mate_move;
      e.ply_best[0] = mate.mate_len[0] - MATE_SCORE_BASE;
    }
  }

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
  return found == 1;
}

}  // namespace

void raise_priority() {
  // An unprivileged process may lower its nice value down to 20 - RLIMIT_NICE. We ask for exactly that
  // much and no more, even when running with the privilege to go further, so that a think never starves
  // the rest of the desktop.
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return;
  long floor = limit.rlim_cur == RLIM_INFINITY ? -20 : 20 - static_cast<long>(limit.rlim_cur);
  if (floor < -20) floor = -20;
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, 0);
  if (errno != 0 || floor >= current) return;
  setpriority(PRIO_PROCESS, 0, static_cast<int>(floor));  // a refusal leaves the priority as it was
}

ThinkResult think(Engine& e, const ThinkRequest& request) {
  e.running_job.store(JOB_THINK);
  ThinkRequest r = request;
  const bool turned = r.side == SENTE;
  if (turned) turn_request(r);
  const bool mate_used = run_think(e, r);
  e.running_job.store(JOB_NONE);

  ThinkResult result;
  result.resigned = e.resign_flag != 0;
  result.move = turned ? turn_move(e.result_move) : e.result_move;
  result.score = e.ply_best[0];
  result.mate_used = mate_used;
  result.book = e.ply_best[0] == BOOK_MOVE_SCORE;
  result.stopped = e.stop_requested.load() != 0;
  result.depth_limit = e.depth_limit;
  result.search_nodes = e.nodes;
  result.reply_nodes = e.reply_solver.nodes;
  result.mate_nodes = e.mate_thread_solver.nodes;
  return result;
}

void stop_think(Engine& e) {
  // A think's GOTE nodes read stop_requested. A mate solve reads only the solver's depth words; its
  // own run re-reads stop_requested after arming, so a stop that lands in between is not lost.
  e.stop_requested.store(1);
  if (e.running_job.load() == JOB_MATE) {
    e.mate_thread_solver.base_depth.store(0, std::memory_order_relaxed);
    e.mate_thread_solver.depth_limit.store(0, std::memory_order_relaxed);
  }
}

void clear_stop(Engine& e) { e.stop_requested.store(0); }

int think_progress(const Engine& e) { return e.root_progress.load(std::memory_order_relaxed); }

}  // namespace halvane
