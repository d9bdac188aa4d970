// GameRecord: one game as players and record files know it — the position it starts from, the moves as a
// tree (the main line and its variations), per move the time it took and its comments, the header's
// fields, and how each line ended. The formats read and write it, the window plays on it, and every
// position on screen or handed to a think is derived from it. "Sente" and "gote" here are the first and
// the second mover, whoever plays them.
#pragma once

#include <string>
#include <vector>

#include "core/evaluation.h"
#include "core/sfen.h"
#include "core/types.h"

namespace halvane {

// How a line of the record ended, by the word a KIF file closes it with. Every end is said of the side
// to move after the line's last move: it resigned, it is mated, it lost by a foul that is not in the
// record (反則負け), or it won because the last move in the record was a foul (反則勝ち).
enum GameEnd : int {
  GAME_END_NONE,            // the line goes on, or simply stops
  GAME_END_RESIGNED,        // 投了
  GAME_END_KING_CAPTURED,   // the computer took a king the player left en prise; written 投了
  GAME_END_MATED,           // 詰み
  GAME_END_FOUL,            // 反則負け: the side to move played an illegal move, not recorded
  GAME_END_FOUL_WIN,        // 反則勝ち: the last recorded move was illegal, the side to move wins
  GAME_END_SUSPENDED,       // 中断
  GAME_END_REPETITION,      // 千日手
  GAME_END_IMPASSE,         // 持将棋
  GAME_END_TIME_LOSS,       // 切れ負け: the side to move ran out of time
  GAME_END_ENTERING_KING,   // 入玉勝ち: the side to move declared a win
  GAME_END_DEFAULT_WIN,     // 不戦勝
  GAME_END_DEFAULT_LOSS,    // 不戦敗
  GAME_END_SEALED,          // 封じ手
  GAME_END_NO_MATE,         // 不詰: a mate problem's line without a mate
};

constexpr int NO_TIME = -1;   // a move's time that the record does not know

// One position of the tree and the move that led there. Node 0 is the start position and has no move.
struct RecordNode {
  MoveRecord move;               // in SfenPosition coordinates; unset for node 0
  int parent = -1;               // -1 for node 0
  int ply = 0;                   // moves from the start position
  std::vector<int> children;     // children[0] continues the line; the others are its variations, in order
  int time_ms = NO_TIME;         // how long the move took
  int total_ms = NO_TIME;        // the mover's time used up to and with this move, as records state it
  std::vector<std::string> comments;   // the comment lines on this position, UTF-8, without KIF's "*"
  GameEnd end = GAME_END_NONE;   // how the line ends after this move (only on a node without children)
  int end_time_ms = NO_TIME;     // the time spent before the end word, where a record gives one
  // The evaluation of this position (core/evaluation.h), from a think or an analysis; files keep it only
  // as the analysis's tagged comments.
  int evaluation = NO_EVALUATION;
};

// A header field as the record states it, UTF-8: {"開始日時", "2014/10/16 03:21:41"}, {"先手", "羽生善治"}.
// The start position itself is never a header field (the formats write it from `start`).
struct RecordHeader {
  std::string key, value;
};

struct GameRecord {
  SfenPosition start = startpos();
  std::vector<RecordHeader> headers;         // in the order they were read or set
  std::vector<RecordNode> nodes{RecordNode{}};
};

// The value of header `key`, or null.
const std::string* header_value(const GameRecord& record, const std::string& key);
// Sets header `key` (replacing the first one of that name, else appending it).
void set_header(GameRecord& record, const std::string& key, const std::string& value);

// The child of `node` that plays `move`, or -1.
int child_with_move(const GameRecord& record, int node, const MoveRecord& move);
// Plays `move` after `node`: an existing child with the same move is returned as it is; otherwise a new
// child is added behind the others (a variation) and returned. The node's end, if any, is cleared.
int add_move(GameRecord& record, int node, const MoveRecord& move);

// Makes the line through `node` the main line: at every ancestor the child on the way to `node` moves to
// the front, the former main continuation becoming its first variation.
void make_main_line(GameRecord& record, int node);
// Removes every move after `node` (its children and all below them); node indices above the removed ones
// are renumbered, so indices held elsewhere must be taken again (the path to `node` keeps its nodes).
// Returns `node`'s new index.
int cut_after(GameRecord& record, int node);

// The nodes from the start to `node`, both included.
std::vector<int> path_to(const GameRecord& record, int node);
// The node reached from `node` by always taking the first child, `node` itself included: the rest of the
// main line from there.
std::vector<int> line_from(const GameRecord& record, int node);
// The last node of the main line.
int main_line_end(const GameRecord& record);
// The node `ply` moves into the line through `node` (its ancestors, or the main continuation after it);
// -1 when that line is shorter.
int node_at_ply(const GameRecord& record, int node, int ply);

// The position after `node`'s move, replayed from the start.
SfenPosition position_at(const GameRecord& record, int node);

// The number of variations in the whole tree: every child after a node's first.
int variation_count(const GameRecord& record);

}  // namespace halvane
