// RecordBuilder grows a GameRecord as a reader of any record format meets its moves, ends and
// variations, and holds every move to the rules of the position it is played on. A move from a square
// without the mover's piece, or onto the mover's own piece, is refused; a move that breaks any other rule
// is kept only as a line's last move, before the end 反則勝ち that records exactly that foul.
#pragma once

#include <string>

#include "record/game_record.h"

namespace halvane {

struct RecordBuilder {
  explicit RecordBuilder(GameRecord& r) : record(r), pos(r.start) {}

  GameRecord& record;
  int current = 0;          // the node the next move follows
  SfenPosition pos;         // the position at `current`
  bool closed = false;      // the current line ended: its further moves are not read
  int foul_line = 0;        // a move that broke a rule waits for 反則勝ち: its line and reason
  std::string foul_reason;

  // Plays `move` (origin, destination, piece before and after; the capture is taken from the board)
  // after the current node, read on `line`. Empty when it was played, else why it was refused.
  std::string play(MoveRecord move, int line);
  // Ends the current line with `end` (a pending foul is forgiven only by GAME_END_FOUL_WIN, which the
  // caller checks); the line's further moves are not read.
  void close(GameEnd end);
  // Goes back to the start of move `ply` of the line read last, so that the moves read next form a
  // variation there. False when that line has no such move.
  bool branch(long ply);
};

}  // namespace halvane
