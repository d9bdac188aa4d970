// Stepping through the game record. Each step shows a recorded slot, holds the computer (so that it does
// not start thinking on a position the user is only looking at), clears a game end so that play can go
// on from there, and gives the turn by the slot's parity.
#include "app/navigation.h"

#include <cstring>

#include "app/record_slots.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/ui.h"

namespace halvane {

namespace {

constexpr char16_t PAUSED_CAPTION[] = u"■";

void refuse(GameState& gs, Engine& e, const char16_t* text) {
  set_status(gs.view, text);
  repaint(gs, e);
}

// The move that led to the slot on screen is highlighted, as the computer's is during play.
void mark_move_into(GameState& gs, int slot) {
  forget_last_move(gs.view);
  gs.view.show_last_move = 0;
  MoveRecord move;
  int differences;
  if (slot < 1 || slot_move(gs, slot - 1, move, differences) != SLOT_MOVE) return;
  gs.view.last_move = move;
  gs.view.show_last_move = 1;
}

// A finished record's last position is a game over again: the turn passes to no one there. The think's
// evaluation belonged to another position.
void navigation_tail(GameState& gs, Engine& e) {
  gs.flags.game_over = finished_here(gs);
  mark_move_into(gs, gs.record.current);
  gs.view.score_shown = NO_SCORE;
  hold_computer(gs);
  turn_by_parity(gs);
  write_turn_status(gs);
  repaint(gs, e);
}

void show_recorded(GameState& gs, Engine& e, int slot) {
  gs.record.current = slot;
  show_slot(gs.record, slot);
  navigation_tail(gs, e);
}

}  // namespace

void hold_computer(GameState& gs) {
  gs.flags.paused = true;
  set_button_caption(5, PAUSED_CAPTION);
}

void go_first(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は最初に戻せません。");
  hold_computer(gs);
  gs.input.selection = 0;
  gs.record.current = 0;
  copy_initial(gs.record, gs.record.board);
  std::memset(gs.record.hands, 0, sizeof gs.record.hands);
  navigation_tail(gs, e);
}

void go_to_slot(GameState& gs, Engine& e, int slot) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は棋譜の局面に移れません。");
  gs.input.selection = 0;
  const int last = gs.record.length < RECORD_SLOTS ? gs.record.length : RECORD_SLOTS - 1;
  if (slot < 0) return;
  if (slot > last) slot = last;
  if (slot == 0) return go_first(gs, e);
  show_recorded(gs, e, slot);
}

void go_back(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は１手戻せません。");
  gs.input.selection = 0;
  if (gs.record.current < 1) return refuse(gs, e, u"今は１手戻せません。");
  show_recorded(gs, e, gs.record.current - 1);
}

void go_forward(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は１手進められません。");
  gs.input.selection = 0;
  if (gs.record.current >= RECORD_SLOTS - 1 || gs.record.current >= gs.record.length) return refuse(gs, e, u"今は１手進められません。");
  show_recorded(gs, e, gs.record.current + 1);
}

void go_last(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は最後まで進められません。");
  gs.input.selection = 0;
  if (gs.record.length < 2) return refuse(gs, e, u"今は最後まで進められません。");
  show_recorded(gs, e, gs.record.length < RECORD_SLOTS ? gs.record.length : RECORD_SLOTS - 1);
}

}  // namespace halvane
