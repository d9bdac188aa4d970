// The 検討 pane and 棋譜解析's progress dialog.
#include "platform/study_pane.h"

#include <QFont>
#include <QTimer>

namespace halvane {

StudyPane::StudyPane(QWidget* parent) : QDockWidget(QStringLiteral("検討"), parent) {
  setObjectName(QStringLiteral("study_pane"));
  setFeatures(QDockWidget::NoDockWidgetFeatures);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("study_text"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text_->setMinimumHeight(150);
  // The lines as large as the move list's, so that a long line of moves still reads at a glance.
  QFont font = text_->font();
  font.setPixelSize(15);
  text_->setFont(font);
  setWidget(text_);
  hide();
}

void StudyPane::show_text(const QString& text) {
  if (text.isEmpty()) {
    if (!isVisible()) return;
    hide();
    // The window gives the pane's room back to the desktop.
    if (QWidget* window = parentWidget()) QTimer::singleShot(0, window, [window] { window->adjustSize(); });
    return;
  }
  // Only a change is drawn again, so that a line read or selected does not jump under the cursor.
  if (text_->toPlainText() != text) text_->setPlainText(text);
  if (!isVisible()) show();
}

void AnalysisProgress::show(int done, int total) {
  if (total <= 0) {
    if (dialog_) dialog_->deleteLater();
    dialog_ = nullptr;
    return;
  }
  if (!dialog_) {
    dialog_ = new QProgressDialog(QStringLiteral("棋譜解析中…"), QStringLiteral("中止"), 0, total, owner_);
    dialog_->setObjectName(QStringLiteral("analysis_progress"));
    dialog_->setWindowTitle(QStringLiteral("棋譜解析"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    QObject::connect(dialog_, &QProgressDialog::canceled, owner_, [this] { cancel_(); });
  }
  dialog_->setMaximum(total);
  dialog_->setValue(done);
  dialog_->setLabelText(QStringLiteral("棋譜解析中… %1 / %2 局面").arg(done).arg(total));
  dialog_->show();
}

}  // namespace halvane
