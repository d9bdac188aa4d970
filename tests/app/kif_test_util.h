// Helpers shared by the app's KIF and record tests: a fresh game state, records played from USI moves or
// at random, temporary files, record comparison, and a fixture that loads and saves through the menu
// commands; the KIF text helpers of support/kif_text.h beside them.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "app/kif_file.h"
#include "app/record_play.h"
#include "app/turn_flow.h"
#include "core/legality.h"
#include "core/sfen.h"
#include "fuzz/kif_input_check.h"
#include "support/kif_text.h"
#include "support/scripted_ui.h"

namespace halvane::kif_test {

inline std::unique_ptr<GameState> make_state() {
  auto gs = std::make_unique<GameState>();
  game_construct(*gs);
  game_reset_for_window(*gs);
  return gs;
}

inline std::string temp_path(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("halvane_kif_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Plays USI moves at the cursor into the record, as the game plays them.
inline void play_usi(GameState& gs, const std::vector<std::string>& moves) {
  for (const auto& text : moves) {
    MoveRecord move;
    std::string error;
    ASSERT_TRUE(parse_usi_move(text, gs.game.position, move, error)) << text << ": " << error;
    play_move(gs, move);
  }
}

// Up to n random legal moves (fewer when a side is mated), captures and drops preferred now and then so
// that hands fill.
inline void play_random(GameState& gs, std::mt19937& rng, int n) {
  for (int i = 0; i < n; ++i) {
    const std::vector<MoveRecord> moves = legal_moves(gs.game.position);
    if (moves.empty()) return;
    MoveRecord m = moves[rng() % moves.size()];
    for (const MoveRecord& c : moves)
      if ((c.captured != SQ_EMPTY || c.is_drop()) && rng() % 4 == 0) m = c;
    play_move(gs, m);
  }
}

// The same record: start, every line's moves in order, ends, comments, times and the header's fields.
inline ::testing::AssertionResult same_record(const GameRecord& a, const GameRecord& b) {
  if (const std::string problem = fuzz::same_tree(a, b); !problem.empty()) return ::testing::AssertionFailure() << problem;
  if (a.headers.size() != b.headers.size()) return ::testing::AssertionFailure() << "another number of header fields";
  for (size_t i = 0; i < a.headers.size(); ++i)
    if (a.headers[i].key != b.headers[i].key || a.headers[i].value != b.headers[i].value)
      return ::testing::AssertionFailure() << "header " << a.headers[i].key << ": " << a.headers[i].value << " vs "
                                           << b.headers[i].key << ": " << b.headers[i].value;
  return ::testing::AssertionSuccess();
}

// A game and an engine for loading and saving through the menu commands, on the scripted window system.
struct KifFixture : ::testing::Test {
  std::unique_ptr<GameState> gs = make_state();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);

  void SetUp() override { test_support::reset_scripted_ui(); }
  void TearDown() override { stop_computer(*gs, *e); }

  // A fresh game with these moves recorded, and the boxes of earlier commands cleared.
  void fresh_record(const std::vector<std::string>& moves) {
    test_support::reset_scripted_ui();
    gs = make_state();
    play_usi(*gs, moves);
  }

  // Loads the file at `path` through the menu command, with the boxes of earlier commands cleared.
  void load_path(const std::string& path) {
    test_support::reset_scripted_ui();
    test_support::scripted_ui().open_paths.push_back(path);
    load_kif(*gs, *e);
  }
  // Loads the bytes through the menu command, from a temporary file called `name`.
  void load_bytes(const std::string& bytes, const std::string& name = "load.kif") {
    const std::string path = temp_path(name);
    write_file(path, bytes);
    load_path(path);
  }
  // Saves through the menu command into a fresh file and returns its bytes.
  std::string save_to(const std::string& name) {
    const std::string path = temp_path(name);
    std::filesystem::remove(path);
    test_support::scripted_ui().save_paths.push_back(path);
    save_kif(*gs, *e);
    return read_file(path);
  }
  // The moves of the line shown in USI.
  std::string usi_moves() const {
    std::string out;
    const std::vector<int> line = shown_line(*gs);
    for (size_t k = 1; k < line.size(); ++k) out += (k > 1 ? " " : "") + move_to_usi(gs->game.record.nodes[line[k]].move);
    return out;
  }
  bool format_error_shown() const {
    for (const auto& box : test_support::scripted_ui().boxes)
      if (box.text.rfind(u"棋譜ファイルのフォーマットが合いません。", 0) == 0 && box.caption == u"棋譜読み込みエラー")
        return true;
    return false;
  }
};

}  // namespace halvane::kif_test
