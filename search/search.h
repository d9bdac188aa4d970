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

// Nodes: read e.ply and leave the node's value in ply_best[ply].
void gote_node(Engine& e);
void sente_node(Engine& e);
void recapture_node(Engine& e);     // GOTE, mode 8: only recaptures on the previous move's destination
void static_recapture(Engine& e);   // SENTE, mode 9: the value of recapturing there, nothing made

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
// selective moves (modes 1 to 7) reads the deltas of ply p - 1; no other node reads them.
inline int delta_plies_read(const Engine& e) {
  int plies = 0;
  for (int p = 1; p < SCHEDULE_LEN; ++p)
    if (e.ply_mode[p] >= 1 && e.ply_mode[p] <= 7) plies = p;
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
