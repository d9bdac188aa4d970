// The move list widget: a copy of the game's lines taken under the drawing lock, shown line by line
// with the position on the board selected and scrolled into view.
#include "platform/move_list_view.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QThread>

#include "app/commands.h"
#include "app/render.h"

namespace halvane {

MoveListView::MoveListView(QWidget* parent, std::function<void(int)> line_chosen, std::function<void(int)> command)
    : QListWidget(parent), command_(std::move(command)) {
  setObjectName(QStringLiteral("move_list"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUniformItemSizes(true);
  connect(this, &QListWidget::itemClicked, this, [this, line_chosen](QListWidgetItem* item) { line_chosen(row(item)); });
}

void MoveListView::follow(const GameState& gs) {
  static MoveList copy;   // window thread only
  while (!try_lock_drawing()) QThread::msleep(1);
  const bool changed = gs.view.move_list.revision != shown_revision_;
  if (changed) copy = gs.view.move_list;
  unlock_drawing();
  if (!changed) return;
  shown_revision_ = copy.revision;

  const QSignalBlocker quiet(this);
  for (int i = 0; i < copy.count; ++i) {
    const QString text = QString::fromUtf16(copy.lines[i]);
    if (i < count()) {
      if (item(i)->text() != text) item(i)->setText(text);
    } else {
      addItem(text);
    }
  }
  while (count() > copy.count) delete takeItem(count() - 1);
  if (copy.current_line < 0 || copy.current_line >= count()) return;
  setCurrentRow(copy.current_line);
  // The closing line stays in view with the last position.
  if (copy.current_line + 2 == copy.count) scrollToItem(item(copy.count - 1));
  scrollToItem(item(copy.current_line));
}

void MoveListView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left: return command_(CMD_BACK);
    case Qt::Key_Down:
    case Qt::Key_Right: return command_(CMD_FORWARD);
    case Qt::Key_Home: return command_(CMD_FIRST);
    case Qt::Key_End: return command_(CMD_LAST);
    default: QListWidget::keyPressEvent(event);
  }
}

}  // namespace halvane
