// The registered engine's line of text, written and read strictly.
#include "engine_client/registered_engine.h"

#include "core/sfen.h"
#include "engine_client/protocol_text.h"

namespace halvane {

namespace {

constexpr std::string_view FIRST_WORD = "usi-engine";
constexpr std::string_view VERSION = "1";
constexpr size_t MAX_TEXT = 1 << 20;   // far above any engine's option list

std::string escaped(std::string_view field) {
  if (field.empty()) return "%";
  static constexpr char HEX[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f || c == '%') {
      out += '%';
      out += HEX[byte >> 4];
      out += HEX[byte & 15];
    } else {
      out += c;
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The fields of the line, read one by one; the first fault is kept and every later read fails.
struct FieldReader {
  std::string_view rest;
  std::string error;

  bool next(std::string& out) {
    if (!error.empty()) return false;
    const std::string_view word = next_word(rest);
    if (word.empty()) return fail("the line ends early");
    out.clear();
    if (word == "%") return true;
    for (size_t i = 0; i < word.size(); ++i) {
      if (word[i] != '%') {
        out += word[i];
        continue;
      }
      if (i + 2 >= word.size() || hex_digit(word[i + 1]) < 0 || hex_digit(word[i + 2]) < 0)
        return fail("bad escape in '" + std::string(word) + "'");
      const int high = hex_digit(word[i + 1]), low = hex_digit(word[i + 2]);
      out += static_cast<char>(high * 16 + low);
      i += 2;
    }
    if (!protocol_text_ok(out)) return fail("a control character in a field");
    return true;
  }
  bool number(long long& out) {
    std::string word;
    if (!next(word)) return false;
    if (!parse_number(word, out)) return fail("'" + word + "' is no number");
    return true;
  }
  bool fail(std::string message) {
    if (error.empty()) error = std::move(message);
    return false;
  }
};

bool read_option(FieldReader& in, UsiOption& option) {
  std::string type;
  long long choices = 0;
  if (!in.next(option.name) || !in.next(type) || !in.next(option.default_value) || !in.next(option.value) ||
      !in.number(option.min) || !in.number(option.max) || !in.number(choices))
    return false;
  if (option.name.empty()) return in.fail("an option without a name");
  if (!option_type_from_word(type, option.type)) return in.fail("option " + option.name + ": unknown type " + type);
  if (choices < 0 || static_cast<size_t>(choices) > in.rest.size()) return in.fail("option " + option.name + ": bad count");
  option.choices.resize(static_cast<size_t>(choices));
  for (std::string& choice : option.choices)
    if (!in.next(choice)) return false;
  const bool range_ok = option.type == OPTION_SPIN ? option.min <= option.max : option.min == 0 && option.max == 0;
  const bool choices_ok = (option.type == OPTION_COMBO) == !option.choices.empty();
  if (!range_ok || !choices_ok || !option_value_valid(option, option.default_value) ||
      !option_value_valid(option, option.value))
    return in.fail("option " + option.name + ": its range, choices, default or value do not fit its type");
  return true;
}

}  // namespace

std::string format_registered_engine(const RegisteredEngine& engine) {
  std::string line = std::string(FIRST_WORD) + " " + std::string(VERSION) + " " + escaped(engine.path) + " " +
                     escaped(engine.name) + " " + std::to_string(engine.options.size());
  for (const UsiOption& o : engine.options) {
    for (const std::string& field : {o.name, std::string(option_type_word(o.type)), o.default_value, o.value,
                                     std::to_string(o.min), std::to_string(o.max), std::to_string(o.choices.size())})
      line += " " + escaped(field);
    for (const std::string& choice : o.choices) line += " " + escaped(choice);
  }
  return line;
}

bool parse_registered_engine(std::string_view text, RegisteredEngine& out, std::string& error) {
  if (text.size() > MAX_TEXT) {
    error = "the engine's line is too long";
    return false;
  }
  FieldReader in{text, {}};
  RegisteredEngine engine;
  std::string first, version;
  long long count = 0;
  if (in.next(first) && in.next(version) && (first != FIRST_WORD || version != VERSION))
    in.fail("not a registered engine of this version");
  if (in.next(engine.path) && (engine.path.empty() || engine.path.front() != '/')) in.fail("the engine's path is not absolute");
  if (in.next(engine.name) && in.number(count) && (count < 0 || static_cast<size_t>(count) > in.rest.size()))
    in.fail("bad option count");
  if (in.error.empty()) {
    engine.options.resize(static_cast<size_t>(count));
    for (UsiOption& option : engine.options)
      if (!read_option(in, option)) break;
  }
  if (in.error.empty() && !next_word(in.rest).empty()) in.fail("text after the last option");
  if (!in.error.empty()) {
    error = in.error;
    return false;
  }
  out = std::move(engine);
  return true;
}

void take_stored_values(std::vector<UsiOption>& offered, const std::vector<UsiOption>& stored) {
  for (UsiOption& option : offered)
    for (const UsiOption& old : stored)
      if (old.name == option.name && old.type == option.type && option_value_valid(option, old.value))
        option.value = old.value;
}

}  // namespace halvane
