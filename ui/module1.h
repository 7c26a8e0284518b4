// What lives for the whole run, beside the main window: the settings and the memory register.
#pragma once

#include "conversion/settings.h"
#include "functions/memory_register.h"

namespace korvex {

struct Module1
{
    Settings settings;
    MemoryRegister memory;
};

} // namespace korvex
