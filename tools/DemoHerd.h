#pragma once

#include "Herd.h"

#include <cstdint>

// A herd to work with when no herd file is given: twelve dogs, named with
// letters of the code page, and some four hundred readings over the months
// before today, taken mornings and afternoons through their heat cycles.
// Indexes 0x00 and 0x0D are among them, one dog has no readings, one name
// fills all twenty characters, and two entries carry an impossible date.
// The same day, code page and seed give the same herd.
Herd demoHerd(QDate today, AnsiText::CodePage codePage, std::uint32_t seed = 1);
