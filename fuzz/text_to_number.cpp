// Fuzz target for the readout's reader: any text, read as the readout would be.
#include "engine/readout.h"
#include "fuzz/linear_time.h"
#include "fuzz/property_check.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace korvex;
using fuzz::require;

namespace {

// Whatever the reader accepts is a finite number whose text is stable: writing it, reading that
// back and writing again gives the same text.
void checkAcceptedText(std::string_view text)
{
    const auto number = TextToNumber(text);
    if (!number)
        return;
    require(std::isfinite(*number), "an accepted text reads as a finite number", text);
    const std::string written = NumberToText(*number);
    const auto reread = TextToNumber(written);
    require(reread.has_value(), "the reader accepts what NumberToText writes", written);
    require(
        NumberToText(*reread) == written, "writing, reading and writing again is stable", written);
}

// The same for the input's first eight bytes taken as a double: every finite number has a
// readout text, and the reader reads it back.
void checkWrittenNumber(const std::uint8_t *data, std::size_t size)
{
    double value = 0;
    if (size < sizeof value)
        return;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return;
    const std::string written = NumberToText(value);
    require(!written.empty() && written.find('.') == std::string::npos,
        "NumberToText writes the decimal comma", written);
    checkAcceptedText(written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkAcceptedText(text);
    checkWrittenNumber(data, size);
    if (fuzz::timesStretchedCopy(text)) {
        const auto read = [](std::string_view copy) { return TextToNumber(copy).has_value(); };
        require(fuzz::readsInLinearTime(text, read), "reading takes linear time", text);
    }
    return 0;
}
