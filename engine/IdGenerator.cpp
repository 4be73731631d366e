#include "engine/IdGenerator.hpp"

namespace orn {

std::uint32_t IdGenerator::next() {
    static std::uint32_t counter = 0;
    return ++counter;
}

}  // namespace orn
