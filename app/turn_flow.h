// The turn flow, on the window thread: after every change the game goes on — the computer's think starts
// on its turn (on a thread of its own), the think ahead runs on the player's — and the think's answer
// comes back as an event carrying the game's generation when it was asked for; an answer for an older
// generation (after 待った, 投了, a load, a reset, a new game) is dropped. The window's timer shows the
// think's progress.
#pragma once

#include <cstdint>

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// Texts the turn flow and the commands share.
inline constexpr char16_t TEXT_PRESS_START[] = u"開始するには開始ボタンを押してください。";
inline constexpr char16_t TEXT_THINKING[] = u"コンピュータの思考中です";
inline constexpr char16_t TEXT_MATED[] = u"詰みです。試合終了です。";
// The pause pressed during a think: the think goes on and plays, and the computer's next turn is held.
inline constexpr char16_t TEXT_PAUSE_AFTER_THINK[] = u"思考が終わると一時停止します";

// How often the window looks at a running think's progress.
constexpr int PROGRESS_TICK_MS = 50;

// Called on the window thread after anything that may hand the turn on: on the computer's turn of a
// running, unpaused game it claims the player's foul when the last move was one, or starts the think;
// on the player's turn it keeps the think ahead running when it is wanted, and stops it otherwise.
void advance_game(GameState& gs, Engine& e);

// Starts the computer's think on the position on the board, on a thread of its own.
void start_computer_think(GameState& gs, Engine& e);

// Stops the computer's think and the think ahead and waits for their threads: no think of the game runs
// when it returns, and an answer already on its way is dropped.
void stop_computer(GameState& gs, Engine& e);

// The think's answer, on the window thread: applied to the game it was asked for (the computer's move,
// its resignation, or its mate of the player), dropped when `generation` is no longer the game's.
void on_think_answer(GameState& gs, Engine& e, uint64_t generation, const ThinkResult& result);

// The computer's answer, whoever thought it: `move` (in record squares; to_col -1 for a resignation)
// played, its evaluation (from sente's side, NO_EVALUATION for none) kept and shown, a mate of the player
// ended, and the game goes on.
void computer_answers(GameState& gs, Engine& e, const MoveRecord& move, int evaluation);

// The window's timer: while a think runs and its progress has changed since it was drawn, the status says
// that the computer thinks and the view is drawn again. Returns whether it drew.
bool progress_tick(GameState& gs, Engine& e);

// The think the position on the board asks for, in the computer's view (its pieces are the engine's GOTE
// pieces, the player's its SENTE pieces): board and hands as the record has them, the moves played so far
// and the chosen time limit. The computer's turn and the think ahead both start from it.
ThinkRequest board_think_request(const GameState& gs);
// A move the think answered, back in the record's squares and codes.
MoveRecord move_from_think(const GameState& gs, const MoveRecord& move);

}  // namespace halvane
