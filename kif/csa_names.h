// The names CSA files give what a record holds, shared by the CSA reader and writer: the two-letter piece
// names ("FU" .. "RY"), the end words ("%TORYO" ..), and the header fields that have a KIF counterpart
// ("$EVENT" is 棋戦, "N+" the first mover's name ..).
#pragma once

#include <string>
#include <string_view>

#include "record/game_record.h"

namespace halvane {

// Piece names by PieceKind (12 and 15 empty).
extern const char* const CSA_PIECE_NAMES[16];
// The kind named by two letters, or -1.
int csa_piece_kind(std::string_view name);

// The end word (without "%") that closes a line ending with `end`, `side_to_move` (BLACK or WHITE) being
// the side to move after its last move. Ends CSA has no word for are written CHUDAN (suspended).
std::string csa_end_word(GameEnd end, int side_to_move);
// The end a word (without "%") says, or GAME_END_NONE for a word CSA does not know.
GameEnd csa_end_of(std::string_view word, int side_to_move);

// Whether `key` can name a CSA field: capital letters, digits, "_", "+" and "-".
bool csa_field_key(std::string_view key);
// The KIF field a CSA "$KEY" field stands for ("EVENT" -> "棋戦"), or the key itself where KIF has none.
std::string csa_field_to_kif(std::string_view key);
// The CSA key ("棋戦" -> "EVENT") of a KIF field, or empty where CSA has none.
std::string kif_field_to_csa(std::string_view key);
// A field's value the other format's way where they differ: $TIME_LIMIT's "00:10+30" (hours, minutes and
// the 秒読み) is KIF's 持ち時間 "10分+30秒". Any other value, or a time neither writes, stays as it is.
std::string csa_value_to_kif(std::string_view key, std::string_view value);
std::string kif_value_to_csa(std::string_view key, std::string_view value);

}  // namespace halvane
