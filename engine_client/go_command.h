// The commands that set up and start an engine's think: "position" from a start position and its moves
// (or a node of a game record), "go" with the clock of the side to move, and how long its answer may take.
#pragma once

#include <string>
#include <vector>

#include "core/sfen.h"
#include "core/types.h"
#include "record/game_record.h"

namespace halvane {

struct GoCommand {
  long long time[2] = {-1, -1};   // btime, wtime in ms; -1: not sent
  long long inc[2] = {-1, -1};    // binc, winc
  long long byoyomi = -1;
  long long movetime = -1;
  bool infinite = false;          // think until "stop"
  bool ponder = false;            // think on the opponent's time until "ponderhit" or "stop"
};

// "go ponder btime 60000 wtime 50000 byoyomi 3000": the words given, in the order engines expect.
std::string go_line(const GoCommand& go);

// How long the engine may take to answer for the side to move (BLACK or WHITE), in ms: its remaining
// time with the byoyomi or the increment, or the movetime; -1 when nothing limits it (infinite, ponder,
// no clock at all). A foul is called only past this and a grace.
long long answer_budget_ms(const GoCommand& go, int side_to_move);

// "position startpos moves 7g7f 3c3d" or "position sfen … moves …".
std::string position_line(const SfenPosition& start, const std::vector<MoveRecord>& moves);

// The start position and the moves that lead to `node` of the record.
std::vector<MoveRecord> moves_to(const GameRecord& record, int node);

}  // namespace halvane
