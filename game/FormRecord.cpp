#include "game/FormRecord.hpp"

#include <cstddef>

const std::array<FormRecord, 3>& FormRecord::all() {
    static const std::array<FormRecord, 3> records{{
        {Form::Human,
         "Human",
         "player",
         "HumanFormAvailable",
         true,
         {10.f, {2.f, 1.f}, 1000.f},
         0.25f,
         false,
         true,
         1.f,
         {0.5f, 0.75f}},
        {Form::Rat,
         "Rat",
         "rat",
         "RatFormAvailable",
         false,
         {1.f, {1.f, 1.f}, 500.f},
         0.5f,
         false,
         false,
         0.5f,
         {0.25f, 0.25f}},
        // Its jump impulse of 0 is what keeps the minotaur on the ground.
        {Form::Minotaur,
         "Minotaur",
         "minotaur",
         "MinotaurFormAvailable",
         false,
         {100.f, {4.f, 2.f}, 0.f},
         0.5f,
         true,
         false,
         1.f,
         {0.25f, 0.25f}},
    }};
    return records;
}

const FormRecord& FormRecord::of(Form form) {
    return all().at(static_cast<std::size_t>(form));
}
