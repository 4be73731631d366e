#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/AssetLoadException.hpp"

/// Runs load and checks that it raises AssetLoadException with exactly this message and path.
template <typename Load>
void expectLoadError(Load&& load, const std::string& message, const std::string& path = "") {
    try {
        load();
        ADD_FAILURE() << "expected AssetLoadException \"" << message << "\"";
    } catch (const orn::AssetLoadException& e) {
        EXPECT_EQ(e.what(), message);
        EXPECT_EQ(e.path, path) << "for \"" << message << "\"";
    }
}
