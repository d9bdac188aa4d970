// Stepping through the game record. Each step shows a node of the line shown, holds the computer (so that
// it does not start thinking on a position the user is only looking at), and tells the move shown; play
// can go on from there. Whose turn it is comes from the position.
#include "app/navigation.h"

#include "app/record_play.h"
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

// The move that led to the position shown is highlighted, as the computer's is during play. The think's
// evaluation belonged to another position.
void show_node(GameState& gs, Engine& e, int node) {
  gs.input.selection = 0;
  go_to_node(gs, node);
  gs.view.show_last_move = node > 0 ? 1 : 0;
  gs.view.score_shown = NO_SCORE;
  hold_computer(gs);
  write_turn_status(gs);
  repaint(gs, e);
}

}  // namespace

void hold_computer(GameState& gs) {
  gs.flags.paused = true;
  set_button_caption(5, PAUSED_CAPTION);
}

void go_first(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は最初に戻せません。");
  show_node(gs, e, 0);
}

void go_to_line(GameState& gs, Engine& e, int line) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は棋譜の局面に移れません。");
  const std::vector<int> shown = shown_line(gs);
  if (line < 0) return;
  show_node(gs, e, shown[line < static_cast<int>(shown.size()) ? line : shown.size() - 1]);
}

void go_to_alternative(GameState& gs, Engine& e, int node) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は棋譜の局面に移れません。");
  if (node <= 0 || node >= static_cast<int>(gs.game.record.nodes.size())) return;
  // The list shows the alternative's own line to its end.
  gs.game.line_tip = line_from(gs.game.record, node).back();
  show_node(gs, e, node);
}

void go_back(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は１手戻せません。");
  gs.input.selection = 0;
  if (gs.game.cursor == 0) return refuse(gs, e, u"今は１手戻せません。");
  show_node(gs, e, gs.game.record.nodes[gs.game.cursor].parent);
}

void go_forward(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は１手進められません。");
  gs.input.selection = 0;
  if (gs.game.cursor == gs.game.line_tip) return refuse(gs, e, u"今は１手進められません。");
  show_node(gs, e, shown_line(gs)[cursor_ply(gs) + 1]);
}

void go_last(GameState& gs, Engine& e) {
  if (gs.flags.thinking) return refuse(gs, e, u"コンピュータの思考中は最後まで進められません。");
  gs.input.selection = 0;
  if (shown_moves(gs) < 2) return refuse(gs, e, u"今は最後まで進められません。");
  show_node(gs, e, gs.game.line_tip);
}

}  // namespace halvane
