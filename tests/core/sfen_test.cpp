// SFEN and USI move text: reading, writing, refusing bad input, and the turn into the engine's view.
#include <gtest/gtest.h>

#include "core/sfen.h"

using namespace halvane;

TEST(Sfen, RefusesMalformedPositionsWithAReason) {
  // More of a kind than the set holds, counted in one hand (where a byte count would wrap round) or over
  // the board and both hands: each row names the words its refusal must give. The full set fits.
  const std::string kings = "4k4/9/9/9/9/9/9/9/4K4 b ";
  std::string pawns_270 = kings;
  for (int i = 0; i < 15; ++i) pawns_270 += "18P";
  const struct {
    std::string text;
    const char* reason;   // nullptr: accepted
  } over_the_set[] = {
      {kings + std::string(256, 'R') + " 1", "black's hand holds 3 'R', the set has 2"},
      {pawns_270 + " 1", "black's hand holds 36 'P', the set has 18"},
      {kings + "256r 1", "hand count above 18"},
      {kings + "19P 1", "hand count above 18"},
      {kings + "5l 1", "white's hand holds 5 'L', the set has 4"},
      {kings + "2N3n 1", "5 pieces of kind 'N' on the board and in hand, the set has 4"},
      {"4k4/4R4/9/9/9/9/9/9/4K4 b 2R 1", "3 pieces of kind 'R'"},
      {"4k4/L3+L4/9/9/9/9/9/9/4K4 b 2Ll 1", "5 pieces of kind 'L'"},
      {"4k4/4+P4/9/9/9/9/9/9/4K4 b 9P9p 1", "19 pieces of kind 'P'"},
      {kings + "2R2B4G4S4N4L18P 1", nullptr},
      {kings + "R2B4G4S4N4L9Pr9p 1", nullptr},
  };
  for (const auto& row : over_the_set) {
    SfenPosition pos = startpos();
    std::string error;
    EXPECT_EQ(parse_sfen(row.text, pos, error), row.reason == nullptr) << row.text << ": " << error;
    if (row.reason) {
      EXPECT_NE(error.find(row.reason), std::string::npos) << row.text << ": " << error;
    }
  }
  const char* bad[] = {
      "",                                                                    // nothing
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1 b - 1",               // eight ranks
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNLL b - 1",    // ten squares
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSN b - 1",      // eight squares
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL x - 1",     // side
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b Q 1",     // hand piece
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b P 1",     // a 19th pawn
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSG+KGSNL b - 1",    // promoted king
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNK b - 1",     // two kings
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1 x",   // trailing text
      "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b 2 1",     // count without piece
  };
  SfenPosition pos = startpos();
  for (const char* text : bad) {
    std::string error;
    EXPECT_FALSE(parse_sfen(text, pos, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  EXPECT_EQ(format_sfen(pos), "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1")
      << "the initial position, and a refused SFEN leaves the position alone";
}

TEST(UsiMoves, ParseApplyAndWrite) {
  SfenPosition pos = startpos();
  std::string error;
  const char* line[] = {"7g7f", "3c3d", "8h2b+", "3a2b", "B*4e"};
  for (const char* text : line) {
    MoveRecord m;
    ASSERT_TRUE(parse_usi_move(text, pos, m, error)) << text << ": " << error;
    EXPECT_EQ(move_to_usi(m), text);
    apply_move(pos, m);
  }
  EXPECT_EQ(format_sfen(pos), "lnsgkg1nl/1r5s1/pppppp1pp/6p2/5B3/2P6/PP1PPPPPP/7R1/LNSGKGSNL w b 6");

  SfenPosition start = startpos();
  MoveRecord m;
  for (const char* refused : {"7g7", "7g7f++", "0a1b", "7f7e", "3c3d", "7i8i", "7g7f+", "P*5e", "K*5e", "7g7g"}) {
    EXPECT_FALSE(parse_usi_move(refused, start, m, error)) << refused;
  }
}

TEST(UsiMoves, EngineViewTurnsBlackToMoveAndBack) {
  SfenPosition pos = startpos();   // black to move: the engine plays black as GOTE
  EngineView view = engine_view(pos);
  EXPECT_TRUE(view.rotated);
  // Black's pawn on 7g is, in the engine's view, a GOTE pawn on the rotated square.
  EXPECT_EQ(view.board[cell_of(8 - 2, 8 - 6)], 16);
  MoveRecord engine_move{8 - 2, 8 - 6, 16, 8 - 2, 8 - 5, 16, SQ_EMPTY};
  EXPECT_EQ(move_to_usi(move_from_engine_view(view, engine_move)), "7g7f");
  SfenPosition white = pos;
  MoveRecord first;
  std::string error;
  ASSERT_TRUE(parse_usi_move("7g7f", white, first, error));
  apply_move(white, first);
  EngineView v2 = engine_view(white);
  EXPECT_FALSE(v2.rotated);
  EXPECT_EQ(v2.board[cell_of(2, 5)], 0) << "black's advanced pawn is SENTE's";
}
