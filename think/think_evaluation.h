// The evaluation a player reads of a think (core/evaluation.h): the material on the think's root position
// at the engine's own piece values, plus the change the think found, from sente's side; a mate as a mate.
// The think facade fills ThinkResult::evaluation and CompletedThink::evaluation with it.
#pragma once

#include <cstdint>

#include "think/think.h"

namespace halvane {

// Every piece on the board and in both hands at the engine's values, SENTE's minus GOTE's, in centipawns
// (a pawn 100). `board` and `hand` as in a ThinkRequest.
int material_balance(const uint8_t board[BOARD_CELLS], const uint8_t hand[2][8]);

// The evaluation of a think on `request` (its own coordinates, before any rotation) that answered `move`
// with `score` (ThinkResult::score): NO_EVALUATION for a book move or no move at all.
int think_evaluation(const ThinkRequest& request, const MoveRecord& move, int score);

}  // namespace halvane
