// The window-system operations the game asks for, on Qt: events queued to the window thread, repaint
// requests, button captions, modal message boxes, the KIF file dialogs (which remember their folder between
// runs in the settings file) and closing the main window.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QMetaObject>

#include "platform/main_window.h"
#include "platform/new_game_dialog.h"
#include "platform/settings.h"
#include "app/ui.h"

namespace halvane {

namespace {

// Any record the program reads can be opened, whatever it is called: the content tells its format.
const QString OPEN_FILTER = QStringLiteral("棋譜ファイル (*.kif *.kifu *.ki2 *.csa *.sfen *.usi);;すべてのファイル (*)");
// A record is saved in the format its name's extension says; the filter chosen gives a name without one
// its extension.
const QStringList SAVE_FILTERS = {QStringLiteral("KIF (*.kif)"),   QStringLiteral("KIF UTF-8 (*.kifu)"),
                                  QStringLiteral("KI2 (*.ki2)"),   QStringLiteral("CSA (*.csa)"),
                                  QStringLiteral("SFEN (*.sfen)"), QStringLiteral("USI (*.usi)")};

// The folder the last KIF file was opened from or saved to, kept in the user's settings.
QString last_folder() {
  const QString folder = QFile::decodeName(saved_settings().kif_folder.c_str());
  return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::currentPath();
}

bool run_file_dialog(QFileDialog& dialog, std::string& path) {
  dialog.setObjectName(QStringLiteral("kif_file_dialog"));
  dialog.setDirectory(last_folder());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  const QString chosen = dialog.selectedFiles().first();
  // Remembering the folder is a convenience: a failure is not worth a box between the dialog and the file.
  const std::string folder = QFile::encodeName(QFileInfo(chosen).absolutePath()).toStdString();
  change_settings([&folder](Settings& settings) { settings.kif_folder = folder; });
  path = QFile::encodeName(chosen).toStdString();
  return true;
}

}  // namespace

void post_to_window(std::function<void()> event) {
  // Queued to the window thread's event loop; before the window exists, to the application's.
  QObject* receiver = main_window();
  if (!receiver) receiver = qApp;
  QMetaObject::invokeMethod(receiver, std::move(event), Qt::QueuedConnection);
}

void request_repaint() {
  if (MainWindow* window = main_window()) window->show_repaint();
}

void show_game_end_box(const char16_t* text, const char16_t* caption) {
  MainWindow* window = main_window();
  if (!window) return;
  const QString shown = QString::fromUtf16(text), title = QString::fromUtf16(caption);
  QMetaObject::invokeMethod(window, [window, shown, title] { window->tell_game_end(shown, title); },
                            Qt::QueuedConnection);
}

void set_button_caption(int id, const char16_t* caption) {
  MainWindow* window = main_window();
  if (!window) return;
  if (QPushButton* button = window->button(id)) button->setText(QString::fromUtf16(caption));
}

BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons) {
  static constexpr QMessageBox::Icon ICONS[] = {QMessageBox::Information, QMessageBox::Question,
                                                QMessageBox::Warning, QMessageBox::Critical};
  QMessageBox::StandardButtons choice = QMessageBox::Ok;
  if (buttons == BOX_YES_NO) choice = QMessageBox::Yes | QMessageBox::No;
  if (buttons == BOX_SAVE_DISCARD_CANCEL) choice = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
  QMessageBox box(ICONS[icon], QString::fromUtf16(caption), QString::fromUtf16(text), choice, main_window());
  box.setObjectName(QStringLiteral("message_box"));
  if (buttons == BOX_SAVE_DISCARD_CANCEL) {
    // The words of the question itself, whatever Qt's translation calls these buttons.
    box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存しない"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    const int pressed = box.exec();
    // Closing the box without choosing is キャンセル.
    return pressed == QMessageBox::Save ? ANSWER_YES : pressed == QMessageBox::Discard ? ANSWER_NO : ANSWER_CANCEL;
  }
  if (buttons == BOX_ADD_TO_RECORD) {
    // A line to keep: its moves can be selected and copied from the box as well.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.setStandardButtons(QMessageBox::NoButton);
    QPushButton* add = box.addButton(QStringLiteral("棋譜に追加"), QMessageBox::AcceptRole);
    QPushButton* close = box.addButton(QStringLiteral("閉じる"), QMessageBox::RejectRole);
    add->setObjectName(QStringLiteral("add_to_record"));
    box.setDefaultButton(close);
    box.setEscapeButton(close);
    box.exec();
    return box.clickedButton() == add ? ANSWER_YES : ANSWER_NO;
  }
  const int pressed = box.exec();
  if (buttons == BOX_OK) return ANSWER_OK;
  // Closing a Yes/No box without choosing counts as No.
  return pressed == QMessageBox::Yes ? ANSWER_YES : ANSWER_NO;
}

bool open_file_dialog(std::string& path) {
  QFileDialog dialog(main_window(), QStringLiteral("開く"), QString(), OPEN_FILTER);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return run_file_dialog(dialog, path);
}

bool save_file_dialog(std::string& path) {
  QFileDialog dialog(main_window(), QStringLiteral("名前を付けて保存"));
  dialog.setNameFilters(SAVE_FILTERS);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // A name typed without an extension gets the chosen filter's (KIF's at first); an existing file is
  // replaced only after asking.
  dialog.setDefaultSuffix(QStringLiteral("kif"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    const qsizetype dot = filter.indexOf(QStringLiteral("*.")), close = filter.indexOf(')', dot);
    if (dot >= 0 && close > dot) dialog.setDefaultSuffix(filter.mid(dot + 2, close - dot - 2));
  });
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  return run_file_dialog(dialog, path);
}

bool new_game_dialog(NewGameChoice& choice) {
  MainWindow* window = main_window();
  const int before = choice.level;
  const ClockSettings clock_before = choice.clock;
  const int opponent_before = choice.opponent;
  if (!run_new_game_dialog(window, choice)) return false;
  if (choice.opponent != opponent_before) {
    const int chosen = choice.opponent;
    remember_setting([chosen](Settings& settings) { settings.engines.opponent = chosen; });
  }
  if (window && choice.level != before) window->remember_level(choice.level);
  if (window && !(choice.clock == clock_before)) {
    const ClockSettings chosen = choice.clock;
    remember_setting([chosen](Settings& settings) { settings.clock = chosen; });
  }
  return true;
}

std::string clipboard_text() { return QApplication::clipboard()->text().toStdString(); }

void set_clipboard_text(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

void show_position_editor(bool shown) {
  if (MainWindow* window = main_window()) window->show_position_editor(shown);
}

void show_study_pane(const std::string& text) {
  if (MainWindow* window = main_window()) window->show_study_text(QString::fromStdString(text));
}

void show_analysis_progress(int done, int total) {
  if (MainWindow* window = main_window()) window->show_analysis_progress(done, total);
}

bool ask_analysis_seconds(double& seconds) {
  bool ok = false;
  const double chosen = QInputDialog::getDouble(main_window(), QStringLiteral("棋譜解析"),
                                                QStringLiteral("1局面あたりの思考時間（秒）"), seconds, 0.1, 600, 1, &ok);
  if (ok) seconds = chosen;
  return ok;
}

void set_window_title(const char16_t* title) {
  if (MainWindow* window = main_window()) window->setWindowTitle(QString::fromUtf16(title));
}

void close_main_window() {
  if (MainWindow* window = main_window()) window->close();
}

}  // namespace halvane
