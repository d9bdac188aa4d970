// 棋譜解析's record side: the tagged comment lines written and read back, the marks of moves that lost
// much, and the whole main line analysed from a queue of events.
#include "app/record_analysis.h"

#include <algorithm>
#include <charconv>

#include "app/evaluation_text.h"

namespace halvane {

namespace {

constexpr const char* TAGS[] = {"評価値=", "詰み=", "読み筋=", "最善手="};

bool starts_with(const std::string& text, std::string_view prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

void remove_tagged(std::vector<std::string>& comments, std::initializer_list<std::string_view> tags) {
  std::erase_if(comments, [&](const std::string& line) {
    return std::any_of(tags.begin(), tags.end(), [&](std::string_view tag) { return starts_with(line, tag); });
  });
}

int clamped(int evaluation) { return std::clamp(evaluation, -MARK_CLAMP, MARK_CLAMP); }

// "評価値=-120" or "詰み=後手勝ち:9手" back to an evaluation; NO_EVALUATION for anything else.
int evaluation_of_comment(const std::string& line) {
  std::string_view rest = line;
  if (starts_with(line, "評価値=")) {
    rest.remove_prefix(std::string_view("評価値=").size());
    if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    const bool whole = error == std::errc() && end == rest.data() + rest.size();
    return whole && !is_mate_evaluation(value) && value != NO_EVALUATION ? value : NO_EVALUATION;
  }
  for (const bool sente : {true, false}) {
    const std::string prefix = std::string("詰み=") + (sente ? "先手勝ち" : "後手勝ち");
    if (!starts_with(line, prefix)) continue;
    rest.remove_prefix(prefix.size());
    int moves = 0;
    if (!rest.empty() && rest.front() == ':') {
      rest.remove_prefix(1);
      const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), moves);
      if (error != std::errc() || std::string_view(end) != "手" || moves < 0 || moves > 9999) return NO_EVALUATION;
    } else if (!rest.empty()) {
      return NO_EVALUATION;
    }
    return mate_evaluation(moves, sente);
  }
  return NO_EVALUATION;
}

}  // namespace

MoveMark move_mark(const GameRecord& r, int node) {
  if (node <= 0) return MARK_NONE;
  const RecordNode& n = r.nodes[node];
  const int before = r.nodes[n.parent].evaluation, after = n.evaluation;
  if (before == NO_EVALUATION || after == NO_EVALUATION) return MARK_NONE;
  // The mover's view: sente's evaluations as they are, gote's turned round.
  const int sign = side_of(n.move.piece) == SENTE ? 1 : -1;
  const int drop = sign * (clamped(before) - clamped(after));
  return drop >= BAD_DROP ? MARK_BAD : drop >= DUBIOUS_DROP ? MARK_DUBIOUS : MARK_NONE;
}

const char* move_mark_text(MoveMark mark) { return mark == MARK_BAD ? "悪手" : mark == MARK_DUBIOUS ? "疑問手" : ""; }

std::string evaluation_comment(int evaluation) {
  if (is_mate_evaluation(evaluation))
    return std::string("詰み=") + (evaluation > 0 ? "先手勝ち" : "後手勝ち") + ":" + std::to_string(mate_moves(evaluation)) + "手";
  return "評価値=" + std::to_string(evaluation);
}

void write_position_analysis(GameRecord& r, int node, const AnalysisLine& line, const MoveRecord* best) {
  RecordNode& n = r.nodes[node];
  remove_tagged(n.comments, {TAGS[0], TAGS[1], TAGS[2]});
  n.evaluation = line.evaluation;
  if (line.evaluation != NO_EVALUATION) n.comments.push_back(evaluation_comment(line.evaluation));
  if (!line.moves.empty()) n.comments.push_back("読み筋=" + line_text(line.moves, line.first_mover));
  if (n.children.empty()) return;
  RecordNode& next = r.nodes[n.children[0]];
  remove_tagged(next.comments, {TAGS[3]});
  if (best && best->to_col >= 0) next.comments.push_back("最善手=" + line_text({*best}, line.first_mover));
}

void read_analysis_evaluations(GameRecord& r) {
  for (RecordNode& n : r.nodes) {
    if (n.evaluation != NO_EVALUATION) continue;
    for (const std::string& line : n.comments)
      if (const int value = evaluation_of_comment(line); value != NO_EVALUATION) n.evaluation = value;
  }
}

std::vector<int> main_line_nodes(const GameRecord& r) { return line_from(r, 0); }

GoCommand analysis_go_command(int movetime_ms) {
  GoCommand go;
  go.movetime = movetime_ms;
  return go;
}

void write_answer(GameRecord& r, int node, const AnalysisSession& s) {
  AnalysisLine best = s.lines.empty() ? AnalysisLine{} : s.lines[0];
  best.first_mover = s.side_to_move;
  const bool moved = s.answer_kind == BESTMOVE_MOVE && s.answer.to_col >= 0;
  // An answer the engine gave without a line of its own (a book move) still names the move.
  if (best.moves.empty() && moved) best.moves.push_back(s.answer);
  write_position_analysis(r, node, best, moved ? &s.answer : nullptr);
}

bool analyse_record(AnalysisSession& s, EngineEventQueue& queue, GameRecord& r, int movetime_ms,
                    const std::function<void(int, int)>& progress) {
  const std::vector<int> nodes = main_line_nodes(r);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!analyse_and_wait(s, queue, r.start, moves_to(r, nodes[i]), analysis_go_command(movetime_ms))) return false;
    write_answer(r, nodes[i], s);
    if (progress) progress(static_cast<int>(i) + 1, static_cast<int>(nodes.size()));
  }
  return true;
}

}  // namespace halvane
