// One line of an analyst's thinking as the window shows it: its depth and nodes, the evaluation of the
// position from sente's side (USI sends it from the side to move's), and the best line as moves. Made
// from an engine's info line; several of them, by multipv index, when the analyst shows several.
#pragma once

#include <vector>

#include "core/evaluation.h"
#include "core/types.h"
#include "engine_client/engine_answer.h"

namespace halvane {

struct AnalysisLine {
  int multipv = 1;                 // 1 the best line
  int depth = -1;                  // -1: not said
  long long nodes = -1;
  int evaluation = NO_EVALUATION;  // core/evaluation.h: sente's view
  std::vector<MoveRecord> moves;   // the legal beginning of the engine's best line
  int first_mover = 0;             // BLACK or WHITE: the side to move where the line starts
};

// The evaluation an info line gives, turned to sente's view for a position with `side_to_move` to move;
// NO_EVALUATION when it gives none. A mate whose length is not said counts as a mate at once.
int sente_evaluation(const EngineInfo& info, int side_to_move);

// The line an info line tells, or false for one that tells no line (only the move searched, a string).
bool analysis_line_from(const EngineInfo& info, const std::vector<MoveRecord>& pv, int side_to_move, AnalysisLine& out);

// Keeps `line` among `lines` by its multipv index: a line of another depth replaces the one it follows.
void keep_line(std::vector<AnalysisLine>& lines, const AnalysisLine& line);

}  // namespace halvane
