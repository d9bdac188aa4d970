// The Qt side of the platform's pictures: the QImage behind an Image, for the window's paint and the
// tests that read the back buffer as the window shows it.
#pragma once

#include <QImage>

#include "app/image.h"

namespace halvane {

struct Image {
  QImage pixels;        // always Format_RGB32
  double scale = 1.0;   // own pixels per design pixel
  int origin_x = 0, origin_y = 0;   // where the design's (0, 0) lies, in design pixels
  // A piece picture's white-keyed copy and its last resampling, made while drawing (under the
  // drawing lock), so that a repaint at an unchanged scale resamples nothing.
  mutable QImage keyed;
  mutable QImage resampled;
};

// The face for text drawn into pictures (status line, version label): a Japanese Gothic face.
QFont picture_text_font();

}  // namespace halvane
