// SPDX-License-Identifier: GPL-3.0-or-later
// Whether reading a text takes time in proportion to its length, as a fuzz property. The text is
// repeated to a small and to a four times larger copy, and reading the larger must take at most
// about four times as long as reading the smaller. A linear reader stays near 4; a reader whose
// time grows with the square of the length reaches 16. The time measured is the thread's own CPU
// time, so a pause in which the scheduler runs other programs never counts as slow reading.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace korvex::fuzz {

inline constexpr std::size_t SmallSize = 16 * 1024;
inline constexpr std::size_t LargeSize = 4 * SmallSize;
// Halfway between linear (4) and quadratic (16) growth, on a logarithmic scale.
inline constexpr double GrowthLimit = 8;

// Timing the copies costs about a millisecond: only one input in 32, chosen by its bytes so that
// a saved input always repeats its own check.
// Only the fuzzer programs time anything: the corpus replay in the test suite must never depend on
// how busy the machine is.
inline bool timesStretchedCopy(std::string_view text)
{
#ifndef KORVEX_FUZZ_TIMING
    return false;
#endif
    std::uint32_t hash = 2166136261u;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return !text.empty() && hash % 32 == 0;
}

namespace detail {

    inline std::string stretched(std::string_view text, std::size_t size)
    {
        std::string copy;
        copy.reserve(size + text.size());
        while (copy.size() < size)
            copy += text;
        copy.resize(size);
        return copy;
    }

    inline double threadSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }

    // The best of five runs: cache misses after a switch to another program do not count.
    template <typename Read> double bestSeconds(const std::string &copy, Read read)
    {
        static volatile std::size_t sink = 0;
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            const double start = threadSeconds();
            sink = sink + static_cast<std::size_t>(read(copy));
            best = std::min(best, threadSeconds() - start);
        }
        return best;
    }

    template <typename Read> double growth(std::string_view text, Read read)
    {
        // A text longer than the small copy is read whole and four times over, so that both
        // copies are the same text repeated and not a prefix against a longer, different text.
        const std::size_t smallSize = std::max(SmallSize, text.size());
        const double small = bestSeconds(stretched(text, smallSize), read);
        const double large =
            bestSeconds(stretched(text, smallSize * (LargeSize / SmallSize)), read);
        // Below a few microseconds the clock's own cost dominates: such a reader is fast enough.
        return large < 20e-6 ? 1.0 : large / std::max(small, 1e-9);
    }

} // namespace detail

// read takes a string_view and returns a number or a bool, so that its work cannot be left out.
template <typename Read> bool readsInLinearTime(std::string_view text, Read read)
{
    return detail::growth(text, read) <= GrowthLimit;
}

} // namespace korvex::fuzz
