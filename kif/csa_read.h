// The CSA reader (V2.2, and the V3.0 files that keep to it): the version, the players ("N+", "N-") and
// "$" fields, the start position ("PI" with the handicap's pieces taken off, or the ranks "P1".."P9", with
// "P+"/"P-" placing pieces on the board or in hand and "00AL" giving a side the rest), the side to move
// ("+"/"-"), then the moves ("+7776FU") with their times ("T12"), the end ("%TORYO"), and "'*" comments.
// Statements on one line may be separated by ","; only the first game of a file with "/" is read.
#pragma once

#include <string_view>

#include "kif/kif_read.h"

namespace halvane {

// Fills `record` with the file's game (ASCII, CP932 or UTF-8 text, as the V3.0 encoding line says or
// else as the bytes show). On an error `record` is left new.
KifReadResult read_csa(std::string_view bytes, GameRecord& record);

}  // namespace halvane
