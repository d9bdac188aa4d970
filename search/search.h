// The main search's operations: the two node kinds and the recapture nodes, move dispatch and the make
// variants with their scoring, drop search, king safety and the remembered moves. All of them work in
// place on one Engine; the caller of a node raises e.ply before the call and lowers it after.
#pragma once

#include <cstdint>
#include <cstring>

#include "search/engine.h"

namespace halvane {

// Fixed scores, from SENTE's point of view.
constexpr int GOTE_NOTHING_YET = 600000;     // a GOTE node's best before any move
constexpr int SENTE_NOTHING_YET = -GOTE_NOTHING_YET;   // a SENTE node's best before any move
constexpr int KING_VALUE = 300000;
constexpr int KING_CAPTURE_PER_PLY = 5000;   // a nearer king capture is worth more to the capturer
constexpr int REPLY_MATE_SCORE = 25000;      // the human can force mate after the root move
constexpr int ROOT_PAWN_DROP_MATE = -285000; // a root pawn drop whose line takes the king at ply 2

// Interest values of the selective plies.
constexpr int INTEREST_RULE = 0x100;
constexpr int INTEREST_STRONG = 0x180;
constexpr int INTEREST_CAPTURE = 0x200;
constexpr int INTEREST_ROOT_DROP = 0x800;
constexpr int INTEREST_CHECK = 0x1000;

enum SelectiveTest : int { TEST_A, TEST_B, TEST_C };

// The mode of a ply (ply_mode), which says how its moves are treated. GOTE plies take the even modes and
// SENTE plies the odd ones; a schedule ends with MODE_RECAPTURE and MODE_STATIC_RECAPTURE, then MODE_END.
enum PlyMode : int {
  MODE_END = -1,               // past the schedule: a move tried here ends its node with 0
  MODE_ROOT = 0,               // GOTE: every move and drop, with the root's noise and the book's hint
  MODE_FULL = 1,               // SENTE: every board move, drops with an interest
  MODE_GOTE_A = 2,             // selective A: captures, promotions, king moves, the same piece again, ...
  MODE_SENTE_A = 3,            //   ... and the human's king safety
  MODE_GOTE_B = 4,             // selective B: A without the king, promotion and same-piece rules
  MODE_SENTE_B = 5,
  MODE_GOTE_C = 6,             // selective C: B counting only attacks the last move created
  MODE_SENTE_C = 7,
  MODE_RECAPTURE = 8,          // GOTE, recapture_node: only recaptures on the previous move's destination
  MODE_STATIC_RECAPTURE = 9,   // SENTE, static_recapture: the value of recapturing there, nothing made
};
inline bool selective_or_full(int mode) { return mode >= MODE_FULL && mode <= MODE_SENTE_C; }

// Nodes: read e.ply and leave the node's value in ply_best[ply].
void gote_node(Engine& e);
void sente_node(Engine& e);
void recapture_node(Engine& e);     // GOTE, MODE_RECAPTURE
void static_recapture(Engine& e);   // SENTE, MODE_STATIC_RECAPTURE

// What the reply to a move of ply p reads, so that a move whose reply reads little need not be made: the
// make variants set just those cells as the make would leave them, run the reply, and put them back.
// - REPLY_READS_RECAPTURE_CELLS: recapture_node, which reads the board, GOTE's count on the human's king
//   and GOTE's count and rays on the move's destination (and whatever its recaptures' replies read);
// - REPLY_READS_DESTINATION: static_recapture or a ply past the depth, which read the board and SENTE's
//   count and rays on the destination alone;
// - REPLY_READS_ALL: a node that generates moves reads every map, and the deltas of ply p.
// Only where ply p writes no deltas: a make and undo there leave the deltas as they found them.
enum ReplyReads : int { REPLY_READS_ALL, REPLY_READS_RECAPTURE_CELLS, REPLY_READS_DESTINATION };
inline ReplyReads reply_reads(const Engine& e, int p) {
  if (p < e.effects.delta_plies) return REPLY_READS_ALL;
  if (p + 1 >= e.depth_limit || e.ply_mode[p + 1] >= MODE_STATIC_RECAPTURE) return REPLY_READS_DESTINATION;
  return e.ply_mode[p + 1] == MODE_RECAPTURE ? REPLY_READS_RECAPTURE_CELLS : REPLY_READS_ALL;
}

// Whether any of the first `width` remembered-move keys of a ply equals `key`, four keys at a time. Most
// moves match none and skip the comparison field by field. Slots past the width (the rounding up stays
// inside the ply's KILLER_SLOTS) can only send a move on to that comparison, never skip one.
inline bool key_in_slots(const uint32_t* keys, int width, uint32_t key) {
  static_assert(KILLER_SLOTS % 4 == 0);
  using Keys4 = uint32_t __attribute__((vector_size(16)));
  const Keys4 wanted = {key, key, key, key};
  Keys4 hits = {0, 0, 0, 0};
  for (int i = 0; i < width; i += 4) {
    Keys4 four;
    std::memcpy(&four, keys + i, sizeof four);
    hits |= reinterpret_cast<Keys4>(four == wanted);
  }
  return (hits[0] | hits[1] | hits[2] | hits[3]) != 0;
}

// Every generated board move goes through try_move (remembered-move filter) to dispatch_move, which
// refuses own-piece and wall destinations, scores king captures, writes the base delta and routes the
// move by the ply's mode. True means the node must stop.
bool try_move(Engine& e, int from, int piece, int to, int piece_after, int captured);
bool dispatch_move(Engine& e, int from, int piece, int to, int piece_after, int captured);
bool make_root_move(Engine& e, int from, int piece, int to, int piece_after, int captured);
bool make_full_move(Engine& e, int from, int piece, int to, int piece_after, int captured);
bool make_selective_move(Engine& e, SelectiveTest test, int from, int piece, int to, int piece_after,
                         int captured);
bool make_capture_move(Engine& e, int from, int piece, int to, int piece_after, int captured);

// One drop of `kind` by `side` onto the empty `cell`, as the drop loop makes it: delta, hand, board,
// try_drop, undo. True when the node is cut.
bool search_drop(Engine& e, int side, int cell, int kind);
// The remembered-move filter for drops, then drop_search.
void try_drop(Engine& e, int cell);
// The dropped code already stands on `cell` and the hand is already reduced.
void drop_search(Engine& e, int cell);

// How many plies, from the root down, write effect deltas: a node at ply p that searches drops or
// selective moves (MODE_FULL to MODE_SENTE_C) reads the deltas of ply p - 1; no other node reads them.
inline int delta_plies_read(const Engine& e) {
  int plies = 0;
  for (int p = 1; p < SCHEDULE_LEN; ++p)
    if (selective_or_full(e.ply_mode[p])) plies = p;
  return plies;
}

// The positional term of ply 3: effects near both kings, single precision, zero early in the game.
int king_safety(const Engine& e);

// Move-to-front update of ply p's remembered moves; `fields` holds the seven MoveRecord fields and
// dest_rays, in table order.
void remember_move(Engine& e, int ply, const int fields[KILLER_FIELDS]);
void remember_board_move(Engine& e, int ply, int from, int piece, int to, int piece_after, int captured,
                         int dest_rays);
void remember_drop(Engine& e, int ply, int cell, int code);

// The one-level cutoff: the node's best, seen through the parent's move, can no longer beat the parent.
inline bool gote_cutoff(const Engine& e, int p) {
  return p >= 2 && e.ply_best[p - 1] >= e.ply_eval[p - 1] + e.ply_best[p];
}
inline bool sente_cutoff(const Engine& e, int p) {
  return p >= 1 && e.ply_best[p - 1] <= e.ply_eval[p - 1] + e.ply_best[p];
}
inline bool side_cutoff(const Engine& e, int side, int p) {
  return side == GOTE ? gote_cutoff(e, p) : sente_cutoff(e, p);
}

// Hands every generated move of side S to the search.
template <int S>
struct SearchSink {
  Engine& e;
  // An outside stop ends the node like a cutoff: at once, without its pass.
  bool move(int from, int piece, int to, int piece_after, int captured) {
    return try_move(e, from, piece, to, piece_after, captured) || outside_stop(e);
  }
  bool drop(int cell, int kind) { return search_drop(e, S, cell, kind) || outside_stop(e); }
};

}  // namespace halvane
