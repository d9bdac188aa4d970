// Pictures on QImage: loading JPEG and GIF files, rectangles with a black outline, lines, pixels and
// text on an opaque white background, with the right and bottom edges exclusive as the game expects.
// Everything is drawn in design pixels mapped through the picture's scale, straight into its pixels.
#include "platform/image_qt.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
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

// Own pixels [x0, x1) x [y0, y1), clipped.
void fill(QImage& image, int x0, int y0, int x1, int y1, uint32_t rgb) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, image.width()), y1 = std::min(y1, image.height());
  for (int y = y0; y < y1; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = x0; x < x1; ++x) line[x] = OPAQUE | rgb;
  }
}

// A design coordinate in own pixels (the design's origin added), and the width of a one-pixel line.
int at_x(const Image* image, double v) { return static_cast<int>(std::lround((v + image->origin_x) * image->scale)); }
int at_y(const Image* image, double v) { return static_cast<int>(std::lround((v + image->origin_y) * image->scale)); }
int line_width(const Image* image) { return std::max(1, static_cast<int>(std::lround(image->scale))); }

// The design pixel (x, y) as a block of own pixels: the blocks of neighbouring pixels tile.
void put_scaled(Image* image, int x, int y, uint32_t rgb) {
  if (image->scale == 1.0) return put(image->pixels, x + image->origin_x, y + image->origin_y, rgb);
  fill(image->pixels, at_x(image, x), at_y(image, y), at_x(image, x + 1), at_y(image, y + 1), rgb);
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
  Image* image = new Image;
  image->pixels = loaded.convertToFormat(QImage::Format_RGB32);
  // Qt reads a ratio from an "@2x" in the name; these pictures are drawn at the size the game asks for.
  image->pixels.setDevicePixelRatio(1.0);
  return image;
}

Image* image_create(int width, int height, uint32_t rgb) {
  Image* image = new Image;
  image->pixels = QImage(width, height, QImage::Format_RGB32);
  image->pixels.fill(QColor::fromRgb(OPAQUE | rgb));
  return image;
}

void image_free(Image* image) { delete image; }
void image_set_scale(Image* image, double scale) { image->scale = scale > 0 ? scale : 1.0; }
void image_set_origin(Image* image, int x, int y) {
  image->origin_x = x;
  image->origin_y = y;
}
double image_scale(const Image* image) { return image ? image->scale : 1.0; }
int image_width(const Image* image) { return image ? image->pixels.width() : 0; }
int image_height(const Image* image) { return image ? image->pixels.height() : 0; }

void image_rect(Image* image, int left, int top, int right, int bottom, uint32_t fill_rgb) {
  if (right <= left || bottom <= top) return;
  const int l = at_x(image, left), t = at_y(image, top), r = at_x(image, right), b = at_y(image, bottom);
  const int w = line_width(image);
  QImage& px = image->pixels;
  fill(px, l + w, t + w, r - w, b - w, fill_rgb);
  fill(px, l, t, r, t + w, RGB_BLACK);
  fill(px, l, b - w, r, b, RGB_BLACK);
  fill(px, l, t, l + w, b, RGB_BLACK);
  fill(px, r - w, t, r, b, RGB_BLACK);
}

void image_line(Image* image, int x0, int y0, int x1, int y1, uint32_t rgb) {
  const int w = line_width(image);
  if (y0 == y1 && x0 != x1) {
    // A band along the line, one line width thick; the end point is not drawn.
    const int from = x0 < x1 ? x0 : x1 + 1, to = x0 < x1 ? x1 : x0 + 1;
    const int y = at_y(image, y0);
    return fill(image->pixels, at_x(image, from), y, at_x(image, to), y + w, rgb);
  }
  if (x0 == x1 && y0 != y1) {
    const int from = y0 < y1 ? y0 : y1 + 1, to = y0 < y1 ? y1 : y0 + 1;
    const int x = at_x(image, x0);
    return fill(image->pixels, x, at_y(image, from), x + w, at_y(image, to), rgb);
  }
  // Bresenham's walk for any other line, pixel block by pixel block; the end point itself is not drawn.
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  while (x0 != x1 || y0 != y1) {
    put_scaled(image, x0, y0, rgb);
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x0 += sx; }
    if (e2 <= dx) { err += dx; y0 += sy; }
  }
}

void image_set_pixel(Image* image, int x, int y, uint32_t rgb) { put_scaled(image, x, y, rgb); }

uint32_t image_pixel(const Image* image, int x, int y) {
  const QImage& px = image->pixels;
  if (!inside(px, x, y)) return RGB_BLACK;
  return reinterpret_cast<const QRgb*>(px.constScanLine(y))[x] & 0xFFFFFFu;
}

namespace {

void draw_text(Image* image, int x, int y, const char16_t* text, uint32_t rgb, bool on_white, int pixels = 0) {
  const QString string = QString::fromUtf16(text);
  // The face is sized for the scale, so the glyphs are drawn at the picture's own resolution.
  QFont font = picture_text_font();
  if (pixels > 0) {
    font.setPixelSize(pixels);
    font.setBold(true);
  }
  if (image->scale != 1.0)
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * image->scale))));
  const QFontMetrics metrics(font);
  const int left = at_x(image, x), top = at_y(image, y);
  QPainter painter(&image->pixels);
  // The text's cell is white first, so that shorter text overwrites longer text cleanly.
  if (on_white) painter.fillRect(QRect(left, top, metrics.horizontalAdvance(string), metrics.height()), Qt::white);
  painter.setFont(font);
  painter.setPen(QColor::fromRgb(OPAQUE | rgb));
  painter.drawText(left, top + metrics.ascent(), string);
}

}  // namespace

void image_text(Image* image, int x, int y, const char16_t* text, uint32_t rgb) {
  draw_text(image, x, y, text, rgb, true);
}

void image_label(Image* image, int x, int y, const char16_t* text, uint32_t rgb) {
  draw_text(image, x, y, text, rgb, false);
}

void image_large_label(Image* image, int x, int y, int pixels, const char16_t* text, uint32_t rgb) {
  draw_text(image, x, y, text, rgb, false, pixels);
}

void image_draw_picture(Image* target, const Image* picture, int source_size, int x, int y, int size) {
  if (!picture) return;
  const QImage& source = picture->pixels;
  const int left = at_x(target, x), top = at_y(target, y);
  const int side = at_x(target, x + size) - left;
  const int w = std::min(source.width(), source_size), h = std::min(source.height(), source_size);
  if (side == source_size) {
    // One for one: every non-white pixel copied as it is.
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const uint32_t rgb = reinterpret_cast<const QRgb*>(source.constScanLine(j))[i] & 0xFFFFFFu;
        if (rgb != RGB_WHITE) put(target->pixels, left + i, top + j, rgb);
      }
    return;
  }
  if (side <= 0) return;
  // Resampled: white becomes transparent first, so that the piece's edge blends into what lies under it
  // instead of into white.
  if (picture->keyed.isNull()) {
    QImage keyed = source.copy(0, 0, w, h).convertToFormat(QImage::Format_ARGB32);
    for (int j = 0; j < keyed.height(); ++j) {
      QRgb* line = reinterpret_cast<QRgb*>(keyed.scanLine(j));
      for (int i = 0; i < keyed.width(); ++i)
        if ((line[i] & 0xFFFFFFu) == RGB_WHITE) line[i] = 0;
    }
    picture->keyed = keyed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  const int scaled_w = w * side / source_size, scaled_h = h * side / source_size;
  if (picture->resampled.width() != scaled_w || picture->resampled.height() != scaled_h)
    picture->resampled = picture->keyed.scaled(scaled_w, scaled_h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&target->pixels);
  painter.drawImage(left, top, picture->resampled);
}

void image_cover(Image* target, const Image* source) {
  QImage& px = target->pixels;
  if (!source) return;
  const QImage& from = source->pixels;
  QPainter painter(&px);
  if (from.width() >= px.width() && from.height() >= px.height()) {
    painter.drawImage(0, 0, from, 0, 0, px.width(), px.height());
    return;
  }
  const double enlarge = std::max(double(px.width()) / from.width(), double(px.height()) / from.height());
  painter.drawImage(0, 0, from.scaled(static_cast<int>(std::ceil(from.width() * enlarge)),
                                      static_cast<int>(std::ceil(from.height() * enlarge)), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
}

}  // namespace halvane
