// Pictures for halvane-kif, which never draws: nothing loads, nothing is kept. The game's rendering is
// linked in only because the file commands may repaint; with no picture it draws nothing.
#include "platform/image.h"

namespace halvane {

Image* image_load(const char*) { return nullptr; }
Image* image_create(int, int, uint32_t) { return nullptr; }
void image_free(Image*) {}
int image_width(const Image*) { return 0; }
int image_height(const Image*) { return 0; }
void image_rect(Image*, int, int, int, int, uint32_t) {}
void image_line(Image*, int, int, int, int, uint32_t) {}
void image_set_pixel(Image*, int, int, uint32_t) {}
uint32_t image_pixel(const Image*, int, int) { return 0; }
void image_text(Image*, int, int, const char16_t*, uint32_t) {}
void image_set_scale(Image*, double) {}
double image_scale(const Image*) { return 1.0; }
void image_draw_picture(Image*, const Image*, int, int, int, int) {}
void image_cover(Image*, const Image*) {}

}  // namespace halvane
