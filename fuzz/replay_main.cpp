// SPDX-License-Identifier: GPL-3.0-or-later
// Replays a fuzz target's corpus without libFuzzer: every file of the folders given is handed to
// the target's LLVMFuzzerTestOneInput, which aborts on a broken property. Fails on an empty
// corpus too, so that a wrong folder cannot pass for a clean run.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path &folder)
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string bytesOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string countText(std::size_t count)
{
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, count).ptr);
}

} // namespace

int main(int argc, char **argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto &file : inputsIn(argv[i])) {
            // Named first: should the target abort, the last name shown is the input that broke it.
            std::fputs((file.filename().string() + "\n").c_str(), stdout);
            std::fflush(stdout);
            const std::string bytes = bytesOf(file);
            LLVMFuzzerTestOneInput(
                reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    const std::string line = "replayed " + countText(replayed) + " inputs\n";
    std::fputs(line.c_str(), stdout);
    return replayed > 0 ? 0 : 1;
}
