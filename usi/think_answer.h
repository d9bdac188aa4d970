// One think on a game position and the answer a USI front end gives from it: the move in the game's
// coordinates (always a legal one), or resignation, with the think's time, nodes and score.
#pragma once

#include <cstdint>
#include <string>

#include "think/think.h"
#include "usi/position_command.h"

namespace halvane {

struct ThinkAnswer {
  bool resign = false;
  MoveRecord move;          // in the game position's coordinates; meaningful unless resign
  MoveRecord reply;         // the reply the think searched as best against the move, legal after it
  bool has_reply = false;
  bool searched = false;    // the move is the think's own (not the fallback of a think stopped at once)
  bool stopped = false;     // the think was asked to stop early and its answer comes from a cut search
  bool limited = false;     // a time-limited think answered from a smaller think than the level's own
  bool book = false;        // the think played a book move
  bool mate_used = false;   // the mate thread's mate ended the think
  int score = 0;            // ply_best[0], from the side not to move's point of view (the engine's SENTE)
  int evaluation = NO_EVALUATION;   // the think's evaluation (core/evaluation.h) from the side to move
  BestLine pv;              // the think's best line in the game position's coordinates, from the move
  long long ms = 0;
  uint64_t nodes = 0;       // main search, reply checks and mate thread together, of every think run
  uint64_t mate_nodes = 0;  // the mate thread's part of them
  int depth = 0;            // the search's depth limit
};

// `options` gives the seed (and a test's search); the position is the game's.
// Turns the position into the engine's view (the side to move as GOTE), thinks, and turns the answer back.
// Resigns only when the think ran to its end and resigned, or when the side to move has no legal move.
// With `progress`, each completed think of a growing series writes its info line to that session.
struct UsiSession;
ThinkAnswer answer_think(Engine& e, const GamePosition& game, const ThinkRequest& options,
                         UsiSession* progress = nullptr);

// The USI "score" words for a think's score (SENTE's point of view), told from the engine's side: a mate
// from the mate thread or a king capture the search saw as "score mate N", else "score cp N".
std::string score_words(int sente_score);

// The USI "score" words of an evaluation from the side to move: "score cp N", or "score mate N" with N
// below 0 when the side to move is the one mated; "score cp 0" for none (a book move).
std::string evaluation_words(int evaluation);

// "info depth .. nodes .. time .. nps .. score .. pv .." for the answer: its evaluation and whole line.
std::string answer_info(const ThinkAnswer& answer, int depth);

}  // namespace halvane
