// An in-memory stand-in for the platform's pictures, linked into the game-logic tests: pixels are kept
// exactly, text is not rasterised but remembered with its position, so tests can read what was written.
#pragma once

#include <string>
#include <vector>

#include "app/image.h"

namespace halvane::test_support {

struct DrawnText {
  int x, y;
  std::u16string text;
};

// Every text drawn on the image since it was created, in order.
const std::vector<DrawnText>& texts_on(const Image* image);
// The last text drawn at (x, y), or an empty string.
std::u16string last_text_at(const Image* image, int x, int y);

}  // namespace halvane::test_support
