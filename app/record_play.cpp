// Playing into the record and taking moves out of it, with the cursor, the line shown and the record's
// revision kept in step.
#include "app/record_play.h"

#include <algorithm>

#include "app/play_clock.h"

namespace halvane {

namespace {

// Removes the leaf `node` from the record; the nodes after it move down by one. Returns the new index of
// `keep` (another node).
int remove_leaf(GameRecord& record, int node, int keep) {
  std::vector<int>& siblings = record.nodes[record.nodes[node].parent].children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), node));
  record.nodes.erase(record.nodes.begin() + node);
  const auto renumbered = [node](int k) { return k > node ? k - 1 : k; };
  for (RecordNode& n : record.nodes) {
    n.parent = n.parent < 0 ? n.parent : renumbered(n.parent);
    for (int& c : n.children) c = renumbered(c);
  }
  return renumbered(keep);
}

void changed(GameState& gs) {
  gs.game.revision += 1;
  gs.flags.unsaved = true;
}

}  // namespace

void play_move(GameState& gs, const MoveRecord& move) {
  GamePlay& g = gs.game;
  if (!gs.flags.keep_variations) g.cursor = cut_after(g.record, g.cursor);
  const int node = add_move(g.record, g.cursor, move);
  if (gs.flags.keep_variations) make_main_line(g.record, node);
  g.cursor = node;
  g.line_tip = line_from(g.record, node).back();
  clock_charge(gs, node);
  changed(gs);
  show_position(gs);
}

void withdraw_move(GameState& gs, int node) {
  GamePlay& g = gs.game;
  int parent = g.record.nodes[node].parent;
  if (gs.flags.keep_variations) {
    // The parent comes before its children, so the cut below `node` leaves its index as it was.
    parent = remove_leaf(g.record, cut_after(g.record, node), parent);
  } else {
    parent = cut_after(g.record, parent);
  }
  g.cursor = parent;
  g.line_tip = line_from(g.record, parent).back();
  changed(gs);
  show_position(gs);
  clock_to_cursor(gs);
}

int add_line_after(GameState& gs, int node, const std::vector<MoveRecord>& moves) {
  int first = -1;
  for (const MoveRecord& move : moves) {
    node = add_move(gs.game.record, node, move);
    if (first < 0) first = node;
  }
  changed(gs);
  return first;
}

void end_line_here(GameState& gs) {
  GamePlay& g = gs.game;
  if (g.record.nodes[g.cursor].children.empty()) return;
  g.cursor = cut_after(g.record, g.cursor);
  g.line_tip = g.cursor;
  changed(gs);
  show_position(gs);
}

std::vector<int> shown_line(const GameState& gs) { return path_to(gs.game.record, gs.game.line_tip); }

}  // namespace halvane
