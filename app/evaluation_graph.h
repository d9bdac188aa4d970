// The evaluation graph under the move list: the evaluations kept in the record for the line the list
// shows, as the points the window draws (evaluation over move number, sente's advantage upwards), the
// move on the board marked, and a click's place turned back into a move. The window only scales these
// numbers to its pixels; everything a player can read off the graph is decided here.
#pragma once

#include <vector>

#include "app/game_state.h"

namespace halvane {

constexpr int GRAPH_LIMIT = 3000;       // the graph's top and bottom: larger evaluations stand at the edge
constexpr int GRAPH_MIN_PLIES = 40;     // the moves the width stands for at least, so a short game is not stretched

struct GraphPoint {
  int ply;      // moves from the start of the line
  int value;    // the evaluation clamped to ±GRAPH_LIMIT; a mate stands at the edge of its side
  bool mate;    // the position is a mate for one side
  int evaluation;   // the record's own value, for the label of the point
};

// The graph of a line: runs of points on consecutive moves (a move without an evaluation breaks the
// line drawn between its neighbours), the width in moves, and the move on the board.
struct EvaluationGraph {
  std::vector<std::vector<GraphPoint>> runs;
  int plies = 0;          // the line's moves; the width stands for max(plies, GRAPH_MIN_PLIES)
  int current_ply = 0;    // the position on the board
};

// A record's evaluation as the graph shows it: clamped to ±GRAPH_LIMIT, a mate at the edge.
int graph_value(int evaluation);

// The graph of the positions of `line` (node indices from the start, as the move list shows them).
EvaluationGraph evaluation_graph(const GameRecord& record, const std::vector<int>& line, int current_ply);
// The graph of the line the move list shows, the cursor marked.
EvaluationGraph evaluation_graph(const GameState& gs);

// The point of move `ply`, or null where the graph has none.
const GraphPoint* graph_point(const EvaluationGraph& graph, int ply);

// Where a move and a value stand in the plot, as fractions of its width (0 the start, 1 the right edge)
// and height (0 the top, +GRAPH_LIMIT; 1 the bottom, -GRAPH_LIMIT).
double graph_x(const EvaluationGraph& graph, int ply);
double graph_y(int value);
// The move of the line a click at width fraction `x` goes to: the nearest one, never past the line's end.
int graph_ply_at(const EvaluationGraph& graph, double x);

}  // namespace halvane
