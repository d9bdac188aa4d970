// Pictures on QImage: loading JPEG and GIF files, rectangles with a black outline, lines, pixels and
// text on an opaque white background, with the right and bottom edges exclusive as the game expects.
#include "platform/image_qt.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <cstdlib>

namespace halvane {

namespace {

constexpr QRgb OPAQUE = 0xFF000000u;

bool inside(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height();
}

void put(QImage& image, int x, int y, uint32_t rgb) {
  if (inside(image, x, y)) reinterpret_cast<QRgb*>(image.scanLine(y))[x] = OPAQUE | rgb;
}

}  // namespace

QFont picture_text_font() {
  QFont font;
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
  font.setPixelSize(16);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

Image* image_load(const char* path) {
  QImage loaded(QString::fromLocal8Bit(path));
  if (loaded.isNull()) return nullptr;
  return new Image{loaded.convertToFormat(QImage::Format_RGB32)};
}

Image* image_create(int width, int height, uint32_t rgb) {
  Image* image = new Image{QImage(width, height, QImage::Format_RGB32)};
  image->pixels.fill(QColor::fromRgb(OPAQUE | rgb));
  return image;
}

void image_free(Image* image) { delete image; }
int image_width(const Image* image) { return image ? image->pixels.width() : 0; }
int image_height(const Image* image) { return image ? image->pixels.height() : 0; }

void image_rect(Image* image, int left, int top, int right, int bottom, uint32_t fill) {
  QImage& px = image->pixels;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const bool edge = x == left || x == right - 1 || y == top || y == bottom - 1;
      put(px, x, y, edge ? RGB_BLACK : fill);
    }
}

void image_line(Image* image, int x0, int y0, int x1, int y1, uint32_t rgb) {
  // Bresenham's walk; the end point itself is not drawn.
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    put(image->pixels, x0, y0, rgb);
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void image_set_pixel(Image* image, int x, int y, uint32_t rgb) { put(image->pixels, x, y, rgb); }

uint32_t image_pixel(const Image* image, int x, int y) {
  const QImage& px = image->pixels;
  if (!inside(px, x, y)) return RGB_BLACK;
  return reinterpret_cast<const QRgb*>(px.constScanLine(y))[x] & 0xFFFFFFu;
}

void image_text(Image* image, int x, int y, const char16_t* text, uint32_t rgb) {
  const QString string = QString::fromUtf16(text);
  const QFont font = picture_text_font();
  const QFontMetrics metrics(font);
  QPainter painter(&image->pixels);
  // The text's cell is white first, so that shorter text overwrites longer text cleanly.
  painter.fillRect(QRect(x, y, metrics.horizontalAdvance(string), metrics.height()), Qt::white);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(OPAQUE | rgb));
  painter.drawText(x, y + metrics.ascent(), string);
}

}  // namespace halvane
