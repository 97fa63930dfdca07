// The exported Pallisk of the built shared library, found by name as a host finds it.
#pragma once

#include <cstdint>
#include <string>

#include "korvel/pallisk.h"

namespace korvel::test {

using PalliskFunction = std::int32_t(KORVEL_PALLISK_CALL*)(const KorvelPathChar*,
                                                           const KorvelPathChar*, std::int32_t);
using WidePath = std::basic_string<KorvelPathChar>;

// The library stays loaded for the rest of the run, as a host keeps it. Answers nullptr when it
// cannot be loaded or has no Pallisk, and then says why in *error.
PalliskFunction LoadPallisk(std::string* error = nullptr);

// An ASCII path as the wide path Pallisk takes.
WidePath Wide(const std::string& ascii);

}  // namespace korvel::test
