// Sets up a mate solver from an SFEN (attacker to move, rotated so the attacker is GOTE) and runs it the
// way the think driver and the main search do; answers come back in USI text of the SFEN's own view.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/sfen.h"
#include "mate/mate_search.h"

namespace halvane::testing {

struct MateRun {
  bool found = false;        // mate_found after the run
  int len = 0;               // mate_len[0]
  int best_len = 0;          // best_mate_len: also set when the kept mate was refused
  std::string move;          // mate_move in USI, "" when none was kept
  uint64_t nodes = 0;
};

inline std::unique_ptr<MateSolver> solver_for(const std::string& sfen, EngineView* view_out = nullptr) {
  SfenPosition sp;
  std::string error;
  if (!parse_sfen(sfen, sp, error)) {
    ADD_FAILURE() << sfen << ": " << error;
    sp = SfenPosition{};   // an empty board: no king, no mate
    std::memset(sp.board, SQ_EMPTY, sizeof sp.board);
    sp.side_to_move = WHITE;
  }
  const EngineView view = engine_view(sp);
  if (view_out) *view_out = view;
  auto s = std::make_unique<MateSolver>();
  std::memcpy(s->pos.board, view.board, BOARD_CELLS);
  std::memcpy(s->pos.hand, view.hand, sizeof view.hand);
  s->ply = 0;
  arm_mate_solver(*s, MATE_DEPTH);
  return s;
}

inline MateRun read_result(const MateSolver& s, const EngineView& view) {
  MateRun r;
  r.found = s.mate_found.load(std::memory_order_acquire) == 1;
  r.len = s.mate_len[0];
  r.best_len = s.best_mate_len;
  if (s.best_mate_len != NO_MATE_LEN) r.move = move_to_usi(move_from_engine_view(view, s.mate_move));
  r.nodes = s.nodes;
  return r;
}

inline MateRun solve_mate(const std::string& sfen, int depth = MATE_DEPTH) {
  EngineView view;
  auto s = solver_for(sfen, &view);
  arm_mate_solver(*s, depth);
  run_mate_search(*s);
  return read_result(*s, view);
}

}  // namespace halvane::testing
