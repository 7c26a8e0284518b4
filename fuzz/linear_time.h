// Whether reading a text takes time in proportion to its length, as a fuzz property. The text is
// repeated up to 64 KiB, and reading that copy must take at most a few times as long as one plain
// pass that appends each of its bytes to a string. Linear readers take one or two such passes; a
// reader whose time grows with the square of the length takes over ten even when its inner loop
// is a fast memory move, and thousands when it is not.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvex::fuzz {

inline constexpr std::size_t StretchedSize = 64 * 1024;
inline constexpr double PassLimit = 5;

// Timing a stretched copy costs about a millisecond: only one input in 32, chosen by its bytes
// so that a saved input always repeats its own check.
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

    inline std::string stretched(std::string_view text)
    {
        std::string copy;
        copy.reserve(StretchedSize + text.size());
        while (copy.size() < StretchedSize)
            copy += text;
        return copy;
    }

    // A string grown byte by byte, as readers build their digits: the same allocations, so that
    // the allocator's costs at this size weigh on both sides alike. Every byte counts the same,
    // whatever the text holds.
    inline std::size_t plainPass(std::string_view text)
    {
        std::string kept;
        for (const char c : text)
            kept.push_back(c);
        return kept.size();
    }

    // The best of three runs: a run slowed down by the scheduler does not count.
    template <typename Work> double bestSeconds(Work work)
    {
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            const auto start = std::chrono::steady_clock::now();
            work();
            const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            best = std::min(best, spent.count());
        }
        return best;
    }

    template <typename Read> double passesPerRead(const std::string &copy, Read read)
    {
        static volatile std::size_t sink = 0;
        const double reading =
            bestSeconds([&] { sink = sink + static_cast<std::size_t>(read(copy)); });
        const double passing = bestSeconds([&] { sink = sink + plainPass(copy); });
        return reading / std::max(passing, 1e-9);
    }

} // namespace detail

// read takes a string_view and returns a number or a bool, so that its work cannot be left out.
template <typename Read> bool readsInLinearTime(std::string_view text, Read read)
{
    const std::string copy = detail::stretched(text);
    // Measured a second time before giving up: a busy machine may slow down a whole measurement.
    return detail::passesPerRead(copy, read) <= PassLimit
        || detail::passesPerRead(copy, read) <= PassLimit;
}

} // namespace korvex::fuzz
