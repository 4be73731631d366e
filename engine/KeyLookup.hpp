#pragma once

#include <stdexcept>

namespace orn {

/// The value stored under key in an associative container. A missing key raises std::out_of_range with the
/// text "invalid unordered_map<K, T> key", the engine's message for every lookup by name that fails (tag
/// names, animation names); the standard library's own at() words it differently from one library to the
/// next.
template <typename Map, typename Key>
const typename Map::mapped_type& lookupKey(const Map& map, const Key& key) {
    const auto found = map.find(key);
    if (found == map.end()) {
        throw std::out_of_range("invalid unordered_map<K, T> key");
    }
    return found->second;
}

}  // namespace orn
