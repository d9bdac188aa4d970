// Helpers shared by the app's KIF and record tests: a fresh game state, records played from USI moves or
// at random, temporary files, slot comparison, and a fixture that loads and saves through the menu
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
#include "app/record_slots.h"
#include "app/record_sfen.h"
#include "core/legality.h"
#include "core/sfen.h"
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

// Plays USI moves from the initial position into the record (the player sente).
inline void play_usi(GameState& gs, const std::vector<std::string>& moves) {
  SfenPosition pos = startpos();
  for (const auto& text : moves) {
    MoveRecord move;
    std::string error;
    ASSERT_TRUE(parse_usi_move(text, pos, move, error)) << text << ": " << error;
    apply_move(pos, move);
    ASSERT_TRUE(record_sfen_position(gs, pos));
  }
}

// Up to n random legal moves (fewer when a side is mated), captures and drops preferred now and then so
// that hands fill. The side to move is the player at even slots when the player is sente; the player's
// pieces are the plain ones at the bottom, so the screen is the position with the player as black.
inline void play_random(GameState& gs, std::mt19937& rng, int n) {
  for (int i = 0; i < n; ++i) {
    const int side = (gs.record.current + gs.record.player_is_gote) % 2;
    SfenPosition pos{};
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) pos.board[row * 9 + col] = static_cast<uint8_t>(gs.record.board[gs_index(col, row)]);
    for (int s = 0; s < 2; ++s)
      for (int k = 0; k < 8; ++k) pos.hand[s][k] = static_cast<uint8_t>(gs.record.hands[s][k]);
    pos.side_to_move = side == SENTE ? BLACK : WHITE;
    const std::vector<MoveRecord> moves = legal_moves(pos);
    if (moves.empty()) return;
    MoveRecord m = moves[rng() % moves.size()];
    for (const MoveRecord& c : moves)
      if ((c.captured != SQ_EMPTY || c.is_drop()) && rng() % 4 == 0) m = c;
    if (m.is_drop()) apply_drop(gs.record, side, m.piece, m.to_col, m.to_row);
    else apply_board_move(gs.record, side, m.from_col, m.from_row, m.to_col, m.to_row, m.piece_after);
    ASSERT_TRUE(record_current(gs));
  }
}

// Every slot 0..length and its hands equal; a message names the first difference.
inline ::testing::AssertionResult same_record(const GameState& a, const GameState& b) {
  if (a.record.length != b.record.length)
    return ::testing::AssertionFailure() << "length " << a.record.length << " vs " << b.record.length;
  for (int k = 0; k <= a.record.length; ++k) {
    for (int i = 0; i < GS_CELLS; ++i)
      if (a.record.record_boards[k][i] != b.record.record_boards[k][i])
        return ::testing::AssertionFailure() << "slot " << k << " cell " << i << ": " << a.record.record_boards[k][i]
                                             << " vs " << b.record.record_boards[k][i];
    for (int side = 0; side < 2; ++side)
      for (int kind = 0; kind < 8; ++kind)
        if (a.record.record_hands[side][k][kind] != b.record.record_hands[side][k][kind])
          return ::testing::AssertionFailure() << "slot " << k << " hand " << side << " kind " << kind;
  }
  return ::testing::AssertionSuccess();
}

// A game and an engine for loading and saving through the menu commands, on the scripted window system.
struct KifFixture : ::testing::Test {
  std::unique_ptr<GameState> gs = make_state();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);

  void SetUp() override { test_support::reset_scripted_ui(); }

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
  // The moves of the record in USI; a slot that is no move stands named in its place.
  std::string usi_moves() const {
    std::string out;
    for (int k = 0; k < gs->record.length; ++k) {
      MoveRecord move;
      int differences = 0;
      if (slot_move(*gs, k, move, differences) != SLOT_MOVE) return "(slot " + std::to_string(k) + " is no move)";
      out += (k ? " " : "") + move_to_usi(move);
    }
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
