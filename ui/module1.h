// SPDX-License-Identifier: GPL-3.0-or-later
// What lives for the whole run, beside the main window: the settings, the memory register and
// the paper tape.
#pragma once

#include "conversion/settings.h"
#include "engine/tape.h"
#include "functions/memory_register.h"

namespace korvex {

struct Module1
{
    Settings settings;
    MemoryRegister memory;
    Tape tape; // in memory only: nothing of it outlives the run
};

} // namespace korvex
