// The engine settings dialog and its options dialog. An engine's "usi" answer is read on a thread of its
// own while the dialog keeps answering (an engine that never answers is timed out by the client).
#include "platform/engine_settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>
#include <thread>

#include "app/engine_probe.h"
#include "app/settings_file.h"

namespace halvane {

namespace {

QString text_of(const std::string& utf8) { return QString::fromStdString(utf8); }

// Reads the engine's "usi" answer on a thread while the window's events go on; true with `engine` filled.
bool probe_waiting(QWidget* owner, const std::string& path, RegisteredEngine& engine) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  bool found = false;
  std::string message;
  std::thread prober([&] {
    found = probe_engine(path, engine, message);
    QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  prober.join();
  QApplication::restoreOverrideCursor();
  if (!found) QMessageBox::warning(owner, QStringLiteral("エンジン設定"), text_of(message));
  return found;
}

// The list's line of an engine: its name, the analyst marked, the own engine said so.
QString engine_line(const EngineList& list, int index) {
  const RegisteredEngine& engine = list.engines[index];
  QString line = text_of(engine.name.empty() ? OWN_ENGINE_NAME : engine.name);
  if (index == 0) line += QStringLiteral("（内蔵）");
  line += QStringLiteral("  ") + text_of(engine.path);
  if (index == list.analyst) line = QStringLiteral("★ ") + line;
  return line;
}

// One option's field, and how its value is read back.
struct OptionField {
  UsiOption* option;
  std::function<std::string()> value;
};

OptionField option_field(QWidget* parent, QFormLayout* form, UsiOption& option) {
  const QString name = text_of(option.name);
  switch (option.type) {
    case OPTION_CHECK: {
      auto* box = new QCheckBox(parent);
      box->setChecked(option.value == "true");
      form->addRow(name, box);
      return {&option, [box] { return std::string(box->isChecked() ? "true" : "false"); }};
    }
    case OPTION_SPIN: {
      // A spin box holds an int: a range beyond it is cut to what it holds.
      constexpr long long LOW = std::numeric_limits<int>::min(), HIGH = std::numeric_limits<int>::max();
      auto* spin = new QSpinBox(parent);
      spin->setRange(int(std::clamp(option.min, LOW, HIGH)), int(std::clamp(option.max, LOW, HIGH)));
      spin->setValue(int(std::clamp(std::atoll(option.value.c_str()), LOW, HIGH)));
      form->addRow(name, spin);
      return {&option, [spin] { return std::to_string(spin->value()); }};
    }
    case OPTION_COMBO: {
      auto* combo = new QComboBox(parent);
      for (const std::string& choice : option.choices) combo->addItem(text_of(choice));
      combo->setCurrentText(text_of(option.value));
      form->addRow(name, combo);
      return {&option, [combo] { return combo->currentText().toStdString(); }};
    }
    case OPTION_STRING:
    case OPTION_FILENAME: {
      auto* edit = new QLineEdit(text_of(option.value), parent);
      if (option.type == OPTION_STRING) {
        form->addRow(name, edit);
      } else {
        auto* row = new QWidget(parent);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browse = new QPushButton(QStringLiteral("参照…"), row);
        layout->addWidget(edit);
        layout->addWidget(browse);
        QObject::connect(browse, &QPushButton::clicked, row, [row, edit] {
          const QString chosen = QFileDialog::getOpenFileName(row, QStringLiteral("ファイルを選ぶ"), edit->text());
          if (!chosen.isEmpty()) edit->setText(chosen);
        });
        form->addRow(name, row);
      }
      return {&option, [edit] { return edit->text().toStdString(); }};
    }
    case OPTION_BUTTON: {
      auto* button = new QPushButton(name, parent);
      button->setEnabled(false);
      button->setToolTip(QStringLiteral("動いているエンジンにだけ意味のある操作です"));
      form->addRow(QString(), button);
      return {&option, [] { return std::string(); }};
    }
  }
  return {&option, [&option] { return option.value; }};
}

}  // namespace

bool run_engine_options_dialog(QWidget* owner, RegisteredEngine& engine) {
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("engine_options_dialog"));
  dialog.setWindowTitle(QStringLiteral("エンジンのオプション：") + text_of(engine.name));
  auto* layout = new QVBoxLayout(&dialog);
  auto* scroll = new QScrollArea(&dialog);
  scroll->setWidgetResizable(true);
  auto* fields = new QWidget(scroll);
  auto* form = new QFormLayout(fields);
  RegisteredEngine edited = engine;
  std::vector<OptionField> read_back;
  for (UsiOption& option : edited.options) read_back.push_back(option_field(fields, form, option));
  if (edited.options.empty()) form->addRow(new QLabel(QStringLiteral("このエンジンにはオプションがありません。"), fields));
  scroll->setWidget(fields);
  layout->addWidget(scroll);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(460, std::min(600, 120 + 34 * int(edited.options.size())));
  if (dialog.exec() != QDialog::Accepted) return false;
  // A value the option cannot take (a text with a line break) keeps the one it had.
  for (const OptionField& field : read_back) {
    const std::string value = field.value();
    if (option_value_valid(*field.option, value)) field.option->value = value;
  }
  engine = edited;
  return true;
}

bool run_engine_settings_dialog(QWidget* owner, EngineList& list, int& mate_search_seconds) {
  EngineList edited = list;
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("engine_settings_dialog"));
  dialog.setWindowTitle(QStringLiteral("エンジン設定"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("登録したエンジン（★は検討・棋譜解析・ヒントに使うエンジン）"), &dialog));
  auto* engines = new QListWidget(&dialog);
  engines->setObjectName(QStringLiteral("engines"));
  layout->addWidget(engines);
  auto* row = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("追加…"), &dialog);
  auto* remove = new QPushButton(QStringLiteral("削除"), &dialog);
  auto* options = new QPushButton(QStringLiteral("オプション…"), &dialog);
  auto* analyst = new QPushButton(QStringLiteral("検討に使う"), &dialog);
  for (QPushButton* button : {add, remove, options, analyst}) row->addWidget(button);
  layout->addLayout(row);
  auto* times = new QFormLayout;
  auto* mate_seconds = new QSpinBox(&dialog);
  mate_seconds->setObjectName(QStringLiteral("mate_search_seconds"));
  mate_seconds->setRange(1, MAX_MATE_SEARCH_SECONDS);
  mate_seconds->setValue(std::clamp(mate_search_seconds, 1, MAX_MATE_SEARCH_SECONDS));
  times->addRow(QStringLiteral("詰み探索の時間（秒）"), mate_seconds);
  layout->addLayout(times);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  const auto show_list = [&](int selected) {
    engines->clear();
    for (int i = 0; i < int(edited.engines.size()); ++i) engines->addItem(engine_line(edited, i));
    engines->setCurrentRow(std::clamp(selected, 0, engines->count() - 1));
  };
  // The own engine is never removed.
  QObject::connect(engines, &QListWidget::currentRowChanged, remove, [remove](int row) { remove->setEnabled(row > 0); });
  show_list(edited.analyst);

  QObject::connect(add, &QPushButton::clicked, &dialog, [&] {
    const QString path = QFileDialog::getOpenFileName(&dialog, QStringLiteral("USIエンジンを選ぶ"));
    RegisteredEngine engine;
    if (path.isEmpty() || !probe_waiting(&dialog, path.toStdString(), engine)) return;
    show_list(register_engine(edited, engine));
  });
  QObject::connect(remove, &QPushButton::clicked, &dialog, [&] {
    const int row = engines->currentRow();
    if (row <= 0) return;
    unregister_engine(edited, row);
    show_list(row - 1);
  });
  QObject::connect(options, &QPushButton::clicked, &dialog, [&] {
    const int row = engines->currentRow();
    if (row < 0) return;
    // The options the engine offers now, with the values stored for it; stored ones alone when it cannot
    // be asked.
    RegisteredEngine& engine = edited.engines[row];
    RegisteredEngine asked;
    if (probe_waiting(&dialog, engine.path, asked)) {
      take_stored_values(asked.options, engine.options);
      engine.options = asked.options;
      if (engine.name.empty()) engine.name = asked.name;
    }
    if (run_engine_options_dialog(&dialog, engine)) show_list(row);
  });
  QObject::connect(analyst, &QPushButton::clicked, &dialog, [&] {
    const int row = engines->currentRow();
    if (row < 0) return;
    edited.analyst = row;
    show_list(row);
  });
  dialog.resize(560, 340);
  if (dialog.exec() != QDialog::Accepted) return false;
  list = edited;
  mate_search_seconds = mate_seconds->value();
  return true;
}

}  // namespace halvane
