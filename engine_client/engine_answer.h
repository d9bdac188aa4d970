// What a USI engine says while it thinks and when it has thought: the "info" lines (depth, nodes, score,
// best line, ...) and the "bestmove" line. The readers take the words after the command word and never
// fail loudly: what cannot be read is left unset.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/sfen.h"
#include "core/types.h"

namespace halvane {

// (UsiScoreKind: the think facade has a ScoreKind of its own for its answers.)
enum UsiScoreKind { SCORE_NONE, SCORE_CP, SCORE_MATE };
enum ScoreBound { BOUND_EXACT, BOUND_LOWER, BOUND_UPPER };

struct EngineInfo {
  int depth = -1, seldepth = -1;     // -1: not given
  long long time_ms = -1, nodes = -1, nps = -1;
  int hashfull = -1;                 // per mille
  int multipv = 1;                   // which of several best lines this is, 1 the best
  // From the side to move's view, as USI has it: centipawns, or the moves to a mate (positive: the side
  // to move mates; negative: it is mated). "mate +" and "mate -" say only the sign: the score is then +1
  // or -1 and mate_length_known false.
  UsiScoreKind score_kind = SCORE_NONE;
  int score = 0;
  bool mate_length_known = true;
  ScoreBound bound = BOUND_EXACT;
  std::string currmove;              // the move being searched, as sent
  std::vector<std::string> pv;       // the best line, as sent
  std::string text;                  // "info string …": the rest of the line
};

// Reads the words after "info"; false when no known field could be read (the line is then garbage).
// Unknown fields ("tbhits 0", "cpuload 12") are stepped over.
bool parse_info_line(std::string_view words, EngineInfo& out);

enum BestMoveKind { BESTMOVE_MOVE, BESTMOVE_RESIGN, BESTMOVE_WIN };

struct BestMoveText {
  BestMoveKind kind = BESTMOVE_MOVE;
  std::string move;     // the move's text (BESTMOVE_MOVE); may be empty when the engine sent none
  std::string ponder;   // the reply it expects, or ""
};

// Reads the words after "bestmove": "7g7f", "7g7f ponder 3c3d", "resign", "win".
BestMoveText parse_bestmove_line(std::string_view words);

// The USI move `text` as a legal move in `pos`; false (with the reason) when it is malformed or breaks a
// rule there, which for an engine's bestmove is a foul.
bool legal_usi_move(std::string_view text, const SfenPosition& pos, MoveRecord& move, std::string& reason);

// The longest beginning of `line` that is legal from `pos`, move after move: the part of a best line a
// window can name.
std::vector<MoveRecord> legal_line(const SfenPosition& pos, const std::vector<std::string>& line);

}  // namespace halvane
