// GameState: everything the window shows and the commands change — the game (its record, the node on the
// board and which side the player plays), the board as the screen shows it, the mouse selection, the
// status line and the settings. The window thread owns all of it; the computer's think runs on a thread
// of its own and hands its answer back as an event (app/turn_flow.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/position_editor.h"
#include "app/game_clock.h"
#include "core/sfen.h"
#include "core/types.h"
#include "record/game_record.h"

namespace halvane {
struct Engine;
struct Strength;
struct StudyState;
struct EngineOpponent;
struct ThinkAhead;
}  // namespace halvane

namespace halvane {

struct Image;   // a picture of the platform layer; the game only holds it

constexpr int GS_CELLS = 400;        // 20 x 20 ints with a wall frame
constexpr int STATUS_UNITS = 1000;
constexpr int NO_SCORE = NO_EVALUATION;   // no evaluation to show

// Cell of square (col, row) in a 20 x 20 board.
constexpr int gs_index(int col, int row) { return (row + 5) * 20 + (col + 5); }

// The game: its record, the node on the board and the line the move list shows. "Sente" and "gote" in
// the record are the first and the second mover; the player plays `player_side`, the computer the other.
struct GamePlay {
  GameRecord record;
  int cursor = 0;            // the node whose position is on the board
  int line_tip = 0;          // the last node of the line the move list shows; the cursor lies on the way to it
  int player_side = BLACK;   // BLACK or WHITE
  bool view_flipped = false; // 盤面を反転表示: the board seen from the computer's side
  // A game begun here (not loaded): its players are named when it is saved.
  bool own_game = true;
  SfenPosition position = startpos();   // the position at the cursor, kept with it
  // Grows with every change of the record (the move list follows it) and with every think that is
  // stopped or made pointless (an answer asked for at an older generation is dropped).
  unsigned revision = 0;
  uint64_t generation = 0;
};

// The board as the screen shows it, derived from the position at the cursor: the bottom side's pieces
// plain, the top side's with GOTE_BIT, in a 20 x 20 board with a wall frame. The player's pieces stand at
// the bottom unless the view is flipped.
struct ScreenBoard {
  int board[GS_CELLS];
  int hands[2][8];         // [0] the bottom side's, [1] the top side's, by kind
  bool rotated = false;    // the bottom side is WHITE: screen square (c, r) is record square (8 - c, 8 - r)
};

// The player's mouse input: the selection, the move being made and where the selected piece can go, in
// screen squares.
struct InputState {
  int selection;           // 0 nothing, 1 a board piece, 2 a piece in a hand
  int sel_col, sel_row;    // square of the selected board piece; -1 for a hand piece
  int sel_piece;           // screen code on the selected square, or the kind of the selected hand piece
  int dest_col, dest_row;  // destination of the move being made
  int dest_piece;          // screen code the destination receives
  int hand_cell_col, hand_cell_row;  // grid cell of the clicked hand piece, for its highlight
  int reach_map[GS_CELLS];
  int target_map[GS_CELLS];
};

// The move list as drawn: "開始局面", one line per move of the line shown ("60 ▲７六歩+" where the move
// has alternatives), and the closing line once that line has ended. `revision` grows whenever a line or
// the highlight changes.
struct MoveList {
  std::vector<std::u16string> lines;
  // Each line's tooltip: the move's time and its side's total, "消費時間 0:12 / 合計 3:45"; empty where the
  // record has none.
  std::vector<std::u16string> tips;
  int current_line = 0;    // the line of the position on the board
  unsigned revision = 0;
  unsigned drawn_from = ~0u;   // the game's revision, cursor and tip the lines were made from
  int drawn_cursor = -1, drawn_tip = -1;
};

// What the window shows besides the position: the status line, the pictures, the highlights and
// the progress drawn.
struct ViewState {
  char16_t status_text[STATUS_UNITS];  // NUL-terminated
  int hand_layout[4][8];   // bottom x, bottom y, top x, top y of each kind's pile
  Image* piece_images[32]; // by piece code; null where a picture failed to load
  int progress_drawn;      // the think's progress value last drawn
  int show_last_move;      // 1 while the move into the position shown is highlighted
  MoveRecord last_move;    // that move in screen squares; to_col -1 when there is none
  int score_shown;         // the last think's evaluation (core/evaluation.h, from sente's side), shown on the
                           // player's turn; NO_SCORE when there is none for the position on screen (a book
                           // move, a new or loaded game, a step)
  MoveList move_list;
  const char16_t* computer_name;   // the program and its strength, "ハルベイン（激辛）"; null: "ハルベイン"
};

// Where the game stands besides its record, and the settings the window hands to it.
struct TurnFlags {
  bool started;
  bool thinking;           // the computer's think runs (on `think_thread`)
  bool input_busy;         // a click is being handled (a modal box inside it runs the event loop)
  bool paused;             // the computer does not start thinking (the pause button, a step, a load)
  // A think's time limit in milliseconds (0: none), thinking ahead on the player's time, 反則手も指せる
  // (the player's illegal moves are played, and the computer claims the foul), and 変化を残す (a move
  // that leaves the record keeps the old continuation as a variation).
  int think_limit_ms;
  bool think_ahead;
  bool allow_illegal;
  bool keep_variations;
  // The record has moves that were never saved: set by every recorded move, end and take back, cleared
  // by a save, a load and a reset.
  bool unsaved;
  // The think ahead on the player's time (null: none, as without a second core); while the computer's
  // think waits for its answer, shown_engine is its Engine, whose progress the strip follows. The
  // think's thread writes it.
  ThinkAhead* ahead;
  std::atomic<Engine*> shown_engine;
  std::thread think_thread;
  Engine* think_engine = nullptr;
  // The level chosen for the computer's next think (null: whatever the Engines were made with), and the
  // level the Engines are set to.
  const Strength* strength = nullptr;
  const Strength* engine_strength = nullptr;

  TurnFlags() = default;
  TurnFlags(const TurnFlags&) = delete;
  // A think still running when the game goes is stopped and joined.
  ~TurnFlags();
};

// The game's clocks: the time control it is played under, both clocks as they stand for the position on
// the board, and the time source they read in milliseconds (null: the steady clock; tests hand in a fake).
// Moves up to origin_ply were timed by another game's clock (a loaded record): the clocks start after them.
struct PlayClock {
  ClockSettings settings;
  GameClock clock;
  int origin_ply = 0;
  int64_t (*now)() = nullptr;
  std::u16string drawn[2];   // each side's clock as last drawn, so that the timer draws only a change
};

// Everything the window shows and the commands change, grouped by concern, so that a function's reach
// shows in what it is handed.
struct GameState {
  GamePlay game;
  ScreenBoard screen;
  InputState input;
  ViewState view;
  TurnFlags flags;
  PositionEdit edit;   // 局面編集: while it is active the board shows the position edited
  std::shared_ptr<StudyState> study;   // 検討, 棋譜解析 and ヒント with the analyst (app/study.h)
  std::shared_ptr<EngineOpponent> opponent;   // a USI engine playing the computer (app/engine_opponent.h)
  PlayClock clock;
};

extern const int HAND_LAYOUT[4][8];

// Fills the tables, empties the record (the even game's start), the selection and the flags.
void game_construct(GameState& gs);

// What the main window does once when it is created (without loading pictures, which rendering does):
// a new record, flags cleared, selection parked on the centre square.
void game_reset_for_window(GameState& gs);

// The game's side to move, and whose turn that is.
inline int side_to_move(const GameState& gs) { return gs.game.position.side_to_move; }
inline int computer_side(const GameState& gs) { return gs.game.player_side ^ 1; }
inline bool player_to_move(const GameState& gs) { return side_to_move(gs) == gs.game.player_side; }
// The end of the record's line at the cursor; NONE unless the cursor is a line's last node with an end.
inline GameEnd end_here(const GameState& gs) { return gs.game.record.nodes[gs.game.cursor].end; }
// A finished game is on the board: the line ends here with a result (an adjourned game, 中断 or 封じ手,
// goes on).
inline bool game_over(const GameState& gs) {
  const GameEnd end = end_here(gs);
  return end != GAME_END_NONE && end != GAME_END_SUSPENDED && end != GAME_END_SEALED;
}
// Moves from the start to the cursor, and in the line the list shows.
inline int cursor_ply(const GameState& gs) { return gs.game.record.nodes[gs.game.cursor].ply; }
inline int shown_moves(const GameState& gs) { return gs.game.record.nodes[gs.game.line_tip].ply; }
// Moves in the record's main line, the one a file saves first.
inline int main_line_moves(const GameState& gs) { return gs.game.record.nodes[main_line_end(gs.game.record)].ply; }

// 局面編集 is open: clicks set out pieces, and the game's commands wait for it to close.
inline bool editing(const GameState& gs) { return gs.edit.active; }

// The board shows node `node`: cursor, position, screen and the highlighted move into it. The line
// shown runs through it (to the end of its main continuation when it left the line shown before).
void go_to_node(GameState& gs, int node);
// The position, the screen board and the move into the position, again from the record and the cursor.
void show_position(GameState& gs);
// The screen board (and hands) showing `pos`, turned as the view is; nothing else changes.
void show_board(GameState& gs, const SfenPosition& pos);
// A new record replaces the game's: the board at its start, the list showing its main line.
void take_record(GameState& gs, GameRecord record);

// Screen squares and record squares: the same square unless the screen is rotated.
inline int screen_line(const GameState& gs, int col_or_row) { return gs.screen.rotated ? 8 - col_or_row : col_or_row; }
// The record's move in screen squares and codes, as the highlights draw it.
MoveRecord screen_move(const GameState& gs, const MoveRecord& move);

// No move is highlighted any more.
void forget_last_move(ViewState& view);

// Status line helpers: the text, with "%d" (if any) replaced by value.
void set_status(ViewState& view, const char16_t* text, int value = 0);

}  // namespace halvane
