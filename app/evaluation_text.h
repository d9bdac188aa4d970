// How an evaluation (core/evaluation.h: centipawns from sente's side, or a mate) and a line of moves read
// wherever the window shows them: "評価値 +350（先手有利）", "評価値 詰み 7手（後手勝ち）", "▲７六歩 △３四歩 ▲２六歩".
#pragma once

#include <string>
#include <vector>

#include "core/types.h"

namespace halvane {

// The labelled evaluation, UTF-8; "評価値 —" for NO_EVALUATION.
std::string evaluation_label(int evaluation);
// The word for who stands better: "互角" below 300, then 有利, 優勢 (800), 勝勢 (2000), and "先手勝ち" or
// "後手勝ち" for a mate; with the side first ("先手有利").
std::string evaluation_verdict(int evaluation);
// Moves played one after the other from a position with `first_mover` (BLACK or WHITE) to move, named as
// the move list names them, each with its side's mark, separated by spaces; a capture on the square of
// the move before it is named "同".
std::string line_text(const std::vector<MoveRecord>& moves, int first_mover);

}  // namespace halvane
