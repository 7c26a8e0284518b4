// SPDX-License-Identifier: GPL-3.0-or-later
// Whether reading a text takes time in proportion to its length, as a fuzz property. The text is
// repeated whole to a small and to a four times larger copy, and reading the larger must take at
// most about four times as long as reading the smaller. A linear reader stays near 4; a reader
// whose time grows with the square of the length reaches 16. The time measured is the thread's own
// CPU time, so a pause in which the scheduler runs other programs never counts as slow reading.
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

    // The text repeated whole, so that every copy begins and ends as the text does: a copy cut
    // in the middle of a character can take a reader down a shorter path than the whole text.
    inline std::string repeated(std::string_view text, std::size_t times)
    {
        std::string copy;
        copy.reserve(text.size() * times);
        for (std::size_t i = 0; i < times; ++i)
            copy += text;
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
        // The small copy holds the text as many times as make it at least SmallSize bytes long (a
        // longer text once); the large copy holds it four times as often.
        if (text.empty())
            return 1.0;
        const std::size_t times = (SmallSize + text.size() - 1) / text.size();
        const double small = bestSeconds(repeated(text, times), read);
        const double large = bestSeconds(repeated(text, times * (LargeSize / SmallSize)), read);
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
