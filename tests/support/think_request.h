// A think request for a position in the engine's view, for the tests that drive the think directly.
#pragma once

#include <cstring>

#include "core/sfen.h"
#include "think/think.h"

namespace halvane::test_support {

inline ThinkRequest request_for(const EngineView& view, int game_ply = 0, ThinkRequest options = {}) {
  ThinkRequest r = options;
  std::memcpy(r.board, view.board, sizeof r.board);
  std::memcpy(r.hand, view.hand, sizeof r.hand);
  r.side = GOTE;
  r.game_ply = game_ply;
  return r;
}

}  // namespace halvane::test_support
