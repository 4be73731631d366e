#pragma once

#include <cstdint>

namespace orn {

/// The one id counter shared by game objects and components: pre-incremented, so the first id is 1;
/// ids are never reused.
class IdGenerator {
public:
    /// The next id; the first is 1.
    static std::uint32_t next();
};

}  // namespace orn
