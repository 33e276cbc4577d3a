#pragma once

#include <optional>
#include <string_view>

#include "rules/position.h"

namespace xq {

// Reads coordinate text as moveToText writes it ("h2e2"). Upper case and a dash between the two
// points ("H2-E2") are read too, as hand-written records have them. Nothing for any other text.
std::optional<Move> parseIccsMove(std::string_view text);

}  // namespace xq
