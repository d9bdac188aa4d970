// In-memory pictures for the game-logic tests. Loading from a file always fails here, so the game runs
// with a plain back buffer and no piece pictures unless a test supplies them.
#include "support/memory_image.h"

#include <cstdint>

namespace halvane {

struct Image {
  int width;
  int height;
  std::vector<uint32_t> pixels;
  std::vector<test_support::DrawnText> texts;
  double scale = 1.0;   // kept for the game to read; these pictures are always drawn one for one
  int origin_x = 0, origin_y = 0;   // added to every design coordinate; texts are kept in design coordinates
};

Image* image_load(const char*) { return nullptr; }

Image* image_create(int width, int height, uint32_t rgb) {
  return new Image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, rgb), {}};
}

void image_free(Image* image) { delete image; }
int image_width(const Image* image) { return image->width; }
int image_height(const Image* image) { return image->height; }

void image_set_pixel(Image* image, int x, int y, uint32_t rgb) {
  x += image->origin_x;
  y += image->origin_y;
  if (x < 0 || y < 0 || x >= image->width || y >= image->height) return;
  image->pixels[static_cast<size_t>(y) * image->width + x] = rgb & 0xFFFFFF;
}

uint32_t image_pixel(const Image* image, int x, int y) {
  if (x < 0 || y < 0 || x >= image->width || y >= image->height) return 0;
  return image->pixels[static_cast<size_t>(y) * image->width + x];
}

void image_rect(Image* image, int left, int top, int right, int bottom, uint32_t fill) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      bool edge = x == left || x == right - 1 || y == top || y == bottom - 1;
      image_set_pixel(image, x, y, edge ? RGB_BLACK : fill);
    }
}

void image_line(Image* image, int x0, int y0, int x1, int y1, uint32_t rgb) {
  // Only the horizontal and vertical lines the board needs.
  if (y0 == y1)
    for (int x = x0; x != x1; x += (x1 > x0 ? 1 : -1)) image_set_pixel(image, x, y0, rgb);
  else if (x0 == x1)
    for (int y = y0; y != y1; y += (y1 > y0 ? 1 : -1)) image_set_pixel(image, x0, y, rgb);
}

void image_text(Image* image, int x, int y, const char16_t* text, uint32_t) {
  image->texts.push_back({x, y, text});
}

void image_set_scale(Image* image, double scale) { image->scale = scale; }
void image_set_origin(Image* image, int x, int y) {
  image->origin_x = x;
  image->origin_y = y;
}
void image_label(Image* image, int x, int y, const char16_t* text, uint32_t) { image->texts.push_back({x, y, text}); }
void image_large_label(Image* image, int x, int y, int, const char16_t* text, uint32_t) {
  image->texts.push_back({x, y, text});
}
double image_scale(const Image* image) { return image ? image->scale : 1.0; }

void image_draw_picture(Image* target, const Image* picture, int source_size, int x, int y, int) {
  if (!picture) return;
  for (int j = 0; j < source_size && j < picture->height; ++j)
    for (int i = 0; i < source_size && i < picture->width; ++i) {
      const uint32_t rgb = image_pixel(picture, i, j);
      if (rgb != RGB_WHITE) image_set_pixel(target, x + i, y + j, rgb);
    }
}

void image_cover(Image*, const Image*) {}

namespace test_support {

const std::vector<DrawnText>& texts_on(const Image* image) { return image->texts; }

std::u16string last_text_at(const Image* image, int x, int y) {
  for (auto it = image->texts.rbegin(); it != image->texts.rend(); ++it)
    if (it->x == x && it->y == y) return it->text;
  return {};
}

}  // namespace test_support
}  // namespace halvane
