// A registered USI engine as the computer: on its turn the window sends it the game (position and a go
// with both clocks) through the USI client instead of thinking itself, plays its answer as the computer's
// move, lets it ponder on the player's time when its USI_Ponder (or Ponder) option is on, and tells it how each game
// ended. Its failures end the game as the rules say — an illegal move or a false declaration is 反則負け,
// running out of a game clock 切れ負け — and any other failure (it does not start, crashes, stops
// answering) keeps the game, held, with a message; its process is always reaped. Window thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis.h"
#include "app/game_state.h"

namespace halvane {

struct Engine;

// The time an engine gets for a move when the game has no clock: the window's 思考時間の上限, or this
// when that is none, as 秒読み.
constexpr int ENGINE_UNLIMITED_MOVE_MS = 30000;

struct EngineOpponent {
  RegisteredEngine engine;
  std::u16string name;                        // what the record and the status call it
  std::shared_ptr<AnalysisSession> session;   // started on its first turn, kept from game to game
  ClientTimeouts timeouts;                    // the client's; tests make them short
  std::vector<std::string> arguments;         // given to the program after its name (tests choose a misdeed)
  int move_request = NO_REQUEST;              // the go whose answer is the computer's move
  uint64_t generation = 0;                    // the game's generation when it was asked
  int evaluation = NO_EVALUATION;             // the running go's latest, from sente's side
  // A ponder under way: the engine thinks on the position after `ponder_move` from node `ponder_from`.
  bool pondering = false;
  int ponder_from = -1;
  MoveRecord ponder_move;
  int protocol_errors = 0;                    // its failures, all games
  int ponders = 0, ponder_hits = 0;           // ponders started, and those the player's move made its think
};

// The engine plays the computer from now (null: Halvane's own think does). Choosing another engine ends
// the one before; choosing the same keeps it running.
void choose_engine_opponent(GameState& gs, const RegisteredEngine* engine);
// A USI engine plays the computer's side.
inline bool engine_plays(const GameState& gs) { return gs.opponent && !gs.opponent->engine.path.empty(); }

// The engine is being started (its "readyok" not come yet, nor a failure).
bool engine_getting_ready(const GameState& gs);

// The computer's turn when an engine plays it: the go (or the ponderhit on a ponder that guessed right).
void start_engine_turn(GameState& gs, Engine& e);
// The go or ponder under way is stopped; its answer will not count.
void stop_engine_turn(GameState& gs);
// A new record replaces the game's (a new game, a load, a reset): "usinewgame" before the engine's next go.
void engine_new_game(GameState& gs);
// The game on the board has ended: the engine is told how ("gameover win", …).
void engine_game_over(GameState& gs);
// The window closes: the engine is asked to quit and waited for (killed after the client's graces).
void close_engine_opponent(GameState& gs);

// The "go" for the computer's move on the position on the board: both clocks' time left, the 秒読み and the
// increments under a clock; without one, 秒読み alone of the window's think limit.
GoCommand engine_go_command(const GameState& gs);

}  // namespace halvane
