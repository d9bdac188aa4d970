// The Qt side of the platform's pictures: the QImage behind an Image, for the window's paint and the
// tests that read the back buffer as the window shows it.
#pragma once

#include <QImage>

#include "app/image.h"

namespace halvane {

struct Image {
  QImage pixels;   // always Format_RGB32
};

// The face for text drawn into pictures (status line, version label): a Japanese Gothic face.
QFont picture_text_font();

}  // namespace halvane
