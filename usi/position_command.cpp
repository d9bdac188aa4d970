// Reading "position startpos|sfen ... [moves ...]" into a game position.
#include "usi/position_command.h"

#include "think/legal_moves.h"
#include "usi/echo.h"

namespace halvane {

bool parse_position_command(Engine& scratch, std::string_view args, GamePosition& out, std::string& error) {
  std::string_view rest = args;
  std::string_view first = next_word(rest);
  GamePosition game;
  if (first == "startpos") {
    game.pos = startpos();
  } else if (first == "sfen") {
    // The SFEN runs up to "moves" or the end of the line.
    size_t moves_at = rest.find(" moves");
    std::string_view sfen = rest.substr(0, moves_at);
    rest.remove_prefix(moves_at == std::string_view::npos ? rest.size() : moves_at);
    std::string why;
    if (!parse_sfen(sfen, game.pos, why)) {
      error = "bad SFEN: " + why;
      return false;
    }
  } else {
    error = "position needs startpos or sfen";
    if (!first.empty()) error += ", not '" + echo(first) + "'";
    return false;
  }
  game.game_ply = game.pos.move_number - 1;
  if (opponent_king_attacked(scratch, game.pos)) {
    error = "the side to move could capture the king: no game reaches this position";
    return false;
  }

  std::string_view word = next_word(rest);
  if (!word.empty() && word != "moves") {
    error = "expected 'moves' after the position, not '" + echo(word) + "'";
    return false;
  }
  int number = 0;
  for (word = next_word(rest); !word.empty(); word = next_word(rest)) {
    ++number;
    MoveRecord move;
    std::string why;
    if (!parse_usi_move(word, game.pos, move, why)) {
      // The reader's reason may quote the whole word: it is cut to a line's width too.
      error = "move " + std::to_string(number) + " (" + echo(word) + "): " + echo(why);
      return false;
    }
    if (!is_legal_move(scratch, game.pos, move)) {
      error = "move " + std::to_string(number) + " (" + echo(word) + ") is not legal here";
      return false;
    }
    apply_move(game.pos, move);
    ++game.game_ply;
  }
  out = game;
  return true;
}

}  // namespace halvane
