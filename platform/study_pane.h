// The 検討 pane, docked under the board: the analyst's lines as text the window thread sets; and the
// progress dialog of 棋譜解析, whose cancel button stops it.
#pragma once

#include <QDockWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <functional>

namespace halvane {

class StudyPane : public QDockWidget {
 public:
  explicit StudyPane(QWidget* parent);
  // Shows the text (hidden when it is empty).
  void show_text(const QString& text);

 private:
  QPlainTextEdit* text_;
};

class AnalysisProgress {
 public:
  AnalysisProgress(QWidget* owner, std::function<void()> cancel) : owner_(owner), cancel_(std::move(cancel)) {}
  // `done` of `total`; a total of 0 closes the dialog.
  void show(int done, int total);

 private:
  QWidget* owner_;
  std::function<void()> cancel_;
  QProgressDialog* dialog_ = nullptr;
};

}  // namespace halvane
