// Perft: counts the legal move sequences of a given length with the search's own generators, adding the
// rules' legality tests that the search leaves to its king-capture scores (the mover's king must not be
// left attacked, no mate by dropping a pawn). The USI front end's `go perft` and the tests use it.
#pragma once

#include <cstdint>

#include "search/engine.h"
#include "core/sfen.h"

namespace halvane {

// Loads a position into the Engine's main search position and builds its effect maps.
void perft_load(Engine& e, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                const uint8_t gote_hand[8]);

// Called once per legal root move with the number of leaves below it.
using PerftReport = void (*)(void* context, const MoveRecord& move, uint64_t count);

// The number of legal sequences of `depth` moves from the loaded position with `side` to move (SENTE or
// GOTE, in engine codes). `report`, when given, receives each root move (engine coordinates) and its count.
uint64_t perft(Engine& e, int side, int depth, PerftReport report = nullptr, void* context = nullptr);

// The same for a SFEN position, searched as the engine sees it (the computer's generators, the board
// rotated when black is to move); the reported moves are in the position's own coordinates.
uint64_t perft_position(Engine& e, const SfenPosition& pos, int depth, PerftReport report = nullptr,
                        void* context = nullptr);

}  // namespace halvane
