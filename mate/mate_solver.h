// The mate solver's working object: its own position and effect maps, the per-ply proof bookkeeping and
// the answer it publishes. A think owns two: one on the mate thread, one for the reply check of the search.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/effects.h"
#include "core/position.h"
#include "core/types.h"

namespace halvane {

// The two passes of a mate-search node.
constexpr int FIRST_PASS = 1;
constexpr int SECOND_PASS = 0;
constexpr int NO_MATE_LEN = 10000;   // best_mate_len while no mate has been found
constexpr int MATE_DEPTH = 12;       // ply limit of both mate solvers during a search

struct MateSolver {
  EnginePosition pos;
  // Copies taken when a search starts: the mate thread's repetition test compares with them.
  uint8_t root_board[BOARD_CELLS];
  uint8_t root_hand[2][8];
  int root_king_sq[2];
  // The reply solver's board before its 180-degree rotation.
  uint8_t saved_board[BOARD_CELLS];

  int ply;
  std::atomic<int> base_depth;   // the configured ply limit; 0 is the stop signal
  std::atomic<int> depth_limit;  // the limit of the current run; 0 is the stop signal
  EffectMaps effects;

  uint8_t proven[MAX_PLY];   // 1: mate proven below the node of that ply
  int mate_len[MAX_PLY];     // ply at which the proven line below that node ends
  int pass_at[MAX_PLY];      // FIRST_PASS or SECOND_PASS of the node at that ply
  int last_to_sq[MAX_PLY];   // destination cell of the move being tried at each ply
  MoveRecord mate_move;      // root move of the best mate found
  int best_mate_len;         // mate_len of mate_move; NO_MATE_LEN while none
  std::atomic<uint8_t> mate_found;  // published with release ordering after mate_move and mate_len[0]

  uint64_t nodes;            // nodes searched; counts only, never steers the search
  // Tests only: when `nodes` reaches node_hook_at, node_hook runs at that node's entry (a stop at an
  // exact node). Never otherwise.
  uint64_t node_hook_at = ~uint64_t{0};
  void (*node_hook)(MateSolver&) = nullptr;
  bool reply_mode;           // set by the run: true for the reply check (first mate ends the root,
                             // no repetition test), false for the mate thread's search
};

}  // namespace halvane
