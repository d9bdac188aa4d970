// The new-game dialog: three lists in a form, the side's words following the 手合割 (先手/後手 for the
// even game; 下手/上手 for a handicap, where 上手 is the side without the pieces and moves first), and the
// time control: なし, 持ち時間 with 秒読み, or フィッシャー, the same for both sides or each its own.
#include "platform/new_game_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "core/sfen.h"
#include "app/settings_file.h"
#include "kif/kif_start.h"
#include "think/strength.h"

namespace halvane {

namespace {

void name_sides(QComboBox* sides, bool handicap) {
  sides->setItemText(0, handicap ? QStringLiteral("あなたが下手（上手のコンピュータから指す）") : QStringLiteral("あなたが先手"));
  sides->setItemText(1, handicap ? QStringLiteral("あなたが上手（あなたから指す）") : QStringLiteral("あなたが後手"));
}

enum TimeKind { TIME_NONE, TIME_BYOYOMI, TIME_FISCHER };

// One side's time: 持ち時間 in minutes and the 秒読み or the increment in seconds.
struct TimeFields {
  QSpinBox* minutes;
  QSpinBox* seconds;
};

TimeFields add_time_fields(QDialog& dialog, QHBoxLayout* row, const char* name, const TimeControl& preset) {
  TimeFields f{new QSpinBox(&dialog), new QSpinBox(&dialog)};
  f.minutes->setObjectName(QString::fromUtf8(name) + QStringLiteral("_minutes"));
  f.minutes->setRange(0, MAX_MAIN_MS / 60000);
  f.minutes->setSuffix(QStringLiteral("分"));
  f.minutes->setValue(preset.main_ms / 60000);
  f.seconds->setObjectName(QString::fromUtf8(name) + QStringLiteral("_seconds"));
  f.seconds->setRange(0, MAX_BYOYOMI_MS / 1000);
  f.seconds->setPrefix(QStringLiteral("+ "));
  f.seconds->setSuffix(QStringLiteral("秒"));
  f.seconds->setValue((preset.increment_ms > 0 ? preset.increment_ms : preset.byoyomi_ms) / 1000);
  row->addWidget(f.minutes);
  row->addWidget(f.seconds);
  return f;
}

TimeControl control_of(const TimeFields& f, int kind) {
  const int seconds_ms = f.seconds->value() * 1000;
  return {f.minutes->value() * 60000, kind == TIME_BYOYOMI ? seconds_ms : 0, kind == TIME_FISCHER ? seconds_ms : 0};
}

}  // namespace

bool run_new_game_dialog(QWidget* owner, NewGameChoice& choice) {
  QDialog dialog(owner);
  dialog.setObjectName(QStringLiteral("new_game_dialog"));
  dialog.setWindowTitle(QStringLiteral("新規対局"));
  auto* form = new QFormLayout(&dialog);
  form->setSizeConstraint(QLayout::SetFixedSize);   // the dialog follows the side's words as they change

  auto* handicaps = new QComboBox(&dialog);
  handicaps->setObjectName(QStringLiteral("handicap"));
  for (const Handicap& h : HANDICAPS) handicaps->addItem(QString::fromUtf8(h.name));
  handicaps->setCurrentIndex(choice.handicap);
  handicaps->setMaxVisibleItems(16);
  form->addRow(QStringLiteral("手合割"), handicaps);

  auto* sides = new QComboBox(&dialog);
  sides->setObjectName(QStringLiteral("side"));
  sides->addItems({QString(), QString()});
  sides->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  name_sides(sides, choice.handicap != 0);
  sides->setCurrentIndex(choice.player_side == BLACK ? 0 : 1);
  form->addRow(QStringLiteral("手番"), sides);
  QObject::connect(handicaps, &QComboBox::currentIndexChanged, sides, [sides](int index) { name_sides(sides, index != 0); });

  // The opponent: the window's own think at a level, or a registered USI engine with its own strength.
  auto* opponents = new QComboBox(&dialog);
  opponents->setObjectName(QStringLiteral("opponent"));
  opponents->addItem(QStringLiteral("ハルベイン（内蔵）"));
  for (const std::string& name : choice.engines) opponents->addItem(QString::fromStdString(name) + QStringLiteral("（USI）"));
  opponents->setCurrentIndex(choice.opponent + 1 < opponents->count() ? choice.opponent + 1 : 0);
  form->addRow(QStringLiteral("相手"), opponents);

  auto* levels = new QComboBox(&dialog);
  levels->setObjectName(QStringLiteral("level"));
  for (const Strength* s : STRENGTHS) levels->addItem(QString::fromUtf8(s->word_utf8));
  levels->setCurrentIndex(choice.level);
  form->addRow(QStringLiteral("コンピュータの強さ"), levels);
  const auto follow_opponent = [=] { levels->setEnabled(opponents->currentIndex() == 0); };
  follow_opponent();
  QObject::connect(opponents, &QComboBox::currentIndexChanged, &dialog, follow_opponent);

  // 持ち時間: the kind, then the first mover's time (both sides' unless each has its own), then the other's.
  // Never chosen before: the fields offer 10分 + 30秒.
  ClockSettings clock = choice.clock;
  if (!clock.limited && clock.side[BLACK] == TimeControl{} && clock.side[WHITE] == TimeControl{})
    clock.side[BLACK] = clock.side[WHITE] = {600000, 30000, 0};
  auto* kinds = new QComboBox(&dialog);
  kinds->setObjectName(QStringLiteral("time_kind"));
  kinds->addItems({QStringLiteral("なし"), QStringLiteral("持ち時間＋秒読み"), QStringLiteral("フィッシャー（一手ごとに加算）")});
  kinds->setCurrentIndex(!clock.limited ? TIME_NONE : clock.side[BLACK].increment_ms > 0 ? TIME_FISCHER : TIME_BYOYOMI);
  form->addRow(QStringLiteral("持ち時間"), kinds);
  auto* first_row = new QHBoxLayout;
  const TimeFields first = add_time_fields(dialog, first_row, "first", clock.side[BLACK]);
  auto* own_times = new QCheckBox(QStringLiteral("後手は別の時間"), &dialog);
  own_times->setObjectName(QStringLiteral("each_side"));
  own_times->setChecked(clock.limited && !(clock.side[BLACK] == clock.side[WHITE]));
  first_row->addWidget(own_times);
  form->addRow(QString(), first_row);
  auto* second_row = new QHBoxLayout;
  const TimeFields second = add_time_fields(dialog, second_row, "second", clock.side[WHITE]);
  second_row->addStretch();
  auto* second_label = new QLabel(QStringLiteral("後手"), &dialog);
  form->addRow(second_label, second_row);
  const auto follow = [=] {
    const int kind = kinds->currentIndex();
    const bool handicap = handicaps->currentIndex() != 0;
    own_times->setText(handicap ? QStringLiteral("下手は別の時間") : QStringLiteral("後手は別の時間"));
    second_label->setText(handicap ? QStringLiteral("下手") : QStringLiteral("後手"));
    for (QWidget* w : {static_cast<QWidget*>(first.minutes), static_cast<QWidget*>(first.seconds),
                       static_cast<QWidget*>(own_times)})
      w->setEnabled(kind != TIME_NONE);
    for (QWidget* w : {static_cast<QWidget*>(second.minutes), static_cast<QWidget*>(second.seconds)})
      w->setEnabled(kind != TIME_NONE && own_times->isChecked());
    // A clock that has run out before the first move is no time control: フィッシャー's increment comes
    // only after a move, and 0分 needs a 秒読み.
    for (const TimeFields* f : {&first, &second}) {
      f->minutes->setMinimum(kind == TIME_FISCHER ? 1 : 0);
      f->seconds->setMinimum(kind == TIME_BYOYOMI && f->minutes->value() == 0 ? 1 : 0);
    }
  };
  follow();
  QObject::connect(kinds, &QComboBox::currentIndexChanged, &dialog, follow);
  QObject::connect(handicaps, &QComboBox::currentIndexChanged, &dialog, follow);
  QObject::connect(own_times, &QCheckBox::toggled, &dialog, follow);
  QObject::connect(first.minutes, &QSpinBox::valueChanged, &dialog, follow);
  QObject::connect(second.minutes, &QSpinBox::valueChanged, &dialog, follow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("対局開始"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  choice.handicap = handicaps->currentIndex();
  choice.player_side = sides->currentIndex() == 0 ? BLACK : WHITE;
  choice.level = levels->currentIndex();
  choice.opponent = opponents->currentIndex() - 1;
  const int kind = kinds->currentIndex();
  choice.clock.limited = kind != TIME_NONE;
  choice.clock.side[BLACK] = control_of(first, kind);
  choice.clock.side[WHITE] = own_times->isChecked() ? control_of(second, kind) : choice.clock.side[BLACK];
  return true;
}

}  // namespace halvane
