// The record's tree: moves added as lines or variations, the main line chosen, lines cut, and the nodes
// and positions along a line found. Node 0 is always the start position.
#include "record/game_record.h"

#include <algorithm>

namespace halvane {

const std::string* header_value(const GameRecord& record, const std::string& key) {
  for (const RecordHeader& h : record.headers)
    if (h.key == key) return &h.value;
  return nullptr;
}

void set_header(GameRecord& record, const std::string& key, const std::string& value) {
  for (RecordHeader& h : record.headers)
    if (h.key == key) {
      h.value = value;
      return;
    }
  record.headers.push_back({key, value});
}

int child_with_move(const GameRecord& record, int node, const MoveRecord& move) {
  for (int child : record.nodes[node].children)
    if (record.nodes[child].move == move) return child;
  return -1;
}

int add_move(GameRecord& record, int node, const MoveRecord& move) {
  record.nodes[node].end = GAME_END_NONE;
  record.nodes[node].end_time_ms = NO_TIME;
  const int existing = child_with_move(record, node, move);
  if (existing >= 0) return existing;
  RecordNode child;
  child.move = move;
  child.parent = node;
  child.ply = record.nodes[node].ply + 1;
  const int index = static_cast<int>(record.nodes.size());
  record.nodes.push_back(std::move(child));
  record.nodes[node].children.push_back(index);
  return index;
}

void make_main_line(GameRecord& record, int node) {
  for (int child = node; record.nodes[child].parent >= 0; child = record.nodes[child].parent) {
    std::vector<int>& siblings = record.nodes[record.nodes[child].parent].children;
    auto at = std::find(siblings.begin(), siblings.end(), child);
    std::rotate(siblings.begin(), at, at + 1);
  }
}

int cut_after(GameRecord& record, int node) {
  // 1. Mark what stays: every node not below `node`.
  const int n = static_cast<int>(record.nodes.size());
  std::vector<char> keep(n, 1);
  std::vector<int> stack(record.nodes[node].children);
  while (!stack.empty()) {
    const int k = stack.back();
    stack.pop_back();
    keep[k] = 0;
    for (int c : record.nodes[k].children) stack.push_back(c);
  }
  // 2. Renumber the kept nodes in their order and rewrite the links. A parent always precedes its
  //    children, since a child is only ever appended after it.
  std::vector<int> renumber(n, -1);
  std::vector<RecordNode> kept;
  for (int k = 0; k < n; ++k)
    if (keep[k]) {
      renumber[k] = static_cast<int>(kept.size());
      kept.push_back(std::move(record.nodes[k]));
    }
  for (RecordNode& r : kept) {
    if (r.parent >= 0) r.parent = renumber[r.parent];
    std::vector<int> children;
    for (int c : r.children)
      if (renumber[c] >= 0) children.push_back(renumber[c]);
    r.children = std::move(children);
  }
  record.nodes = std::move(kept);
  return renumber[node];
}

std::vector<int> path_to(const GameRecord& record, int node) {
  std::vector<int> path;
  for (int k = node; k >= 0; k = record.nodes[k].parent) path.push_back(k);
  std::reverse(path.begin(), path.end());
  return path;
}

std::vector<int> line_from(const GameRecord& record, int node) {
  std::vector<int> line{node};
  while (!record.nodes[line.back()].children.empty()) line.push_back(record.nodes[line.back()].children[0]);
  return line;
}

int main_line_end(const GameRecord& record) { return line_from(record, 0).back(); }

int node_at_ply(const GameRecord& record, int node, int ply) {
  if (ply < 0) return -1;
  int k = node;
  while (record.nodes[k].ply > ply) k = record.nodes[k].parent;
  while (record.nodes[k].ply < ply) {
    if (record.nodes[k].children.empty()) return -1;
    k = record.nodes[k].children[0];
  }
  return k;
}

SfenPosition position_at(const GameRecord& record, int node) {
  SfenPosition pos = record.start;
  const std::vector<int> path = path_to(record, node);
  for (size_t i = 1; i < path.size(); ++i) apply_move(pos, record.nodes[path[i]].move);
  return pos;
}

int variation_count(const GameRecord& record) {
  int count = 0;
  for (const RecordNode& r : record.nodes)
    if (r.children.size() > 1) count += static_cast<int>(r.children.size()) - 1;
  return count;
}

}  // namespace halvane
