// GameState: everything the window shows and the commands change — the position as the human sees it,
// both hands, the game record with its cursor, the mouse selection, the status line and the flags
// through which the window thread, the turn monitor and the repaint watcher hand the game to each other.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/initial_position.h"
#include "core/types.h"
#include "record/game_record.h"
#include "kif/kif_names.h"

namespace halvane {
struct Engine;
struct ThinkAhead;
}  // namespace halvane

namespace halvane {

struct Image;   // a picture of the platform layer; the game only holds it

constexpr int GS_CELLS = 400;        // 20 x 20 ints with a wall frame
constexpr int RECORD_SLOTS = 500;    // slot k is the position after k moves
constexpr int PLAYER_MOVE_LIMIT = 498;  // the player may not move once current reaches this
constexpr int STATUS_UNITS = 1000;
constexpr int NO_SCORE = -2147483647 - 1;   // no evaluation to show

// Cell of square (col, row) in a 20 x 20 board.
constexpr int gs_index(int col, int row) { return (row + 5) * 20 + (col + 5); }

// The game record and the position on screen: written by the window thread's commands and by the
// turn monitor while the computer moves.
struct RecordState {
  int current;             // record slot of the position on screen
  int length;              // moves in the record; -1 after a failed KIF load (treated as empty)
  int player_is_gote;      // 1 when the human plays second
  int board[GS_CELLS];     // the position on screen: the player's pieces plain, the computer's with GOTE_BIT
  int hands[2][8];         // [0] the player's, [1] the computer's, by kind
  int initial_board[GS_CELLS];
  uint8_t engine_board[256];     // the position converted for the think
  uint8_t engine_hands[2][8];
  int record_boards[RECORD_SLOTS][GS_CELLS];
  int record_hands[2][RECORD_SLOTS][8];   // all player hands, then all computer hands
};

// The player's mouse input: the selection, the move being made and where the selected piece can go.
// Window thread only.
struct InputState {
  int selection;           // 0 nothing, 1 a board piece, 2 a piece in the player's hand
  int sel_col, sel_row;    // square of the selected board piece; -1 for a hand piece
  int sel_piece;           // code on the selected square, or the kind of the selected hand piece
  int dest_col, dest_row;  // destination of the player's move being made
  int dest_piece;          // code the destination receives
  int hand_cell_col, hand_cell_row;  // grid cell of the clicked hand piece, for its highlight
  int reach_map[GS_CELLS];
  int target_map[GS_CELLS];
};

// The move list as drawn: "開始局面", one line per move, the closing line after a game's end. Written
// by the repaint under the drawing lock; `revision` grows whenever a line or the highlight changes.
constexpr int MOVE_LIST_LINES = RECORD_SLOTS + 1;
constexpr int MOVE_LINE_UNITS = 32;
struct MoveList {
  int count;
  int current_line;   // the line of the position on the board
  char16_t lines[MOVE_LIST_LINES][MOVE_LINE_UNITS];
  unsigned revision;
};

// What the window shows besides the position: the status line, the pictures, the highlights and
// the progress drawn.
struct ViewState {
  char16_t status_text[STATUS_UNITS];  // NUL-terminated
  int hand_layout[4][8];   // player x, player y, computer x, computer y of each kind's pile
  Image* piece_images[32]; // by piece code; null where a picture failed to load
  std::atomic<int> progress_drawn;  // last root_progress drawn; the repaint watcher compares it unlocked
  int show_last_move;      // 1 while the computer's last destination is highlighted
  MoveRecord last_move;    // the computer's last move; to_col -1 when there is none to show
  int score_shown;         // the last think's evaluation, shown on the player's turn; NO_SCORE when there is
                           // none for the position on screen (a book move, a new or loaded game, a step)
  std::atomic<int> refresh_count;  // the turn monitor's repaint budget
  MoveList move_list;
  const char16_t* computer_name;   // the program and its strength, "ハルベイン（激辛）"; null: "ハルベイン"
};

// The flags through which the window thread, the turn monitor and the repaint watcher hand the game
// to each other.
struct TurnFlags {
  std::atomic<bool> started;
  std::atomic<bool> game_over;
  // How the record's game ended: set with game_over, kept while the user steps through the finished
  // record, back to NONE once a move is recorded. The KIF writer's closing word comes from it.
  std::atomic<GameEnd> end_reason;
  std::atomic<bool> thinking;
  std::atomic<bool> player_to_move;
  std::atomic<bool> input_busy;
  std::atomic<bool> paused;
  // Settings the window hands to the turn flow: a think's time limit in milliseconds (0: none, the think
  // runs to its end) and whether the computer thinks ahead on the player's time.
  std::atomic<int> think_limit_ms;
  std::atomic<bool> think_ahead;
  // 反則手も指せる: the player's illegal moves are played instead of refused (the computer may then take
  // the king, and the game ends with the player's foul).
  std::atomic<bool> allow_illegal;
  // Set by a command that stops the computer's think (take back, resign, a new game): the think's answer
  // is thrown away and the turn monitor starts no new think while it is set.
  std::atomic<bool> abandon_think;
  // The record has moves that were never saved: set by every recorded move and by a take back, cleared by
  // a save, a load and a reset.
  std::atomic<bool> unsaved;
  // The think ahead on the player's time (null: none, as without a second core); while the turn flow
  // waits for its answer, shown_engine is its Engine, whose progress the strip follows.
  ThinkAhead* ahead;
  std::atomic<Engine*> shown_engine;
};

// Everything the window shows and the commands change, grouped by concern, so that a function's reach
// shows in what it is handed.
struct GameState {
  RecordState record;
  InputState input;
  ViewState view;
  TurnFlags flags;
};

extern const int HAND_LAYOUT[4][8];

// Fills the tables, sets the initial position, empties both hands and the record cursor; all flags
// false except player_to_move.
void game_construct(GameState& gs);

// What the main window does once when it is created (without loading pictures, which rendering does):
// initial position, empty record, flags cleared, selection parked on the centre square.
void game_reset_for_window(GameState& gs);

// Copies the initial position into a 20 x 20 board (the wall frame included).
void copy_initial(const RecordState& record, int board[GS_CELLS]);

// current + 1 becomes the new current and length; the slot receives the board and both hands, and any
// later moves are dropped. Returns false and records nothing when the record is full: slot 499 is the
// last there is.
bool record_current(GameState& gs);

// The game ends: end_reason, then game_over, so that whoever sees game_over also sees why. The end is
// told (status line, and a box on the window thread that says how it ended and who won) from here, so
// every way of ending a game is told alike, whichever thread ends it.
void end_game(GameState& gs, GameEnd reason);

// Shows record slot k: board and hands.
void show_slot(RecordState& record, int k);

// Whose turn the slot on screen is, from its parity and the side the player plays.
void turn_by_parity(GameState& gs);

// Turns every slot 0..length by 180 degrees with the owners exchanged, exchanges the recorded hands,
// toggles player_is_gote and shows slot 0.
void rotate_record(RecordState& record);

// When the player is gote: turns every slot 0..length by 180 degrees with the owners kept (the board seen
// from across the table, not the turn above) and exchanges the recorded hands, so that sente stands at
// the bottom. Applying it twice restores the record.
void orient_for_file(RecordState& record);

// A board move for hand `side` (0 the player, 1 the computer): a captured piece enters that hand
// demoted, the destination receives `code_after`, the origin empties.
void apply_board_move(RecordState& record, int side, int from_col, int from_row, int to_col, int to_row, int code_after);
// A drop for hand `side`: the destination receives `code`; one of its kind leaves the hand when there is one.
void apply_drop(RecordState& record, int side, int code, int to_col, int to_row);

// The position on screen in the engine's form: engine_board (256 cells, walls around the 81 squares)
// and engine_hands, exactly what the turn flow hands to the think.
void build_engine_input(RecordState& record);

// No computer move is highlighted any more.
void forget_last_move(ViewState& view);

// Status line helpers: the text, with "%d" (if any) replaced by value.
void set_status(ViewState& view, const char16_t* text, int value = 0);

}  // namespace halvane
