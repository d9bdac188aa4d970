// Draws the board, the pieces, both hands, the highlights, the progress strip and the status line into
// the back buffer, then asks the window to show it.
#include "app/render.h"

#include <string>

#include "app/data_files.h"
#include "app/image.h"
#include "app/play_clock.h"
#include "app/record_view.h"
#include "app/study.h"
#include "app/ui.h"

namespace halvane {

namespace {

// A hint stands out from the last move (red), the selection (blue) and its reach (green).
constexpr uint32_t RGB_HINT = 0xFF9900;

Image* g_back_buffer = nullptr;
Image* g_wallpaper = nullptr;   // null when it could not be read: a plain surface then
constexpr uint32_t PLAIN_SURFACE = 0xE8D8B0;

constexpr int SQUARE = 40;
constexpr int PIECE_INSET = 4;
constexpr int PIECE_PIXELS = 32;
constexpr int STATUS_X = 0, STATUS_Y = 390;
constexpr int LABEL_X = 400, LABEL_Y = 360;
constexpr int STRIP_TOP = 364, STRIP_ROWS = 4, STRIP_WIDTH = 360;
constexpr int COUNT_X = 38, COUNT_Y = 12;   // a hand count beside its piece
constexpr int FILE_LABEL_Y = -21, RANK_LABEL_X = 371, LABEL_INSET = 11, RANK_STRIP_RIGHT = 390;

// Picture file names by piece kind; 12 and 15 never stand on a board.
const char* const PIECE_FILE_NAMES[16] = {"hu",    "kyo",  "kei",  "gin", "kin", "kaku", "hi",  "gyoku",
                                          "tokin", "nkyo", "nkei", "ngin", nullptr, "uma", "ryu", nullptr};

// Larger drawings of each piece, by piece code, for a view scaled up: twice and four times the size.
constexpr int DETAIL_FACTORS[2] = {2, 4};
const char* const DETAIL_SUFFIXES[2] = {"@2x.gif", "@4x.gif"};
Image* g_piece_detail[2][32];

// The non-white pixels of a piece's 32 x 32 picture (white is transparent), in the view's design
// pixels. A scaled view takes the smallest drawing at least as large as the square it fills, so
// nothing is enlarged that a larger drawing could show.
void draw_piece(Image* target, const GameState& gs, int code, int x, int y) {
  const Image* picture = gs.view.piece_images[code];
  int source_size = PIECE_PIXELS;
  const double needed = PIECE_PIXELS * image_scale(target);
  for (int d = 0; d < 2 && needed > source_size; ++d)
    if (g_piece_detail[d][code]) {
      picture = g_piece_detail[d][code];
      source_size = PIECE_PIXELS * DETAIL_FACTORS[d];
    }
  image_draw_picture(target, picture, source_size, x, y, PIECE_PIXELS);
}

void draw_square(Image* target, int col, int row, uint32_t fill) {
  image_rect(target, SQUARE * col, SQUARE * row, SQUARE * col + SQUARE, SQUARE * row + SQUARE, fill);
}

// Each kind held is drawn once, with its count beside it when there is more than one, so that two
// bishops or five pawns read at a glance.
void draw_hand(Image* target, const GameState& gs, int side) {
  for (int k = 0; k < 7; ++k) {
    const int n = gs.screen.hands[side][k];
    if (n <= 0) continue;
    const int x = gs.view.hand_layout[side * 2][k], y = gs.view.hand_layout[side * 2 + 1][k];
    draw_piece(target, gs, side * GOTE_BIT + k, x + PIECE_INSET, y + PIECE_INSET);
    if (n < 2) continue;
    char16_t count[4] = {};
    if (n >= 10) count[0] = static_cast<char16_t>(u'0' + n / 10 % 10);
    count[n >= 10 ? 1 : 0] = static_cast<char16_t>(u'0' + n % 10);
    image_label(target, x + COUNT_X, y + COUNT_Y, count, RGB_BLACK);
  }
}

// File numerals above the board and rank numerals in the gap beside it, as the view shows the board:
// with gote at the bottom the board is seen from the other side, file 1 on the left and rank 九 on top.
void draw_coordinates(Image* target, const GameState& gs) {
  static const char16_t FILES[] = u"９８７６５４３２１";
  static const char16_t RANKS[] = u"一二三四五六七八九";
  const bool rotated = gs.screen.rotated;
  // Strips in the board's colour along its top and right edges, so each repaint writes on a clean ground.
  image_rect(target, 0, FILE_LABEL_Y - 1, 361, 1, RGB_YELLOW);
  image_rect(target, 360, 0, RANK_STRIP_RIGHT, 360, RGB_YELLOW);
  for (int i = 0; i < 9; ++i) {
    const char16_t file[2] = {FILES[rotated ? 8 - i : i], 0};
    const char16_t rank[2] = {RANKS[rotated ? 8 - i : i], 0};
    image_label(target, SQUARE * i + LABEL_INSET, FILE_LABEL_Y, file, RGB_BLACK);
    image_label(target, RANK_LABEL_X, SQUARE * i + LABEL_INSET, rank, RGB_BLACK);
  }
}

// The move list follows the record: its lines are derived here when the record, the cursor or the line
// shown changed, and published with a new revision when anything in them changed.
void refresh_move_list(GameState& gs) {
  MoveList& shown = gs.view.move_list;
  if (shown.drawn_from == gs.game.revision && shown.drawn_cursor == gs.game.cursor && shown.drawn_tip == gs.game.line_tip)
    return;
  MoveList fresh;
  move_list_lines(gs, fresh);
  shown.drawn_from = gs.game.revision;
  shown.drawn_cursor = gs.game.cursor;
  shown.drawn_tip = gs.game.line_tip;
  if (fresh.lines == shown.lines && fresh.tips == shown.tips && fresh.current_line == shown.current_line) return;
  shown.lines = std::move(fresh.lines);
  shown.tips = std::move(fresh.tips);
  shown.current_line = fresh.current_line;
  shown.revision += 1;
}

// Each side's clock beside its hand, in the corner nearest the buttons; the side to move's white with a
// bar at its edge, the other's grey.
constexpr int CLOCK_LEFT = 480, CLOCK_RIGHT = 600, CLOCK_TOP[2] = {200, 120}, CLOCK_HEIGHT = 40;
constexpr int CLOCK_TEXT_PIXELS = 26, CLOCK_BAR = 6;
constexpr uint32_t CLOCK_IDLE = 0xD8D8D8;

void draw_clocks(Image* target, GameState& gs) {
  const int bottom = gs.game.player_side ^ (gs.game.view_flipped ? 1 : 0);
  for (int place = 0; place < 2; ++place) {
    const int side = place == 0 ? bottom : bottom ^ 1;
    const ClockFace face = clock_face(gs, side);
    const int top = CLOCK_TOP[place];
    image_rect(target, CLOCK_LEFT, top, CLOCK_RIGHT, top + CLOCK_HEIGHT, face.to_move ? RGB_WHITE : CLOCK_IDLE);
    if (face.to_move) image_rect(target, CLOCK_LEFT, top, CLOCK_LEFT + CLOCK_BAR, top + CLOCK_HEIGHT, RGB_BLUE);
    image_large_label(target, CLOCK_LEFT + CLOCK_BAR + 6, top + (CLOCK_HEIGHT - CLOCK_TEXT_PIXELS) / 2 - 2,
                      CLOCK_TEXT_PIXELS, face.text.c_str(), face.red ? RGB_RED : RGB_BLACK);
    gs.clock.drawn[side] = face.text;
  }
}

void draw_progress(Image* target, GameState& gs, Engine& e) {
  for (int y = STRIP_TOP; y < STRIP_TOP + STRIP_ROWS; ++y)
    for (int x = 0; x < STRIP_WIDTH; ++x) image_set_pixel(target, x, y, RGB_WHITE);
  // No think, or the game has ended while one ran: nothing is left on the strip.
  if (!gs.flags.thinking || game_over(gs)) {
    gs.view.progress_drawn = 0;
    return;
  }
  const int progress = think_progress(e);
  if (progress == gs.view.progress_drawn) return;
  gs.view.progress_drawn = progress;
  const int right = SQUARE * (progress + 1);
  for (int y = STRIP_TOP; y < STRIP_TOP + STRIP_ROWS; ++y)
    for (int x = 0; x < right && x < STRIP_WIDTH; ++x) image_set_pixel(target, x, y, RGB_RED);
}

}  // namespace

bool load_back_buffer(const char* wallpaper) {
  if (g_back_buffer) return true;
  g_wallpaper = image_load(find_data_file(wallpaper).c_str());
  const bool found = g_wallpaper != nullptr;
  if (g_wallpaper && (image_width(g_wallpaper) < VIEW_WIDTH || image_height(g_wallpaper) < VIEW_HEIGHT)) {
    // Too small to show: the game still works on a plain surface.
    image_free(g_wallpaper);
    g_wallpaper = nullptr;
  }
  g_back_buffer = image_create(VIEW_WIDTH, VIEW_HEIGHT, PLAIN_SURFACE);
  image_cover(g_back_buffer, g_wallpaper);
  image_set_origin(g_back_buffer, VIEW_ORIGIN_X, VIEW_ORIGIN_Y);
  return found;
}

Image* back_buffer() { return g_back_buffer; }

void size_back_buffer(int width, int height, double scale) {
  Image* fresh = image_create(width > VIEW_WIDTH ? width : VIEW_WIDTH, height > VIEW_HEIGHT ? height : VIEW_HEIGHT,
                              PLAIN_SURFACE);
  image_cover(fresh, g_wallpaper);
  image_set_scale(fresh, scale);
  image_set_origin(fresh, VIEW_ORIGIN_X, VIEW_ORIGIN_Y);
  Image* old = g_back_buffer;
  g_back_buffer = fresh;
  if (old) image_free(old);
}

void load_piece_images(GameState& gs) {
  for (int code = 0; code < 16; ++code) {
    for (int side = 0; side < 2; ++side) {
      Image*& slot = gs.view.piece_images[side * GOTE_BIT + code];
      if (slot) continue;
      if (!PIECE_FILE_NAMES[code]) continue;
      const std::string stem = std::string("koma/") + PIECE_FILE_NAMES[code] + (side ? "2" : "1");
      slot = image_load(find_data_file(stem + ".gif").c_str());
      for (int d = 0; d < 2; ++d) {
        Image*& detail = g_piece_detail[d][side * GOTE_BIT + code];
        if (!detail) detail = image_load(find_data_file(stem + DETAIL_SUFFIXES[d]).c_str());
      }
    }
  }
}

void repaint(GameState& gs, Engine& e) {
  // 1. The back buffer (a plain one when none was loaded yet).
  if (!g_back_buffer) load_back_buffer();
  Image* target = g_back_buffer;

  // 2. Board and hand areas.
  image_rect(target, 0, 0, 360, 360, RGB_YELLOW);
  image_rect(target, 400, 0, 560, 160, RGB_YELLOW);
  image_rect(target, 400, 200, 560, 360, RGB_YELLOW);

  // 3. Grid.
  for (int d = 0; d <= 360; d += SQUARE) {
    image_line(target, 0, d, 360, d, RGB_BLACK);
    image_line(target, d, 0, d, 360, RGB_BLACK);
  }

  // 4. Highlights while the player may move; the last move also while the record is looked at. A
  // position being edited has neither.
  const bool player_moves = player_to_move(gs) && !gs.flags.thinking;
  const bool highlights = (player_moves || gs.flags.paused) && !editing(gs);
  if (highlights && gs.view.last_move.to_col >= 0 && gs.view.show_last_move)
    draw_square(target, gs.view.last_move.to_col, gs.view.last_move.to_row, RGB_RED);
  // A hint: where the analyst's move for the player starts and ends (a drop only where it lands).
  if (const MoveRecord* hint = shown_hint(gs); hint && player_moves && !editing(gs)) {
    const MoveRecord shown = screen_move(gs, *hint);
    if (!shown.is_drop()) draw_square(target, shown.from_col, shown.from_row, RGB_HINT);
    draw_square(target, shown.to_col, shown.to_row, RGB_HINT);
  }
  if (highlights) {
    if (gs.input.selection == 2) {
      draw_square(target, gs.input.hand_cell_col, gs.input.hand_cell_row, RGB_BLUE);
    } else if (gs.input.selection != 0) {
      draw_square(target, gs.input.sel_col, gs.input.sel_row, RGB_BLUE);
      for (int row = 0; row < 9; ++row)
        for (int col = 0; col < 9; ++col)
          if (gs.input.target_map[gs_index(col, row)]) draw_square(target, col, row, RGB_GREEN);
    }
  }

  draw_coordinates(target, gs);

  // 5. Pieces.
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = gs.screen.board[gs_index(col, row)];
      if (code >= 0 && code < 32)
        draw_piece(target, gs, code, SQUARE * col + PIECE_INSET, SQUARE * row + PIECE_INSET);
    }

  // 6. Both hands (kings in hand are not drawn).
  draw_hand(target, gs, 0);
  draw_hand(target, gs, 1);

  // 7. Both clocks, then the progress strip.
  draw_clocks(target, gs);
  draw_progress(target, gs, e);

  // 8. Status line over 25 full-width spaces that erase the old one, then the version label.
  static const char16_t blank[] = u"　　　　　　　　　　　　　　　　　　　　　　　　　";
  image_text(target, STATUS_X, STATUS_Y, blank, RGB_BLACK);
  image_text(target, STATUS_X, STATUS_Y, gs.view.status_text, RGB_BLACK);
  image_text(target, LABEL_X, LABEL_Y, u"Halvane ver" HALVANE_VERSION, RGB_BLACK);

  refresh_move_list(gs);

  // 9. Show it.
  request_repaint();
}

}  // namespace halvane
