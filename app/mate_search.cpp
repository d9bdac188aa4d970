// 詰み探索 on a thread of its own: an Engine kept for it alone (the game's may be thinking), a deadline
// that stops the solver when the time is up, and the answer handed to the window thread as an event.
#include "app/mate_search.h"

#include <thread>

#include "app/evaluation_text.h"
#include "app/navigation.h"
#include "app/position_editor.h"
#include "app/record_play.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "think/deadline.h"
#include "think/strength.h"

namespace halvane {

namespace {

// The search in flight, owned by the window thread: its thread, the generation its answer must carry, and
// the position it was asked for (the record's revision and the node on the board then, or the editor's
// revision when it was the position being edited).
struct MateSearch {
  EngineHandle engine;
  std::thread thread;
  uint64_t generation = 0;
  unsigned revision = 0;
  int node = -1;
  bool on_edit = false;
  unsigned edit_revision = 0;
  int attacker = BLACK;

  // The board still shows the position the search was asked for.
  bool still_shown(const GameState& gs) const {
    if (on_edit != editing(gs)) return false;
    return on_edit ? gs.edit.revision == edit_revision : gs.game.revision == revision && gs.game.cursor == node;
  }

  ~MateSearch() { stop(); }
  void stop() {
    generation += 1;
    if (!thread.joinable()) return;
    stop_think(*engine);
    thread.join();
  }
};

MateSearch& mate_search() {
  static MateSearch search;
  return search;
}

// The search's thread: the solver and the line's recovery under one deadline, then the answer posted.
void search_for_window(GameState* gs, Engine* e, Engine* solver, SfenPosition pos, int limit_ms, uint64_t generation) {
  Deadline deadline;
  start_deadline(deadline, [solver] { stop_think(*solver); });
  set_deadline(deadline, DeadlineClock::now() + std::chrono::milliseconds(limit_ms));
  MateLine line = solve_mate_line(*solver, pos);
  finish_deadline(deadline);
  post_to_window([gs, e, generation, line = std::move(line)] { on_mate_answer(*gs, *e, generation, line); });
}

}  // namespace

std::u16string mate_answer_text(const MateLine& line, int first_mover) {
  if (line.found) {
    // A line recovered to the end counts its own moves; one cut short, the solver's count.
    const size_t length = line.mated ? line.moves.size() : size_t(line.length);
    const std::u16string moves = utf16_from_utf8(line_text(line.moves, first_mover));
    const std::u16string text = utf16_from_utf8(std::to_string(length)) + u"手詰みです。\n" + moves;
    if (line.mated) return text + u"まで";
    return text + (line.cut ? u" …（時間切れのため読み筋は途中まで）" : u" …（読み筋はここまで）");
  }
  if (line.stopped) return u"見つかりませんでした（時間切れ）";
  return u"詰みはありません。\n（" + utf16_from_utf8(std::to_string(MATE_SOLVE_DEPTH - 1)) + u"手までの詰みを調べました）";
}

void start_mate_search(GameState& gs, Engine& e, int limit_ms) {
  MateSearch& search = mate_search();
  search.stop();
  // The position on the board: the game's, or the one being edited, whose defender must have a king and
  // which must be a position at all (the attacker may be without one, as in a problem).
  const bool on_edit = editing(gs);
  const SfenPosition& pos = on_edit ? gs.edit.position : gs.game.position;
  if (on_edit) {
    const std::u16string refused = edit_refusal(pos, true);
    if (!refused.empty()) {
      message_box((u"この局面では詰みを探せません。\n" + refused).c_str(), u"詰み探索", BOX_INFORMATION, BOX_OK);
      return;
    }
  }
  if (!search.engine) search.engine = new_engine(STRENGTH_CHUUKARA);   // the solver is the same at every level
  clear_stop(*search.engine);
  search.revision = gs.game.revision;
  search.node = gs.game.cursor;
  search.on_edit = on_edit;
  search.edit_revision = gs.edit.revision;
  search.attacker = pos.side_to_move;
  set_status(gs.view, u"詰みを探しています…");
  repaint(gs, e);
  search.thread = std::thread(search_for_window, &gs, &e, search.engine.get(), pos, limit_ms, search.generation);
}

void stop_mate_search() { mate_search().stop(); }

void on_mate_answer(GameState& gs, Engine& e, uint64_t generation, const MateLine& line) {
  MateSearch& search = mate_search();
  if (generation != search.generation) return;   // a newer search, or it was stopped
  if (search.thread.joinable()) search.thread.join();   // it has posted this and ends
  // The board has moved on: the answer is of a position no longer shown.
  if (!search.still_shown(gs)) return;
  write_board_status(gs);
  repaint(gs, e);
  const std::u16string text = mate_answer_text(line, search.attacker);
  // A finished game keeps its end: a line added after its last move would take the end word's place. An
  // edited position is no part of the record.
  const bool can_add = line.found && !line.moves.empty() && !game_over(gs) && !search.on_edit;
  const BoxAnswer answer =
      message_box(text.c_str(), u"詰み探索", BOX_INFORMATION, can_add ? BOX_ADD_TO_RECORD : BOX_OK);
  // The box ran the event loop: the record may have changed meanwhile.
  if (answer != ANSWER_YES || !search.still_shown(gs)) return;
  go_to_alternative(gs, e, add_line_after(gs, search.node, line.moves));
}

}  // namespace halvane
