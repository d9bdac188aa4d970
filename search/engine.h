// The Engine: everything one think works in — the main search's position, effect maps and tables, the
// two mate solvers, the book and the think's control words — with fixed sizes; nothing is allocated
// during a think. Engines share nothing, so several may think at once on different threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include <cstdlib>

#include "book/book.h"
#include "core/effects.h"
#include "core/position.h"
#include "core/types.h"
#include "mate/mate_solver.h"

namespace halvane {

struct Engine {
  // 1. The main search's position.
  EnginePosition pos;

  // 2. Search control.
  int ply;
  int max_plies;       // plies of the remembered-move tables cleared per think
  int base_depth;      // the strength's depth limit
  int depth_limit;     // this think's depth limit (lowered by the hand rule)

  // 3. Per-ply values.
  int ply_eval[MAX_PLY];   // value of the move being tried at each ply
  int ply_best[MAX_PLY];   // best value found so far at each ply; entry 0 is the think's score

  // 4. Tables filled at start.
  int killer_width[SCHEDULE_LEN];
  int ply_mode_base[SCHEDULE_LEN];
  int capture_value[32];
  int ply_mode[SCHEDULE_LEN];
  // The hand rule: while either hand holds a piece other than a pawn, this depth and schedule (the ones
  // of a weaker level) instead; depth 0 when the strength has no hand rule.
  int hand_rule_depth;
  int hand_rule_modes[SCHEDULE_LEN];

  // 5. The main search's effect maps.
  EffectMaps effects;

  // 6. The opening book.
  Book book;

  // 7, 8. The mate solvers: one on the mate thread, one for the reply check inside the main search.
  MateSolver mate_thread_solver;
  MateSolver reply_solver;

  // 9. Search working data.
  uint8_t resign_flag;
  int last_to_sq_store[MAX_PLY + 1];   // read through last_to_sq(); entry ply -1 is the wall cell 0
  MoveRecord result_move;
  // The human's best reply so far in the running ply-1 node, and the one under result_move: the reply
  // the think expects to its move (none for a pass, a book move or a node left early). Written only,
  // never read by the search.
  MoveRecord reply_best;
  MoveRecord result_reply;
  int killers[KILLER_FIELDS][MAX_PLY][KILLER_SLOTS];  // [field][ply][slot]: seven MoveRecord fields, dest_rays
  uint32_t killer_keys[MAX_PLY][KILLER_SLOTS];         // killer_key() of each slot, kept with the fields
  BookHint book_hint;
  int game_ply;                    // the game's move count, handed in and incremented by every think
  std::atomic<int> root_progress;  // board column 0..8 the root is working through; drives the progress bar

  uint64_t nodes;                  // main-search nodes; counts only, never steers the search

  // Every root move searched to its end with the value it got, in the order tried: for ranking a side's
  // likely moves. Values of moves below the best are bounds (a refutation ends their reply early). Written
  // once per root move, never read by the search. Cleared by every think.
  struct RootValue {
    MoveRecord move;
    int value;
  };
  RootValue root_values[MAX_ROOT_MOVES];
  int root_value_count;

  // The root's small evaluation noise: this engine's own generator, seeded by every think. It draws the
  // same sequence the C library's srand and rand give for the same seed.
  random_data noise;
  char noise_state[128];

  // The best line, a triangular table written as the search goes: pv[p][p .. pv_length[p]) is the line
  // under ply p's best move so far, that move first. Every node starts its own empty; a move that becomes
  // its node's best takes its reply's line behind it. A line never holds a move whose legality no node
  // below checked (a move that left its own king to be taken, a pass, a move at the depth limit), so it
  // may end early. Written only, never read by the search.
  MoveRecord pv[MAX_PLY][MAX_PLY];
  int pv_length[MAX_PLY];

  // 10. Think control. The mate thread of the running think is started and joined inside the think, so no
  // thread outlives it. stop_requested lets a front end end a think early: every GOTE node reads it beside
  // the mate thread's mate_found and leaves its column loop. The window programs never set it.
  std::thread mate_thread;
  std::atomic<uint8_t> mate_running;     // 1 from the mate thread's start until run_mate_search has returned
  std::atomic<uint8_t> stop_requested;
  std::atomic<uint8_t> running_job;      // JOB_NONE, JOB_THINK or JOB_MATE: what a stop must reach
  // Set by the first node that leaves early on stop_requested: from then on no root move is complete,
  // so the root adopts none. Cleared by every think.
  uint8_t stop_cut;
  // Set when the root takes its first move (a complete one): a time limit may then stop even the
  // think's first search, which has a move to play. Cleared by every think.
  std::atomic<uint8_t> root_has_move;
  // Tests only: when the node count reaches node_hook_at, node_hook runs at that node's entry (a way to
  // ask for a stop at an exact node). node_hook_at is ~0 (never) otherwise.
  uint64_t node_hook_at;
  void (*node_hook)(Engine&);
};

enum EngineJob : uint8_t { JOB_NONE, JOB_THINK, JOB_MATE };

// True when a GOTE node should leave its column loop: the mate thread has reported a mate, or the think
// has been asked from outside to stop. A relaxed read: only the stop is taken from it.
inline bool think_stopping(const Engine& e) {
  return e.mate_thread_solver.mate_found.load(std::memory_order_relaxed) == 1 ||
         e.stop_requested.load(std::memory_order_relaxed) != 0;
}

// The outside stop (stop_think), read at the entry of every node and after every move below the root,
// so that a stop ends the search within a few nodes. Reading it true marks the tree as cut. The mate
// thread's mate_found is not read here: it keeps to the GOTE column loops.
inline bool outside_stop(Engine& e) {
  if (e.stop_requested.load(std::memory_order_relaxed) == 0) return false;
  e.stop_cut = 1;
  return true;
}

// The best line of a node at ply p starts empty.
inline void pv_start(Engine& e, int p) { e.pv_length[p] = p; }
// The node at ply p >= 1 shows that the move into it stands in no line: it left its own king to be taken,
// or nothing checks that it did not (a node past the depth, a recapture only scored). The parent that
// takes this node's line drops its move with it.
inline void pv_refute_last(Engine& e, int p) { e.pv_length[p] = p - 1; }
// The move at ply p became its node's best: the line is that move and its reply's line at ply p + 1,
// which the reply node has just written.
inline void pv_take(Engine& e, int p, const MoveRecord& move) {
  const int end = e.pv_length[p + 1];
  e.pv[p][p] = move;
  for (int i = p + 1; i < end; ++i) e.pv[p][i] = e.pv[p + 1][i];
  e.pv_length[p] = end;
}

// The line of the node at ply p is one move and nothing behind it (the book's, a king's capture).
inline void pv_single(Engine& e, int p, const MoveRecord& move) {
  e.pv[p][p] = move;
  e.pv_length[p] = p + 1;
}

// Notes a root move searched to its end and its value.
inline void note_root_value(Engine& e, const MoveRecord& move, int value) {
  if (e.root_value_count < MAX_ROOT_MOVES) e.root_values[e.root_value_count++] = {move, value};
}

// Destination cell of the move tried at a ply; ply -1 (read at the root) is always the wall cell 0.
inline int& last_to_sq(Engine& e, int ply) { return e.last_to_sq_store[ply + 1]; }

// Killer table fields, in MoveRecord order, then dest_rays.
enum KillerField : int { K_FROM_COL, K_FROM_ROW, K_PIECE, K_TO_COL, K_TO_ROW, K_PIECE_AFTER, K_CAPTURED, K_DEST_RAYS };

// Both cells and both codes of a remembered move packed into one word, so that the generated-move filter
// passes over the slots that cannot match with a single compare. Equal moves always have equal keys.
inline uint32_t killer_key(int from_cell, int to_cell, int piece, int piece_after) {
  return static_cast<uint32_t>(from_cell & 255) | static_cast<uint32_t>(to_cell & 255) << 8 |
         static_cast<uint32_t>(piece & 255) << 16 | static_cast<uint32_t>(piece_after & 255) << 24;
}
inline uint32_t killer_key_of_slot(const Engine& e, int ply, int slot) {
  const auto& k = e.killers;
  return killer_key(cell_of(k[K_FROM_COL][ply][slot], k[K_FROM_ROW][ply][slot]),
                    cell_of(k[K_TO_COL][ply][slot], k[K_TO_ROW][ply][slot]), k[K_PIECE][ply][slot],
                    k[K_PIECE_AFTER][ply][slot]);
}

// The value of each piece code when it is captured, from SENTE's point of view.
extern const int CAPTURE_VALUE[32];
// Remembered-move slots used per ply.
extern const int KILLER_WIDTH[SCHEDULE_LEN];

// Clears the remembered moves of plies 0 .. plies - 1 in all eight tables.
void clear_killers(Engine& e, int plies);

// Seeds the root noise; draw_noise then returns what rand() would after srand(seed).
void seed_noise(Engine& e, unsigned seed);
int draw_noise(Engine& e);

}  // namespace halvane
