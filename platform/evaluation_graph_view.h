// The evaluation graph under the move list: the numbers app/evaluation_graph.h decides, drawn with vector
// strokes at the widget's own scale and pixel ratio; a click goes to the move under it, as the move list's
// line does.
#pragma once

#include <QWidget>
#include <functional>

#include "app/evaluation_graph.h"

namespace halvane {

// Where it stands in the design: under the status line and the comments, as wide as the board, the
// hands and the move list together.
inline constexpr int GRAPH_X = 0, GRAPH_Y = 424, GRAPH_WIDTH = 804, GRAPH_HEIGHT = 100;

class EvaluationGraphView : public QWidget {
 public:
  // `line_chosen` takes the move clicked: k is the position after k moves of the line shown.
  EvaluationGraphView(QWidget* parent, std::function<void(int)> line_chosen);
  // Draws the game's graph again when anything it shows has changed.
  void follow(const GameState& gs);
  const EvaluationGraph& graph() const { return graph_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // The plot inside the frame, leaving room for the value labels on the left and the move numbers below.
  QRectF plot_area() const;
  // The move a widget x falls on.
  int ply_at(double x) const;

  std::function<void(int)> line_chosen_;
  EvaluationGraph graph_;
};

}  // namespace halvane
