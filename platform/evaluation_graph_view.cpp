// The evaluation graph drawn: a frame, the zero line and the ±1000 and ±2000 lines, move numbers below,
// each run of evaluations as a line with the area to the zero line tinted for the side ahead (sente's
// above, gote's below), mates as dots on the edge, and the move on the board as an upright line. Every
// stroke is a vector drawn at the widget's own size, so the graph is as sharp at any scale and pixel ratio.
#include "platform/evaluation_graph_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "app/evaluation_text.h"

namespace halvane {

namespace {

const QColor BACKGROUND(252, 250, 244);
const QColor FRAME(150, 140, 120);
const QColor GRID(215, 208, 192);
const QColor LINE(40, 60, 120);
const QColor SENTE_AREA(70, 110, 200, 70);
const QColor GOTE_AREA(200, 80, 70, 70);
const QColor MATE_DOT(200, 40, 40);
const QColor CURRENT(220, 60, 30);

// The move numbers' spacing: 10 moves apart when there is room, else 20 or 50.
int tick_spacing(double pixels_per_ply, double label_width) {
  for (int step : {10, 20, 50, 100})
    if (step * pixels_per_ply >= label_width * 1.5) return step;
  return 200;
}

}  // namespace

EvaluationGraphView::EvaluationGraphView(QWidget* parent, std::function<void(int)> line_chosen)
    : QWidget(parent), line_chosen_(std::move(line_chosen)) {
  setObjectName(QStringLiteral("evaluation_graph"));
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
}

void EvaluationGraphView::follow(const GameState& gs) {
  EvaluationGraph graph = evaluation_graph(gs);
  const auto same_point = [](const GraphPoint& a, const GraphPoint& b) {
    return a.ply == b.ply && a.evaluation == b.evaluation;
  };
  const bool same = graph.plies == graph_.plies && graph.current_ply == graph_.current_ply &&
                    std::equal(graph.runs.begin(), graph.runs.end(), graph_.runs.begin(), graph_.runs.end(),
                               [&](const auto& a, const auto& b) {
                                 return std::equal(a.begin(), a.end(), b.begin(), b.end(), same_point);
                               });
  if (same) return;
  graph_ = std::move(graph);
  update();
}

QRectF EvaluationGraphView::plot_area() const {
  const QFontMetricsF metrics(font());
  const double left = metrics.horizontalAdvance(QStringLiteral("-3000")) + metrics.height() * 0.4;
  const double top = metrics.height() * 0.5, bottom = metrics.height() * 1.1, right = metrics.height() * 0.5;
  return QRectF(left, top, std::max(1.0, width() - left - right), std::max(1.0, height() - top - bottom));
}

int EvaluationGraphView::ply_at(double x) const {
  const QRectF plot = plot_area();
  return graph_ply_at(graph_, (x - plot.left()) / plot.width());
}

void EvaluationGraphView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), BACKGROUND);
  const QRectF plot = plot_area();
  const auto at_x = [&](int ply) { return plot.left() + graph_x(graph_, ply) * plot.width(); };
  const auto at_y = [&](int value) { return plot.top() + graph_y(value) * plot.height(); };
  const QFontMetricsF metrics(font());
  const double thin = std::max(1.0, metrics.height() / 16.0);

  // 1. The value lines and their labels: 0 solid, ±1000 and ±2000 dashed, ±3000 the frame.
  for (int value = -GRAPH_LIMIT; value <= GRAPH_LIMIT; value += 1000) {
    const double y = at_y(value);
    QPen pen(value == 0 ? FRAME : GRID, thin, value == 0 || std::abs(value) == GRAPH_LIMIT ? Qt::SolidLine : Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    if (value % 3000 != 0) continue;   // labels at the top, the middle and the bottom only
    painter.setPen(FRAME);
    const QString label = value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value);
    const QRectF box(0, y - metrics.height() / 2, plot.left() - metrics.height() * 0.2, metrics.height());
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
  }
  // 2. Move numbers under the plot.
  const double per_ply = plot.width() / std::max(graph_.plies, GRAPH_MIN_PLIES);
  const int step = tick_spacing(per_ply, metrics.horizontalAdvance(QStringLiteral("000")));
  for (int ply = step; ply <= std::max(graph_.plies, GRAPH_MIN_PLIES); ply += step) {
    const double x = at_x(ply);
    painter.setPen(QPen(GRID, thin, Qt::DotLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(FRAME);
    painter.drawText(QRectF(x - 40, plot.bottom(), 80, height() - plot.bottom()), Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(ply));
  }
  painter.setPen(QPen(FRAME, thin));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);

  // 3. Each run: the area between it and the zero line, tinted by side, then the line itself.
  const double zero = at_y(0);
  painter.save();
  painter.setClipRect(plot);
  for (const auto& run : graph_.runs) {
    QPainterPath line, area;
    area.moveTo(at_x(run.front().ply), zero);
    for (const GraphPoint& p : run) {
      const QPointF at(at_x(p.ply), at_y(p.value));
      if (&p == &run.front()) line.moveTo(at); else line.lineTo(at);
      area.lineTo(at);
    }
    area.lineTo(at_x(run.back().ply), zero);
    area.closeSubpath();
    painter.setPen(Qt::NoPen);
    // Above the zero line the area is sente's, below gote's.
    painter.save();
    painter.setClipRect(QRectF(plot.left(), plot.top(), plot.width(), zero - plot.top()), Qt::IntersectClip);
    painter.fillPath(area, SENTE_AREA);
    painter.restore();
    painter.save();
    painter.setClipRect(QRectF(plot.left(), zero, plot.width(), plot.bottom() - zero), Qt::IntersectClip);
    painter.fillPath(area, GOTE_AREA);
    painter.restore();
    // A lone evaluation between gaps is a dot, so that it is seen.
    if (run.size() == 1) {
      painter.setBrush(LINE);
      painter.drawEllipse(line.currentPosition(), thin * 1.8, thin * 1.8);
      continue;
    }
    painter.setPen(QPen(LINE, thin * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(line);
  }
  painter.restore();
  // 4. Mates: a dot on the edge of the mating side.
  painter.setPen(Qt::NoPen);
  painter.setBrush(MATE_DOT);
  for (const auto& run : graph_.runs)
    for (const GraphPoint& p : run)
      if (p.mate) painter.drawEllipse(QPointF(at_x(p.ply), at_y(p.value)), thin * 2.5, thin * 2.5);
  // 5. The move on the board.
  painter.setPen(QPen(CURRENT, thin * 1.5));
  const double x = at_x(graph_.current_ply);
  painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
}

void EvaluationGraphView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  line_chosen_(ply_at(event->position().x()));
}

void EvaluationGraphView::mouseMoveEvent(QMouseEvent* event) {
  // The move under the pointer and its evaluation, as the label everywhere else reads.
  const int ply = ply_at(event->position().x());
  const GraphPoint* point = graph_point(graph_, ply);
  const QString text = QStringLiteral("%1手目 ").arg(ply) +
                       QString::fromStdString(evaluation_label(point ? point->evaluation : NO_EVALUATION));
  QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

}  // namespace halvane
