// The clipboard's texts: written by the record writers, read by the one reader of every format.
#include "app/clipboard.h"

#include "app/game_start.h"
#include "app/kif_file.h"
#include "app/load_failure.h"
#include "app/render.h"
#include "app/ui.h"
#include "kif/record_format.h"

namespace halvane {

std::string position_copy_text(const GameState& gs) { return format_sfen(gs.game.position); }

std::string record_copy_text(const GameState& gs) { return write_record(record_to_save(gs), FORMAT_KIFU); }

void paste_record(GameState& gs, Engine& e, bool (*may_replace)(GameState&, Engine&)) {
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は貼り付けできません。");
    repaint(gs, e);
    return;
  }
  const std::string text = clipboard_text();
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
    message_box(u"クリップボードに棋譜や局面の文字列がありません。", u"貼り付け", BOX_WARNING, BOX_OK);
    return;
  }
  GameRecord pasted;
  const KifReadResult read = read_record(text, pasted);
  if (read.status != KIF_READ_OK) {
    const std::u16string said = u"貼り付けた文字列を棋譜や局面として読めませんでした。\n" + load_failure_text(read);
    message_box(said.c_str(), u"貼り付け", BOX_ERROR, BOX_OK);
    return;
  }
  if (!may_replace(gs, e)) return;
  if (pasted.nodes.size() == 1) {
    const int to_move = pasted.start.side_to_move;
    begin_game(gs, e, std::move(pasted), to_move);
  } else {
    take_loaded_record(gs, e, std::move(pasted));
  }
}

}  // namespace halvane
