// One computer turn: hands the position on screen to the think, then applies its answer — a move, a
// resignation, or the capture of the player's king, which ends the game with the player's foul. A
// pawn-drop mate the player was let play is claimed as a foul before any think.
#include <chrono>
#include <cstring>
#include <thread>

#include "app/move_rules.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "app/turn_monitor.h"
#include "think/think.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

// How long a game end stays on screen before the monitor goes on.
constexpr int GAME_END_HOLD_MS = 1000;
// How often the monitor looks again for the turn lock while a command holds it.
constexpr int RELOCK_POLL_MS = 2;

// Takes the turn lock back, unless a command has abandoned the think: such a command (待った, 投了, 新規対局)
// holds the lock while it waits for the turn to end, so the answer is dropped and the lock left to it.
bool relock_unless_abandoned(GameState& gs, std::unique_lock<std::recursive_mutex>& turn) {
  while (!turn.try_lock()) {
    if (gs.flags.abandon_think) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(RELOCK_POLL_MS));
  }
  if (!gs.flags.abandon_think) return true;
  turn.unlock();
  return false;
}

// The end stays on screen a moment with the lock released, so that commands answer meanwhile.
bool hold_game_end(GameState& gs, std::unique_lock<std::recursive_mutex>& turn) {
  turn.unlock();
  std::this_thread::sleep_for(std::chrono::milliseconds(GAME_END_HOLD_MS));
  return relock_unless_abandoned(gs, turn);
}

// The player loses by the illegal move just played: it leaves the record, so that the record ends on the
// player's turn with 反則負け.
void foul_by_player(GameState& gs, Engine& e, std::unique_lock<std::recursive_mutex>& turn, const char16_t* text) {
  if (gs.record.current > 0) gs.record.current -= 1;
  gs.record.length = gs.record.current;
  end_game(gs, GAME_END_FOUL);
  set_status(gs.view, text);
  repaint(gs, e);
  hold_game_end(gs, turn);
}

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

  // A pawn-drop mate leaves the computer no move: it claims the foul instead of thinking.
  if (pawn_drop_mate_played(e, gs)) {
    foul_by_player(gs, e, turn, u"打ち歩詰めの反則負けです。試合終了です。");
    return false;
  }

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
  // The answer goes on screen under the turn lock, as every change the window shows; a command that
  // stopped the think to change the game (take back, resign, a new game) has it dropped.
  if (!relock_unless_abandoned(gs, turn)) return false;
  // A book move, a mate or a king's capture is no evaluation.
  gs.view.score_shown = result.meaning.kind == ScoreKind::EVALUATION ? result.score : NO_SCORE;

  if (result.resigned) {
    // 6. Resignation: the board stays as it was before the think.
    move_stands = false;
    gs.view.show_last_move = 0;
    end_game(gs, GAME_END_RESIGNED);
    repaint(gs, e);
    hold_game_end(gs, turn);
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
      // Only a move that left the king attacked lets it be taken: the player loses by that foul.
      move_stands = false;
      gs.record.hands[1][KING] = 0;
      foul_by_player(gs, e, turn, u"王手放置の反則負けです。試合終了です。");
    }
  }
  return move_stands;
}

}  // namespace halvane
