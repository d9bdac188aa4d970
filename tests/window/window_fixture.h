// What the window tests share: the game and engine a test window plays with, opening that window the
// way a program does, reading what the back buffer holds, and acting on the next modal box or dialog
// from inside its own event loop.
#pragma once

#include <QApplication>
#include <QImage>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/game_state.h"
#include "app/render.h"
#include "think/think.h"
#include "think/strength.h"
#include "platform/image_qt.h"
#include "platform/main_window.h"

namespace halvane {

inline GameState g_game;
inline EngineHandle g_engine_handle;

// The game constructed, the engine at `strength`, the wallpaper loaded and the main window open and
// shown, as a window program starts; nullptr when the wallpaper is not found or the window never shows.
inline MainWindow* open_test_window(const Strength& strength) {
  game_construct(g_game);
  g_engine_handle = new_engine(strength);
  if (!load_back_buffer()) return nullptr;
  MainWindow* window = open_main_window(g_game, *g_engine_handle, strength);
  window->show();
  return QTest::qWaitForWindowExposed(window) ? window : nullptr;
}

// A copy of the back buffer's `area` (the window thread draws it, as this one reads it).
inline QImage back_buffer_copy(const QRect& area) { return back_buffer()->pixels.copy(area); }

// Acts on the next modal window of type T once it is up, from inside its own event loop. The watch
// ends with the returned timer, so a box that never came cannot be acted on by a later test.
template <class T>
[[nodiscard]] std::unique_ptr<QTimer> on_next_modal(std::function<void(T*)> act) {
  auto timer = std::make_unique<QTimer>();
  QTimer* raw = timer.get();
  QObject::connect(raw, &QTimer::timeout, [raw, act] {
    T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!modal) return;
    raw->stop();
    act(modal);
  });
  timer->start(10);
  return timer;
}

inline QString text(const char16_t* s) { return QString::fromUtf16(s); }

}  // namespace halvane
