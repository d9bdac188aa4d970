// The Engine's initialisation for one strength: its tables, both mate solvers at rest and the book.
#pragma once

#include "search/engine.h"
#include "think/strength.h"

namespace halvane {

// Sets every default an Engine needs before its first think, for the given strength, and fills the book.
void engine_init(Engine& e, const Strength& strength);

}  // namespace halvane
