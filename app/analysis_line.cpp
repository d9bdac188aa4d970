// Info lines to the window's analysis lines, with the evaluation turned to sente's side.
#include "app/analysis_line.h"

#include "core/sfen.h"

namespace halvane {

int sente_evaluation(const EngineInfo& info, int side_to_move) {
  const int sign = side_to_move == BLACK ? 1 : -1;
  if (info.score_kind == SCORE_CP) return sign * info.score;
  if (info.score_kind != SCORE_MATE) return NO_EVALUATION;
  // "mate 5": the side to move mates in five; "mate -4": it is mated in four. "mate +" and "mate -" tell
  // only who; "mate 0" is a mate already on the board, against the side to move.
  const int moves = info.mate_length_known ? (info.score < 0 ? -info.score : info.score) : 0;
  const bool mover_mates = info.score > 0;
  return mate_evaluation(moves, mover_mates == (side_to_move == BLACK));
}

bool analysis_line_from(const EngineInfo& info, const std::vector<MoveRecord>& pv, int side_to_move, AnalysisLine& out) {
  if (info.score_kind == SCORE_NONE && info.pv.empty()) return false;
  out = AnalysisLine{};
  out.multipv = info.multipv < 1 ? 1 : info.multipv;
  out.depth = info.depth;
  out.nodes = info.nodes;
  out.evaluation = sente_evaluation(info, side_to_move);
  out.moves = pv;
  out.first_mover = side_to_move;
  return true;
}

void keep_line(std::vector<AnalysisLine>& lines, const AnalysisLine& line) {
  if (static_cast<int>(lines.size()) < line.multipv) lines.resize(line.multipv);
  AnalysisLine& kept = lines[line.multipv - 1];
  // A score without a line (a bound while the search fails high) keeps the line it had.
  std::vector<MoveRecord> moves = line.moves.empty() ? kept.moves : line.moves;
  kept = line;
  kept.moves = std::move(moves);
}

}  // namespace halvane
