#pragma once

#include <cstdint>

/// The player's forms, in the order the transmutate action cycles through them.
enum class Form : std::int32_t { Human = 0, Rat = 1, Minotaur = 2 };
