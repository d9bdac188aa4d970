// The record's validity: every square of slots 0..length a real piece code or empty, the wall frame
// intact, no hand below zero, and every kind's pieces (board plus hands) adding up to a full set.
// Used after loads in tests and by the reader's fuzzer.
#pragma once

#include <string>

#include "app/game_state.h"

namespace halvane {

// A piece code a square may hold: kinds 0..11, 13, 14, either owner.
bool valid_piece_code(int code);

// Checks one slot; on failure `problem` says what is wrong.
bool slot_valid(const GameState& gs, int slot, std::string& problem);
// Checks length (-1..499) and slots 0..length.
bool record_valid(const GameState& gs, std::string& problem);

}  // namespace halvane
