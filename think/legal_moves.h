// Legal moves and perft counts of a game position, by the engine's own generators and legality tests
// (own king never left attacked, no pawn-drop mate). The front ends check every move they are given
// against them. Each works in the main-search part of an Engine that no think is using at the time.
#pragma once

#include <cstdint>

#include "core/sfen.h"
#include "think/think.h"

namespace halvane {

constexpr int MAX_LEGAL_MOVES = 600;   // no shogi position has more than 593

// The legal moves of the side to move, in the position's coordinates and the generators' order.
int legal_moves(Engine& scratch, const SfenPosition& pos, MoveRecord out[MAX_LEGAL_MOVES]);

// True when `move` (as parse_usi_move reads it) is among the legal moves.
bool is_legal_move(Engine& scratch, const SfenPosition& pos, const MoveRecord& move);

// Whether two records name the same move (origin, destination, piece before and after).
bool same_move(const MoveRecord& a, const MoveRecord& b);

// True when the side to move attacks the other side's king: a position that no game can reach.
bool opponent_king_attacked(Engine& scratch, const SfenPosition& pos);

// Leaf positions `depth` plies below the position.
uint64_t count_leaves(Engine& scratch, const SfenPosition& pos, int depth);

}  // namespace halvane
