// Stepping through the game record. Each step shows a recorded slot, holds the computer (so that it does
// not start thinking on a position the user is only looking at), clears a game end so that play can go
// on from there, and gives the turn by the slot's parity.
#include "app/navigation.h"

#include <cstring>

#include "app/render.h"
#include "app/ui.h"

namespace halvane {

namespace {

constexpr char16_t PAUSED_CAPTION[] = u"■";

void refuse(GameState& gs, Engine& e, const char16_t* text) {
  set_status(gs.view, text);
  repaint(gs, e);
}

void navigation_tail(GameState& gs, Engine& e) {
  gs.flags.game_over = false;
  forget_last_move(gs.view);
  hold_computer(gs);
  turn_by_parity(gs);
  repaint(gs, e);
}

void show_recorded(GameState& gs, Engine& e, int slot) {
  gs.view.show_last_move = 0;
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
  gs.view.show_last_move = 0;
  gs.record.current = 0;
  copy_initial(gs.record, gs.record.board);
  std::memset(gs.record.hands, 0, sizeof gs.record.hands);
  gs.flags.player_to_move = gs.record.player_is_gote == 0;
  forget_last_move(gs.view);
  gs.flags.game_over = false;
  repaint(gs, e);
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
