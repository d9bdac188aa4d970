// The KIF piece and square names as CP932 bytes, the encoding KIF files are written in; the reader
// matches them and the writer prints them.
#pragma once

namespace halvane {

// Piece names by PieceKind 0..15 (12 and 15 a full-width blank). Square names by index
// (rank - 1) * 9 + (9 - file): with sente at the bottom that is row * 9 + col.
extern const char* const KIF_PIECE_NAMES[16];
extern const char* const KIF_SQUARE_NAMES[83];
constexpr int SQUARE_SAME = 81;   // "同　": the previous move's destination
constexpr int SQUARE_ERROR = 82;  // "Err."

}  // namespace halvane
