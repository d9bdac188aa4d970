// The evaluation graph's numbers: the record's evaluations along the line shown, clamped, broken where a
// position has none, and the mapping between moves and the plot's width.
#include "app/evaluation_graph.h"

#include <algorithm>
#include <cmath>

#include "app/record_play.h"
#include "core/evaluation.h"

namespace halvane {

namespace {

int width_in_plies(const EvaluationGraph& graph) { return std::max(graph.plies, GRAPH_MIN_PLIES); }

}  // namespace

int graph_value(int evaluation) {
  if (is_mate_evaluation(evaluation)) return evaluation > 0 ? GRAPH_LIMIT : -GRAPH_LIMIT;
  return std::clamp(evaluation, -GRAPH_LIMIT, GRAPH_LIMIT);
}

EvaluationGraph evaluation_graph(const GameRecord& record, const std::vector<int>& line, int current_ply) {
  EvaluationGraph graph;
  graph.plies = line.empty() ? 0 : static_cast<int>(line.size()) - 1;
  graph.current_ply = std::clamp(current_ply, 0, graph.plies);
  bool in_run = false;
  for (size_t ply = 0; ply < line.size(); ++ply) {
    const int evaluation = record.nodes[line[ply]].evaluation;
    if (evaluation == NO_EVALUATION) {
      in_run = false;
      continue;
    }
    if (!in_run) graph.runs.emplace_back();
    in_run = true;
    graph.runs.back().push_back({static_cast<int>(ply), graph_value(evaluation), is_mate_evaluation(evaluation),
                                  evaluation});
  }
  return graph;
}

EvaluationGraph evaluation_graph(const GameState& gs) {
  return evaluation_graph(gs.game.record, shown_line(gs), cursor_ply(gs));
}

const GraphPoint* graph_point(const EvaluationGraph& graph, int ply) {
  for (const auto& run : graph.runs)
    if (!run.empty() && run.front().ply <= ply && ply <= run.back().ply) return &run[ply - run.front().ply];
  return nullptr;
}

double graph_x(const EvaluationGraph& graph, int ply) { return double(ply) / width_in_plies(graph); }

double graph_y(int value) { return 0.5 - 0.5 * double(std::clamp(value, -GRAPH_LIMIT, GRAPH_LIMIT)) / GRAPH_LIMIT; }

int graph_ply_at(const EvaluationGraph& graph, double x) {
  const long ply = std::lround(x * width_in_plies(graph));
  return static_cast<int>(std::clamp<long>(ply, 0, graph.plies));
}

}  // namespace halvane
