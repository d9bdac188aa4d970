// The options a USI engine offers in its answer to "usi" ("option name USI_Hash type spin default 256 min 1
// max 4096"), the values they may take and the "setoption" lines that set them. The engine settings dialog
// shows them, a registered engine keeps their values, and the client sends them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvane {

enum UsiOptionType { OPTION_CHECK, OPTION_SPIN, OPTION_COMBO, OPTION_STRING, OPTION_FILENAME, OPTION_BUTTON };

// The type's word in the protocol, and back; false for a word that names no type.
const char* option_type_word(UsiOptionType type);
bool option_type_from_word(std::string_view word, UsiOptionType& type);

struct UsiOption {
  std::string name;
  UsiOptionType type = OPTION_STRING;
  std::string default_value;          // "true"/"false", a number, a choice or a text; "" for a button
  long long min = 0, max = 0;         // a spin's range
  std::vector<std::string> choices;   // a combo's
  std::string value;                  // the value to send: the default until the user changes it
  bool operator==(const UsiOption&) const = default;
};

// Reads the words after "option". A name or a value may hold spaces: each runs up to the next keyword. A
// text's "<empty>" is the empty text. Refused, with a message: no name, no known type, a check's default
// other than true or false, a spin whose range or default is no number (a default outside the range is
// brought inside it), a combo without choices, a name or value with a control character.
bool parse_option_line(std::string_view words, UsiOption& out, std::string& error);

// Whether `value` suits the option: true or false for a check, a number within the range for a spin, one
// of the choices for a combo, any text that fits on a line for a string or a file name, nothing for a button.
bool option_value_valid(const UsiOption& option, std::string_view value);

// "setoption name Threads value 4", "setoption name Clear Hash" for a button, "value <empty>" for an empty
// text; "" when the name or value could not stand on one line.
std::string setoption_line(const UsiOption& option);

}  // namespace halvane
