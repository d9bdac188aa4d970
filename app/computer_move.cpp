// One computer turn: hands the position on screen to the think, then applies its answer — a move, a
// resignation, or the capture of the player's king, which ends the game.
#include <chrono>
#include <cstring>
#include <thread>

#include "app/render.h"
#include "app/turn_flow.h"
#include "app/turn_monitor.h"
#include "think/think.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

// How long a game end stays on screen before the monitor goes on.
constexpr int GAME_END_HOLD_MS = 1000;

void hold_game_end() { std::this_thread::sleep_for(std::chrono::milliseconds(GAME_END_HOLD_MS)); }

}  // namespace

ThinkRequest screen_think_request(GameState& gs) {
  build_engine_input(gs.record);
  ThinkRequest request;
  std::memcpy(request.board, gs.record.engine_board, sizeof request.board);
  std::memcpy(request.hand, gs.record.engine_hands, sizeof request.hand);
  request.game_ply = gs.record.current;
  request.limit_ms = gs.flags.think_limit_ms.load();
  return request;
}

bool computer_move(GameState& gs, Engine& e, std::unique_lock<std::recursive_mutex>& turn) {
  bool move_stands = true;
  // 1. The think has begun (the monitor set `thinking`): the commands that change the position refuse.
  wake_turn_threads();   // the repaint watcher starts following the progress
  set_status(gs.view, TEXT_THINKING);
  repaint(gs, e);

  // 2.-4. The engine's inputs: move count, board and hands exactly as on screen.
  ThinkRequest request = screen_think_request(gs);
  turn.unlock();

  // 5. The think returns when the move is chosen. The think ahead's is taken when it thought on exactly
  // this position; any other stops.
  ThinkResult result;
  const auto follow = [](Engine& thinking, void* state) {
    static_cast<GameState*>(state)->flags.shown_engine = &thinking;
  };
  if (!(gs.flags.ahead && think_ahead_take(*gs.flags.ahead, request, result, follow, &gs))) result = think(e, request);
  gs.flags.shown_engine = nullptr;
  // A time limit that cut even the first think before its root had a move: the move is thought out
  // without the limit rather than resigned or left unplayed.
  if (result.stopped && result.move.to_col < 0) {
    request.limit_ms = 0;
    result = think(e, request);
  }
  // The answer goes on screen under the turn lock, as every change the window shows.
  turn.lock();
  gs.view.score_shown = result.score;

  if (result.resigned) {
    // 6. Resignation: the board stays as it was before the think.
    move_stands = false;
    gs.view.show_last_move = 0;
    end_game(gs, GAME_END_RESIGNED);
    set_status(gs.view, u"コンピュータが投了しました。試合終了です。%d", gs.view.score_shown);
    repaint(gs, e);
    turn.unlock();
    hold_game_end();
    turn.lock();
  } else {
    // 7. The move, for the computer's hand.
    const MoveRecord& m = result.move;
    gs.view.last_move = m;
    gs.view.show_last_move = 1;
    if (m.is_drop())
      apply_drop(gs.record, 1, m.piece_after, m.to_col, m.to_row);
    else
      apply_board_move(gs.record, 1, m.from_col, m.from_row, m.to_col, m.to_row, m.piece_after);
    if (m.captured == KING) {
      // The player's last move, which left the king to be taken, leaves the record.
      move_stands = false;
      if (gs.record.current > 0) gs.record.current -= 1;
      gs.record.length = gs.record.current;
      end_game(gs, GAME_END_KING_CAPTURED);
      gs.record.hands[1][KING] = 0;
      set_status(gs.view, u"プレイヤーの玉が取られました。試合終了です。");
      repaint(gs, e);
      turn.unlock();
      hold_game_end();
      turn.lock();
    }
  }
  return move_stands;
}

}  // namespace halvane
