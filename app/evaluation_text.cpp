// Labels for evaluations and lines of moves, in the words players read in every shogi program.

#include "app/evaluation_text.h"

#include <cstdlib>

#include "core/evaluation.h"
#include "kif/kif_write.h"

namespace halvane {

std::string evaluation_verdict(int evaluation) {
  if (evaluation == NO_EVALUATION) return "";
  const char* side = evaluation > 0 ? "先手" : "後手";
  if (is_mate_evaluation(evaluation)) return std::string(side) + "勝ち";
  const int size = std::abs(evaluation);
  if (size < 300) return "互角";
  return std::string(side) + (size < 800 ? "有利" : size < 2000 ? "優勢" : "勝勢");
}

std::string evaluation_label(int evaluation) {
  if (evaluation == NO_EVALUATION) return "評価値 —";
  std::string number;
  if (is_mate_evaluation(evaluation))
    number = "詰み " + std::to_string(mate_moves(evaluation)) + "手";
  else
    number = (evaluation > 0 ? "+" : "") + std::to_string(evaluation);
  return "評価値 " + number + "（" + evaluation_verdict(evaluation) + "）";
}

std::string line_text(const std::vector<MoveRecord>& moves, int first_mover) {
  std::string text;
  for (size_t i = 0; i < moves.size(); ++i) {
    if (i > 0) text += ' ';
    text += ((first_mover + i) % 2 == 0) ? "▲" : "△";
    text += kif_move_name(moves[i], i > 0 ? &moves[i - 1] : nullptr);
  }
  return text;
}

}  // namespace halvane
