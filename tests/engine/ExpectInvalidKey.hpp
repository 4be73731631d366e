#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

/// Runs lookup and checks that it raises std::out_of_range with the engine's text for a name that is not a
/// key of the table looked in.
template <typename Lookup>
void expectInvalidKey(Lookup&& lookup) {
    try {
        lookup();
        ADD_FAILURE() << "expected std::out_of_range";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid unordered_map<K, T> key");
    }
}
