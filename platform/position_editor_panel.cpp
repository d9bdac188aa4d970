// The position editor's controls: each change goes straight to the game's editor (app/position_editor.h),
// and the controls follow the edited position back, so a start laid out by a button shows in them too.
#include "platform/position_editor_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/commands.h"
#include "app/position_editor.h"
#include "core/legality.h"
#include "kif/kif_start.h"
#include "platform/image_qt.h"

namespace halvane {

namespace {

// The palette's kinds in the order a piece stand shows them, and the hands' rows.
constexpr int PALETTE_KINDS[8] = {KING, ROOK, BISHOP, GOLD, SILVER, KNIGHT, LANCE, PAWN};
constexpr const char16_t* KIND_NAMES[8] = {u"歩", u"香", u"桂", u"銀", u"金", u"角", u"飛", u"玉"};

QPushButton* command_button(QWidget* parent, const char16_t* text, int id, const std::function<void(int)>& command) {
  auto* button = new QPushButton(QString::fromUtf16(text), parent);
  button->setProperty("command_id", id);
  QObject::connect(button, &QPushButton::clicked, parent, [command, id] { command(id); });
  return button;
}

}  // namespace

PositionEditorPanel::PositionEditorPanel(QWidget* parent, GameState& gs, Engine& e, std::function<void(int)> command)
    : QWidget(parent), gs_(gs), e_(e) {
  setObjectName(QStringLiteral("position_editor"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(3);

  // 1. The palette: 先手's pieces on the upper row, 後手's on the lower, each to be placed on empty squares.
  auto* palette = new QGridLayout;
  palette->setSpacing(1);
  palette_ = new QButtonGroup(this);
  palette_->setExclusive(true);
  for (int side = 0; side < 2; ++side) {
    palette->addWidget(new QLabel(QString::fromUtf16(side == BLACK ? u"▲" : u"△"), this), side, 0);
    for (int i = 0; i < 8; ++i) {
      auto* piece = new QToolButton(this);
      piece->setCheckable(true);
      piece->setAutoRaise(true);
      piece->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
      palette_->addButton(piece, PALETTE_KINDS[i] + side * GOTE_BIT);
      palette->addWidget(piece, side, i + 1);
    }
  }
  connect(palette_, &QButtonGroup::idClicked, this, [this](int code) { edit_choose_piece(gs_, e_, code); });
  column->addLayout(palette);

  // 2. The side to move.
  side_ = new QComboBox(this);
  side_->setObjectName(QStringLiteral("side_to_move"));
  side_->addItems({QStringLiteral("先手番"), QStringLiteral("後手番")});
  connect(side_, &QComboBox::activated, this, [this](int side) { edit_set_side_to_move(gs_, e_, side); });
  column->addWidget(side_);

  // 3. The hands' counts, strongest kind first as a piece stand is read.
  auto* hands = new QGridLayout;
  hands->setVerticalSpacing(1);
  hands->addWidget(new QLabel(QStringLiteral("持駒"), this), 0, 0);
  hands->addWidget(new QLabel(QStringLiteral("先手"), this), 0, 1, Qt::AlignHCenter);
  hands->addWidget(new QLabel(QStringLiteral("後手"), this), 0, 2, Qt::AlignHCenter);
  for (int kind = ROOK; kind >= PAWN; --kind) {
    const int row = ROOK - kind + 1;
    hands->addWidget(new QLabel(QString::fromUtf16(KIND_NAMES[kind]), this), row, 0, Qt::AlignHCenter);
    for (int side = 0; side < 2; ++side) {
      auto* count = new QSpinBox(this);
      count->setObjectName(QStringLiteral("hand_%1_%2").arg(side).arg(kind));
      count->setRange(0, SET_PIECES[kind]);
      connect(count, &QSpinBox::valueChanged, this,
              [this, side, kind](int n) { edit_set_hand(gs_, e_, side, kind, n); });
      hands->addWidget(count, row, side + 1);
      hands_[side][kind] = count;
    }
  }
  column->addLayout(hands);

  // 4. Whole positions: the even game's start, a handicap's, a mate problem, an empty board.
  handicaps_ = new QComboBox(this);
  handicaps_->setObjectName(QStringLiteral("handicap_start"));
  handicaps_->addItem(QStringLiteral("駒落ちの初期配置…"));
  for (int i = 1; i < int(std::size(HANDICAPS)); ++i) handicaps_->addItem(QString::fromUtf8(HANDICAPS[i].name));
  handicaps_->setMaxVisibleItems(16);
  connect(handicaps_, &QComboBox::activated, this, [this](int index) {
    if (index > 0) edit_set_start(gs_, e_, index);
    handicaps_->setCurrentIndex(0);
  });
  column->addWidget(command_button(this, u"平手初期配置", CMD_EDIT_EVEN, command));
  column->addWidget(handicaps_);
  auto* starts = new QHBoxLayout;
  starts->addWidget(command_button(this, u"詰将棋", CMD_EDIT_MATE, command));
  starts->addWidget(command_button(this, u"全消去", CMD_EDIT_CLEAR, command));
  column->addLayout(starts);

  // 5. Leaving: the position played, or the game as it was.
  auto* leave = new QHBoxLayout;
  leave->addWidget(command_button(this, u"編集終了", CMD_EDIT_DONE, command));
  leave->addWidget(command_button(this, u"キャンセル", CMD_EDIT_CANCEL, command));
  column->addLayout(leave);
  column->addStretch(1);
}

void PositionEditorPanel::take_pictures() {
  for (QAbstractButton* piece : palette_->buttons()) {
    const Image* picture = gs_.view.piece_images[palette_->id(piece)];
    if (!picture) {
      piece->setText(QString::fromUtf16(KIND_NAMES[hand_kind(palette_->id(piece))]));
      continue;
    }
    // White is the pictures' transparent colour, as the board draws them.
    QImage keyed = picture->pixels.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y)
      for (int x = 0; x < keyed.width(); ++x)
        if ((keyed.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) keyed.setPixel(x, y, 0);
    piece->setIcon(QIcon(QPixmap::fromImage(keyed)));
  }
}

void PositionEditorPanel::follow() {
  const PositionEdit& edit = gs_.edit;
  if (!edit.active || edit.revision == shown_revision_) return;
  shown_revision_ = edit.revision;
  for (int side = 0; side < 2; ++side)
    for (int kind = PAWN; kind <= ROOK; ++kind) {
      QSpinBox* count = hands_[side][kind];
      const QSignalBlocker quiet(count);
      count->setValue(edit.position.hand[side][kind]);
      // A mate problem's defender holds whatever the problem leaves: counted, not chosen.
      count->setEnabled(!(edit.mate_problem && side != edit.position.side_to_move));
    }
  side_->setCurrentIndex(edit.position.side_to_move);
  if (QAbstractButton* chosen = palette_->button(edit.palette)) {
    chosen->setChecked(true);
  } else if (QAbstractButton* checked = palette_->checkedButton()) {
    palette_->setExclusive(false);
    checked->setChecked(false);
    palette_->setExclusive(true);
  }
}

}  // namespace halvane
