// 入玉宣言: when the side to move may declare a win instead of moving (the 27-point rule engines follow):
// its king stands in the enemy camp and is not in check, at least ten of its other pieces stand there too,
// and its pieces there and in hand count 28 points for sente, 27 for gote (a rook or a bishop, promoted or
// not, 5 points; every other piece 1; the king nothing).
#pragma once

#include "core/sfen.h"

namespace halvane {

bool may_declare_win(const SfenPosition& pos);

}  // namespace halvane
