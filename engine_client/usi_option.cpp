// Option lines of an engine's "usi" answer, their values, and the setoption lines built from them.
#include "engine_client/usi_option.h"

#include <algorithm>

#include "core/sfen.h"
#include "engine_client/protocol_text.h"

namespace halvane {

namespace {

constexpr const char* TYPE_WORDS[] = {"check", "spin", "combo", "string", "filename", "button"};

// The protocol's word for an empty text.
constexpr std::string_view EMPTY_TEXT = "<empty>";

bool is_text(UsiOptionType type) { return type == OPTION_STRING || type == OPTION_FILENAME; }

}  // namespace

const char* option_type_word(UsiOptionType type) { return TYPE_WORDS[type]; }

bool option_type_from_word(std::string_view word, UsiOptionType& type) {
  for (int t = OPTION_CHECK; t <= OPTION_BUTTON; ++t) {
    if (word == TYPE_WORDS[t]) {
      type = static_cast<UsiOptionType>(t);
      return true;
    }
  }
  return false;
}

bool parse_option_line(std::string_view words, UsiOption& out, std::string& error) {
  // 1. Each keyword's value is the words up to the next keyword, joined by single spaces.
  UsiOption option;
  std::string type_word, min_word, max_word;
  std::string* field = nullptr;
  for (std::string_view word = next_word(words); !word.empty(); word = next_word(words)) {
    if (word == "name" && option.name.empty()) {
      field = &option.name;
    } else if (word == "type") {
      field = &type_word;
    } else if (word == "default") {
      field = &option.default_value;
    } else if (word == "min") {
      field = &min_word;
    } else if (word == "max") {
      field = &max_word;
    } else if (word == "var") {
      field = &option.choices.emplace_back();
    } else if (field == nullptr) {
      error = "option line does not start with its name";
      return false;
    } else {
      if (!field->empty()) *field += ' ';
      *field += word;
    }
  }

  // 2. The name and the type are needed; the rest depends on the type.
  if (option.name.empty()) { error = "option without a name"; return false; }
  if (!option_type_from_word(type_word, option.type)) { error = "option " + option.name + " has no known type"; return false; }
  if (!protocol_text_ok(option.name) || !protocol_text_ok(option.default_value)) {
    error = "option " + option.name + " holds a control character";
    return false;
  }
  switch (option.type) {
    case OPTION_CHECK:
      if (option.default_value != "true" && option.default_value != "false") {
        error = "check option " + option.name + " has no default true or false";
        return false;
      }
      break;
    case OPTION_SPIN: {
      long long value = 0;
      if (!parse_number(min_word, option.min) || !parse_number(max_word, option.max) || option.min > option.max ||
          !parse_number(option.default_value, value)) {
        error = "spin option " + option.name + " needs numbers for its default, min and max";
        return false;
      }
      option.default_value = std::to_string(std::clamp(value, option.min, option.max));
      break;
    }
    case OPTION_COMBO:
      if (option.choices.empty()) { error = "combo option " + option.name + " has no choices"; return false; }
      // An engine whose default is none of its choices starts on the first: a value must be a choice.
      if (!option_value_valid(option, option.default_value)) option.default_value = option.choices.front();
      break;
    case OPTION_STRING:
    case OPTION_FILENAME:
      if (option.default_value == EMPTY_TEXT) option.default_value.clear();
      break;
    case OPTION_BUTTON:
      option.default_value.clear();
      break;
  }
  option.value = option.default_value;
  out = std::move(option);
  return true;
}

bool option_value_valid(const UsiOption& option, std::string_view value) {
  switch (option.type) {
    case OPTION_CHECK:
      return value == "true" || value == "false";
    case OPTION_SPIN: {
      long long n = 0;
      return parse_number(value, n) && n >= option.min && n <= option.max;
    }
    case OPTION_COMBO:
      return std::find(option.choices.begin(), option.choices.end(), value) != option.choices.end();
    case OPTION_STRING:
    case OPTION_FILENAME:
      return protocol_text_ok(value);
    case OPTION_BUTTON:
      return value.empty();
  }
  return false;
}

std::string setoption_line(const UsiOption& option) {
  if (option.name.empty() || !protocol_text_ok(option.name) || !protocol_text_ok(option.value)) return "";
  std::string line = "setoption name " + option.name;
  if (option.type == OPTION_BUTTON) return line;
  const bool empty_text = is_text(option.type) && option.value.empty();
  return line + " value " + (empty_text ? std::string(EMPTY_TEXT) : option.value);
}

}  // namespace halvane
