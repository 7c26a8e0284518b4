// SPDX-License-Identifier: GPL-3.0-or-later
// How a fuzz target reports a broken property: it names the property, shows the input's state,
// and aborts, so that libFuzzer keeps the input as a crash and the corpus replay fails.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace korvex::fuzz {

[[noreturn]] inline void fail(std::string_view property, std::string_view detail = {})
{
    std::fputs("broken property: ", stderr);
    std::fwrite(property.data(), 1, property.size(), stderr);
    if (!detail.empty()) {
        std::fputs("\n  with: ", stderr);
        std::fwrite(detail.data(), 1, detail.size(), stderr);
    }
    std::fputs("\n", stderr);
    std::abort();
}

inline void require(bool holds, std::string_view property, std::string_view detail = {})
{
    if (!holds)
        fail(property, detail);
}

} // namespace korvex::fuzz
