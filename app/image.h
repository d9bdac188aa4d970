// Pictures the program draws on: the back buffer and the piece images. Qt-free interface; the
// implementation sits on Qt's image class. Colours are 0xRRGGBB. The game always draws in the view's
// design pixels; a picture with a drawing scale maps them onto its own pixels, crisply.
#pragma once

#include <cstdint>

namespace halvane {

struct Image;

constexpr uint32_t RGB_BLACK = 0x000000, RGB_WHITE = 0xFFFFFF, RGB_RED = 0xFF0000, RGB_GREEN = 0x00FF00,
                   RGB_BLUE = 0x0000FF, RGB_YELLOW = 0xFFFF00;

// A JPEG or GIF file; null when it cannot be read.
Image* image_load(const char* path);
// A plain surface of one colour.
Image* image_create(int width, int height, uint32_t rgb);
void image_free(Image* image);
int image_width(const Image* image);
int image_height(const Image* image);

// The drawing scale: own pixels per design pixel (1 for a new or loaded picture). Edges fall on the
// rounded scaled coordinates; one-pixel lines and outlines are the scale rounded (at least 1) wide.
void image_set_scale(Image* image, double scale);
double image_scale(const Image* image);
// The design's origin: design point (0, 0) lies (x, y) design pixels from the picture's top-left corner
// ((0, 0) for a new or loaded picture); negative design coordinates reach the margin it leaves.
void image_set_origin(Image* image, int x, int y);

// Drawing in design pixels, with the conventions of a classic raster API: right and bottom edges are exclusive.
// A filled rectangle with a one-pixel black outline.
void image_rect(Image* image, int left, int top, int right, int bottom, uint32_t fill);
// A line from (x0, y0) up to, but not including, (x1, y1).
void image_line(Image* image, int x0, int y0, int x1, int y1, uint32_t rgb);
void image_set_pixel(Image* image, int x, int y, uint32_t rgb);
// Reads one of the picture's own pixels (not scaled).
uint32_t image_pixel(const Image* image, int x, int y);
// Text with its top-left corner at (x, y), in the given colour on an opaque white background.
void image_text(Image* image, int x, int y, const char16_t* text, uint32_t rgb);
// The same text without the background: a label on what is drawn under it.
void image_label(Image* image, int x, int y, const char16_t* text, uint32_t rgb);
// A label in letters `pixels` design pixels high (the others are 16), bold: a clock read at a glance.
void image_large_label(Image* image, int x, int y, int pixels, const char16_t* text, uint32_t rgb);
// Draws the top-left `source_size` square of `picture`, pure white transparent, into the design square
// at (x, y) of side `size`. Where the scaled square is exactly `source_size` pixels the non-white
// pixels are copied one for one; otherwise the picture is resampled smoothly to the scaled square.
void image_draw_picture(Image* target, const Image* picture, int source_size, int x, int y, int size);
// Covers all of `target` with `source` from its top-left corner, one pixel for one where `source` is
// large enough and enlarged smoothly where it is not.
void image_cover(Image* target, const Image* source);

}  // namespace halvane
