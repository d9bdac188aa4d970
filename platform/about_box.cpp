// The about box, laid out in pixels from its classic dialog-unit layout (170 x 62 units at a 9-point
// Japanese Gothic face), and the help page, whose text the game supplies.
#include "platform/about_box.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/help_text.h"

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

void show_help_page(QWidget* owner) {
  QDialog page(owner);
  page.setObjectName(QStringLiteral("help_page"));
  page.setWindowTitle(QString::fromUtf16(HELP_TITLE));
  auto* layout = new QVBoxLayout(&page);
  auto* text = new QLabel(QString::fromUtf16(HELP_TEXT), &page);
  text->setObjectName(QStringLiteral("help_text"));
  text->setWordWrap(true);
  text->setTextFormat(Qt::PlainText);
  text->setMinimumWidth(560);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &page);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &page, &QDialog::accept);
  layout->addWidget(buttons);
  page.exec();
}

}  // namespace halvane
