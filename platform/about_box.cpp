// The about box, laid out in pixels from its classic dialog-unit layout (170 x 62 units at a 9-point
// Japanese Gothic face).
#include "platform/about_box.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/main_window.h"

namespace halvane {

namespace {

class AboutBox : public QDialog {
 public:
  explicit AboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("バージョン情報 Halvane"));
    setObjectName(QStringLiteral("about_box"));
    QFont font;
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(9);
    setFont(font);
    setFixedSize(255, 96);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("about_icon"));
    icon->setPixmap(halvane_icon().pixmap(32, 32));
    icon->setGeometry(21, 21, 32, 32);

    auto* text = new QLabel(QStringLiteral("Halvane, version " HALVANE_VERSION), this);
    text->setObjectName(QStringLiteral("about_text"));
    text->setGeometry(63, 21, 180, 16);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("about_ok"));
    ok->setGeometry(170, 62, 75, 24);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(ABOUT_OK); });
  }

  void reject() override { done(ABOUT_CANCEL); }
};

}  // namespace

int show_about_box(QWidget* owner) {
  AboutBox box(owner);
  return box.exec();
}

}  // namespace halvane
