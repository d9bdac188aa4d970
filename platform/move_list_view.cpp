// The record's widgets: the game's lines shown line by line with the position on the board selected and
// scrolled into view (the closing line always whole), the alternatives of the move on the board, and its
// comments. Window thread only, as the game they read.
#include "platform/move_list_view.h"

#include <QKeyEvent>
#include <QSignalBlocker>

#include "app/commands.h"
#include "app/record_view.h"

namespace halvane {

MoveListView::MoveListView(QWidget* parent, std::function<void(int)> line_chosen, std::function<void(int)> command)
    : QListWidget(parent), command_(std::move(command)) {
  setObjectName(QStringLiteral("move_list"));
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A line longer than the list is wide ("まで123手で後手の反則勝ち") wraps instead of being cut off.
  setWordWrap(true);
  setTextElideMode(Qt::ElideNone);
  connect(this, &QListWidget::itemClicked, this, [this, line_chosen](QListWidgetItem* item) { line_chosen(row(item)); });
}

void MoveListView::follow(const GameState& gs) {
  const MoveList& list = gs.view.move_list;
  if (list.revision == shown_revision_) return;
  shown_revision_ = list.revision;

  const QSignalBlocker quiet(this);
  const int lines = static_cast<int>(list.lines.size());
  for (int i = 0; i < lines; ++i) {
    const QString text = QString::fromStdU16String(list.lines[i]);
    if (i < count()) {
      if (item(i)->text() != text) item(i)->setText(text);
    } else {
      addItem(text);
    }
    item(i)->setToolTip(i < int(list.tips.size()) ? QString::fromStdU16String(list.tips[i]) : QString());
  }
  while (count() > lines) delete takeItem(count() - 1);
  if (list.current_line < 0 || list.current_line >= count()) return;
  setCurrentRow(list.current_line);
  // The closing line stays in view, whole, with the last position.
  if (list.current_line + 2 == lines) scrollToItem(item(lines - 1), QAbstractItemView::EnsureVisible);
  scrollToItem(item(list.current_line), QAbstractItemView::EnsureVisible);
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

AlternativesView::AlternativesView(QWidget* parent, std::function<void(int)> chosen) : QComboBox(parent) {
  setObjectName(QStringLiteral("alternatives"));
  setToolTip(QStringLiteral("この手の変化"));
  connect(this, &QComboBox::activated, this, [this, chosen](int index) {
    if (index >= 0) chosen(itemData(index).toInt());
  });
}

void AlternativesView::follow(const GameState& gs) {
  if (gs.game.revision == shown_revision_ && gs.game.cursor == shown_cursor_) return;
  shown_revision_ = gs.game.revision;
  shown_cursor_ = gs.game.cursor;
  const QSignalBlocker quiet(this);
  clear();
  for (const Alternative& a : alternatives_here(gs)) {
    addItem(QString::fromStdU16String(a.text), a.node);
    if (a.node == gs.game.cursor) setCurrentIndex(count() - 1);
  }
  setEnabled(count() > 1);
}

CommentsView::CommentsView(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("comments"));
  setReadOnly(true);
  setPlaceholderText(QStringLiteral("コメント"));
}

void CommentsView::follow(const GameState& gs) {
  const QString text = QString::fromStdU16String(comments_here(gs));
  if (toPlainText() != text) setPlainText(text);
}

}  // namespace halvane
