// The CSA names in one table each, read in both directions.
#include "kif/csa_names.h"

#include <cstdio>

namespace halvane {

const char* const CSA_PIECE_NAMES[16] = {"FU", "KY", "KE", "GI", "KI", "KA", "HI", "OU",
                                         "TO", "NY", "NK", "NG", "",   "UM", "RY", ""};

int csa_piece_kind(std::string_view name) {
  if (name.size() != 2) return -1;
  for (int kind = 0; kind < 16; ++kind)
    if (name == CSA_PIECE_NAMES[kind]) return kind;
  return -1;
}

namespace {

struct EndName {
  const char* word;
  GameEnd end;
};
// The first word of an end is the one written. HIKIWAKE (a draw agreed) and MAX_MOVES (the move limit
// reached) count as 持将棋, the draw a record can say; MATTA and ERROR as a suspended game.
constexpr EndName END_NAMES[] = {
    {"TORYO", GAME_END_RESIGNED},       {"TORYO", GAME_END_KING_CAPTURED}, {"TSUMI", GAME_END_MATED},
    {"ILLEGAL_MOVE", GAME_END_FOUL},    {"SENNICHITE", GAME_END_REPETITION}, {"JISHOGI", GAME_END_IMPASSE},
    {"HIKIWAKE", GAME_END_IMPASSE},     {"MAX_MOVES", GAME_END_IMPASSE},  {"TIME_UP", GAME_END_TIME_LOSS},
    {"KACHI", GAME_END_ENTERING_KING},  {"FUZUMI", GAME_END_NO_MATE},     {"CHUDAN", GAME_END_SUSPENDED},
    {"MATTA", GAME_END_SUSPENDED},      {"ERROR", GAME_END_SUSPENDED},
};

struct FieldName {
  const char* csa;
  const char* kif;
};
constexpr FieldName FIELD_NAMES[] = {
    {"EVENT", "棋戦"},   {"SITE", "場所"},        {"START_TIME", "開始日時"}, {"END_TIME", "終了日時"},
    {"TIME_LIMIT", "持ち時間"}, {"OPENING", "戦型"}, {"NOTE", "備考"},
};

}  // namespace

std::string csa_end_word(GameEnd end, int side_to_move) {
  // A foul told after the move that broke the rule: the side that played it acted illegally.
  if (end == GAME_END_FOUL_WIN) return side_to_move == WHITE ? "+ILLEGAL_ACTION" : "-ILLEGAL_ACTION";
  for (const EndName& n : END_NAMES)
    if (n.end == end) return n.word;
  return "CHUDAN";
}

GameEnd csa_end_of(std::string_view word, int side_to_move) {
  // An illegal action of the side to move loses for it; of the other side, it wins for the side to move.
  if (word == "+ILLEGAL_ACTION") return side_to_move == BLACK ? GAME_END_FOUL : GAME_END_FOUL_WIN;
  if (word == "-ILLEGAL_ACTION") return side_to_move == WHITE ? GAME_END_FOUL : GAME_END_FOUL_WIN;
  for (const EndName& n : END_NAMES)
    if (word == n.word) return n.end;
  return GAME_END_NONE;
}

std::string csa_field_to_kif(std::string_view key) {
  for (const FieldName& f : FIELD_NAMES)
    if (key == f.csa) return f.kif;
  return std::string(key);
}

bool csa_field_key(std::string_view key) {
  for (char c : key)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '+' || c == '-')) return false;
  return !key.empty();
}

std::string kif_field_to_csa(std::string_view key) {
  for (const FieldName& f : FIELD_NAMES)
    if (key == f.kif) return f.csa;
  // A field read from a CSA file under its own key goes back under it.
  return csa_field_key(key) ? std::string(key) : std::string();
}

namespace {

// Digits only, read whole; -1 otherwise.
int whole_number(std::string_view text) {
  if (text.empty() || text.size() > 6) return -1;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

std::string csa_value_to_kif(std::string_view key, std::string_view value) {
  if (key != "TIME_LIMIT") return std::string(value);
  const size_t colon = value.find(':'), plus = value.find('+');
  if (colon == std::string_view::npos || plus == std::string_view::npos || plus < colon) return std::string(value);
  const int h = whole_number(value.substr(0, colon)), m = whole_number(value.substr(colon + 1, plus - colon - 1));
  const int s = whole_number(value.substr(plus + 1));
  if (h < 0 || m < 0 || m > 59 || s < 0) return std::string(value);
  return std::to_string(h * 60 + m) + "分" + (s > 0 ? "+" + std::to_string(s) + "秒" : "");
}

std::string kif_value_to_csa(std::string_view key, std::string_view value) {
  if (key != "持ち時間") return std::string(value);
  const std::string_view minutes_word = "分", seconds_word = "秒";
  const size_t fen = value.find(minutes_word);
  if (fen == std::string_view::npos) return std::string(value);
  const int m = whole_number(value.substr(0, fen));
  int s = 0;
  std::string_view rest = value.substr(fen + minutes_word.size());
  if (!rest.empty()) {
    if (rest.front() != '+' || rest.size() <= seconds_word.size() || rest.substr(rest.size() - seconds_word.size()) != seconds_word)
      return std::string(value);
    s = whole_number(rest.substr(1, rest.size() - 1 - seconds_word.size()));
  }
  if (m < 0 || s < 0) return std::string(value);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d+%02d", m / 60, m % 60, s);
  return text;
}

}  // namespace halvane
