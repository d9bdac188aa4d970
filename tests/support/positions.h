// Positions for the engine tests: Engines at a strength, SFEN text parsed, rotated into the engine's view
// or loaded untouched (black's pieces are SENTE's), and random positions reached by random legal play.
#pragma once

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/effects.h"
#include "search/engine.h"
#include "think/engine_init.h"
#include "core/sfen.h"
#include "search/perft.h"

namespace halvane::testing {

inline std::unique_ptr<Engine> make_engine(const Strength& strength = STRENGTH_GEKIKARA) {
  auto e = std::make_unique<Engine>();
  engine_init(*e, strength);
  return e;
}

inline SfenPosition parse(std::string_view text) {
  SfenPosition pos{};
  std::string error;
  EXPECT_TRUE(parse_sfen(text, pos, error)) << text << ": " << error;
  return pos;
}

// The position as the engine sees it: the side to move is GOTE.
inline EngineView view_of(std::string_view text) { return engine_view(parse(text)); }

inline void cells_of(const SfenPosition& pos, uint8_t board[BOARD_CELLS]) {
  clear_board(board);
  for (int i = 0; i < 81; ++i) board[cell_of(i % 9, i / 9)] = pos.board[i];
}

// Loads the position as written (no turn) with its effect maps; returns the side to move in engine codes.
inline int load_untouched(Engine& e, const SfenPosition& pos) {
  uint8_t board[BOARD_CELLS];
  cells_of(pos, board);
  perft_load(e, board, pos.hand[BLACK], pos.hand[WHITE]);
  return pos.side_to_move == BLACK ? SENTE : GOTE;
}

inline void collect_moves(void* context, const MoveRecord& move, uint64_t) {
  static_cast<std::vector<MoveRecord>*>(context)->push_back(move);
}

// Plays up to `plies` random legal moves from the initial position; stops early at a position without
// moves. Every position on the way is appended to `out`.
inline void random_game(std::mt19937& rng, int plies, std::vector<SfenPosition>& out) {
  auto probe = make_engine();
  SfenPosition pos = startpos();
  for (int i = 0; i < plies; ++i) {
    std::vector<MoveRecord> moves;
    load_untouched(*probe, pos);
    perft(*probe, pos.side_to_move == BLACK ? SENTE : GOTE, 1, collect_moves, &moves);
    if (moves.empty()) return;
    // Prefer captures now and then, so that hands fill and drops appear.
    MoveRecord m = moves[rng() % moves.size()];
    for (const MoveRecord& c : moves)
      if (c.captured != SQ_EMPTY && rng() % 3 == 0) m = c;
    apply_move(pos, m);
    out.push_back(pos);
  }
}

}  // namespace halvane::testing
