// The think driver: the engine's single entry point. It chooses the computer's (GOTE's) move for a
// position, running the main search on the calling thread and the mate solver on a thread of its own.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace halvane {

constexpr int RESIGN_SCORE = 8000;       // the computer resigns when its search finds itself this far behind
constexpr int MATE_SCORE_BASE = 100000;  // a mate from the mate thread scores its length minus this

// Results: resign_flag, result_move, and ply_best[0] (the score from SENTE's point of view). The caller
// sets game_ply (and ply_best[0] = 0) before the call; the think adds 1 to game_ply. Never called twice
// at once on one Engine. Every window program calls this form.
void think(Engine& e, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8], const uint8_t gote_hand[8]);

// What a think may be given besides the position. The defaults are those of think() above.
struct ThinkOptions {
  // Seed of the C library's random generator (the root's small evaluation noise); the current time when
  // not fixed. The USI bench fixes it so that node counts repeat.
  bool fixed_seed = false;
  unsigned seed = 0;
  // The main search, run at ply 0 on the calling thread; nullptr is gote_node. Tests give a search of
  // their own to put a known score or move in front of the driver's resignation and mate rules.
  void (*main_search)(Engine&) = nullptr;
};
void think_with(Engine& e, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                const uint8_t gote_hand[8], const ThinkOptions& options);

// The mate thread's start routine: runs run_mate_search on the solver and returns 0.
int mate_thread_entry(MateSolver& solver);

// Nodes of the last think: the main search's, the reply checks' and the mate thread's. Read it only
// after the think has returned (the mate thread has then been joined).
uint64_t think_nodes(const Engine& e);

// Raises the process's scheduling priority as far as an ordinary process may (a lower nice value, down
// to the limit RLIMIT_NICE grants), never to a real-time class, which can freeze the desktop. A refusal
// is ignored. Called by every think; once raised it stays.
void raise_priority();

}  // namespace halvane
