// Board rendering: one routine draws the whole game view into the back buffer and asks the window to
// show it. Window thread only, as the window's paint that copies the buffer: nothing else draws.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

struct Image;

// The back buffer's least size: the wallpaper the window shows at the design's scale.
constexpr int VIEW_WIDTH = 1920;
constexpr int VIEW_HEIGHT = 1200;

// Where the design (board at (0, 0), hands, buttons, status line) lies in the view: below a band for the
// file numerals. The rank numerals stand in the gap between the board and the hands.
constexpr int VIEW_ORIGIN_X = 0;
constexpr int VIEW_ORIGIN_Y = 24;

// Loads the wallpaper as the back buffer (once, before the window is created). Without a readable
// wallpaper the board is drawn on a plain surface of the view's size; returns whether it was found.
bool load_back_buffer(const char* wallpaper = "wallpaper.jpg");
Image* back_buffer();

// Makes the back buffer fit a view of `width` x `height` own pixels drawn at `scale` pixels per design
// pixel (at least VIEW_WIDTH x VIEW_HEIGHT): the wallpaper again, to be repainted by the caller.
void size_back_buffer(int width, int height, double scale);

// Loads the 28 piece pictures "koma/<name>1.gif" (the player's) and "koma/<name>2.gif" (the
// computer's) into their slots; a picture that fails to load leaves its slot empty. Their larger
// drawings "koma/<name><side>@2x.gif" and "@4x.gif" are kept beside them for a scaled view.
void load_piece_images(GameState& gs);

// Draws the view of `gs` (with the engine's last move and progress) into the back buffer, then requests
// that the window show it.
void repaint(GameState& gs, Engine& e);

}  // namespace halvane
