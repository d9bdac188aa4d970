// The reader's reasons in the player's words: the reader says what it found in English (for the command
// line and the tests); the window says the same in Japanese, by the phrase each reason is made of.
#include "app/load_failure.h"

#include <string_view>

#include "app/utf8.h"

namespace halvane {

namespace {

struct Reason {
  const char* english;    // a phrase of the reader's message
  const char16_t* words;  // what the window says
};

// First match wins: the longer phrases before the shorter ones they contain.
constexpr Reason REASONS[] = {
    {"not text in CP932 or UTF-8", u"文字コードが CP932 でも UTF-8 でもありません"},
    {"no line heading the moves", u"指し手の始まり（手数----指手----）の行がありません"},
    {"a king in hand", u"開始局面の持駒に玉があります"},
    {"a pawn, lance or knight where it could never move", u"開始局面に行き所のない駒があります"},
    {"two unpromoted pawns of one side on a file", u"開始局面が二歩です"},
    {"a side with two kings", u"開始局面に玉が二枚あります"},
    {"more pieces of a kind than the set has", u"開始局面の駒の数が多すぎます"},
    {"the side not to move is in check", u"開始局面で手番でない側に王手がかかっています"},
    {"unknown handicap", u"手合割が分かりません"},
    {"board diagram", u"盤面図が読めません"},
    {"unknown piece in a hand", u"持駒が読めません"},
    {"a variation without its move number", u"変化の手数がありません"},
    {"with no line to branch from", u"変化の分かれる手がありません"},
    {"not a move line", u"指し手の行ではありません"},
    {"was expected", u"手数が合いません"},
    {"\"same square\" with no previous move", u"「同」の前の手がありません"},
    {"no destination square", u"移動先の升がありません"},
    {"no piece named", u"駒の名前がありません"},
    {"drop of a piece that cannot be dropped", u"打てない駒を打っています"},
    {"no origin square", u"移動元の升がありません"},
    {"origin square is not two digits", u"移動元の升が読めません"},
    {"the piece named is not on the origin square", u"移動元にその駒がありません"},
    {"the mover has no such piece", u"その駒がありません"},
    {"occupied by the mover's own piece", u"自分の駒の上に指しています"},
    {"the piece cannot move there", u"その駒はそこへ動けません"},
    {"cannot promote", u"成れない手です"},
    {"could never move again", u"行き所のない駒です"},
    {"nifu", u"二歩です"},
    {"captures a king", u"玉を取る手です"},
    {"leaves the mover's king in check", u"王手放置です"},
    {"uchifuzume", u"打ち歩詰めです"},
};

// Takes "<prefix><number>: " off the front of `text`; the number, or -1 when it is not there.
long take_numbered(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return -1;
  std::string_view rest = text.substr(prefix.size());
  long n = 0;
  size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') n = n * 10 + (rest[digits++] - '0');
  if (digits == 0 || rest.substr(digits, 2) != ": ") return -1;
  text = rest.substr(digits + 2);
  return n;
}

}  // namespace

std::u16string load_failure_text(const KifReadResult& result) {
  std::string_view message = result.message;
  std::u16string text;
  const long line = take_numbered(message, "line ");
  if (line > 0) text += utf16_from_utf8(std::to_string(line)) + u"行目：";
  if (const long move = take_numbered(message, "move "); move > 0) text += utf16_from_utf8(std::to_string(move)) + u"手目 ";
  for (const Reason& r : REASONS)
    if (message.find(r.english) != std::string_view::npos) return text + r.words + u"。";
  return text + utf16_from_utf8(message);
}

}  // namespace halvane
