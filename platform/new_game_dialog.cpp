// The new-game dialog: three lists in a form, the side's words following the 手合割 (先手/後手 for the
// even game; 下手/上手 for a handicap, where 上手 is the side without the pieces and moves first).
#include "platform/new_game_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "core/sfen.h"
#include "kif/kif_start.h"
#include "think/strength.h"

namespace halvane {

namespace {

void name_sides(QComboBox* sides, bool handicap) {
  sides->setItemText(0, handicap ? QStringLiteral("あなたが下手（上手のコンピュータから指す）") : QStringLiteral("あなたが先手"));
  sides->setItemText(1, handicap ? QStringLiteral("あなたが上手（あなたから指す）") : QStringLiteral("あなたが後手"));
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

  auto* levels = new QComboBox(&dialog);
  levels->setObjectName(QStringLiteral("level"));
  for (const Strength* s : STRENGTHS) levels->addItem(QString::fromUtf8(s->word_utf8));
  levels->setCurrentIndex(choice.level);
  form->addRow(QStringLiteral("コンピュータの強さ"), levels);

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
  return true;
}

}  // namespace halvane
