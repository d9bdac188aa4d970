// An engine the user has registered: its program, the name shown for it and its options with the values
// chosen, and the one line of text the window's settings file keeps it as. Reading that line back refuses
// anything this program would not have written, so a damaged settings file cannot send an engine a bad
// option or start a program by a half-read path.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine_client/usi_option.h"

namespace halvane {

struct RegisteredEngine {
  std::string path;                 // absolute
  std::string name;                 // the engine's "id name", or the user's name for it
  std::vector<UsiOption> options;   // as the engine offered them, with the values chosen
  bool operator==(const RegisteredEngine&) const = default;
};

// "usi-engine 1 PATH NAME COUNT" and per option "NAME TYPE DEFAULT VALUE MIN MAX CHOICES CHOICE…", fields
// separated by single spaces; in each, spaces, control characters and '%' are written %XX and an empty
// field is "%". Other bytes (a Japanese name in UTF-8) stand as they are.
std::string format_registered_engine(const RegisteredEngine& engine);

// Reads such a line. Refused, with a message and `out` untouched: another first word or version, a
// relative or empty path, a bad escape, a control character in any field, a count larger than what
// follows, an unknown type, a range, default or value that does not suit its option, text after the end.
bool parse_registered_engine(std::string_view text, RegisteredEngine& out, std::string& error);

// Carries the stored values over to the options an engine offers now: an option of the same name and type
// whose stored value still suits it keeps that value; the others keep the engine's default.
void take_stored_values(std::vector<UsiOption>& offered, const std::vector<UsiOption>& stored);

}  // namespace halvane
