// The initial position, the one home of it: the board that the game, the engine's notation and the
// opening book all start from. Rows from the computer's (GOTE's) back row down, columns from 0.
#pragma once

#include "core/types.h"

namespace halvane {

namespace initial_position_detail {
constexpr int G = GOTE_BIT, E = SQ_EMPTY;
inline constexpr int BOARD[9][9] = {
    {LANCE + G, KNIGHT + G, SILVER + G, GOLD + G, KING + G, GOLD + G, SILVER + G, KNIGHT + G, LANCE + G},
    {E, ROOK + G, E, E, E, E, E, BISHOP + G, E},
    {PAWN + G, PAWN + G, PAWN + G, PAWN + G, PAWN + G, PAWN + G, PAWN + G, PAWN + G, PAWN + G},
    {E, E, E, E, E, E, E, E, E},
    {E, E, E, E, E, E, E, E, E},
    {E, E, E, E, E, E, E, E, E},
    {PAWN, PAWN, PAWN, PAWN, PAWN, PAWN, PAWN, PAWN, PAWN},
    {E, BISHOP, E, E, E, E, E, ROOK, E},
    {LANCE, KNIGHT, SILVER, GOLD, KING, GOLD, SILVER, KNIGHT, LANCE},
};
}  // namespace initial_position_detail

// The human's pieces (SENTE) are the plain codes at the bottom, the computer's carry GOTE_BIT at the top.
// The position is its own 180-degree rotation with the owners exchanged, so it serves whichever side moves
// first; both hands start empty.
inline constexpr const int (&INITIAL_POSITION)[9][9] = initial_position_detail::BOARD;

}  // namespace halvane
