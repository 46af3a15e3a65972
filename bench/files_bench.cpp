// File channels against the standard library, on data made at run time:
// a 50 MB text read line by line (vs std::getline) and 10 million 32-bit
// values (vs fread). Goal: within 2x of the standard library on both.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "files/file_channels.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::filesystem::path MakeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench_files.XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

void WriteText(const std::filesystem::path& path, std::size_t bytes) {
    std::mt19937 random(7);
    std::ofstream out(path, std::ios::binary);
    std::string line;
    for (std::size_t written = 0; written < bytes;) {
        line.assign(random() % 120, 'a');
        for (char& c : line) c = static_cast<char>('a' + random() % 26);
        line += "\r\n";
        out << line;
        written += line.size();
    }
}

void WriteValues(const std::filesystem::path& path, std::size_t count) {
    std::mt19937 random(11);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t v = random();
        const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                               static_cast<char>(v >> 24)};
        out.write(bytes, 4);
    }
}

} // namespace

int main() {
    constexpr std::size_t kTextBytes = 50u << 20;
    constexpr std::int32_t kValues = 10'000'000;
    const std::filesystem::path folder = MakeFolder();
    const std::filesystem::path text = folder / "lines.txt";
    const std::filesystem::path values = folder / "values.bin";
    WriteText(text, kTextBytes);
    WriteValues(values, kValues);

    // Lines: the channel, then std::getline over the same file.
    auto start = Clock::now();
    std::size_t channelLines = 0, channelBytes = 0;
    vlm::OpenFile(0, vlm::DynString(text.string()), 1);
    while (!vlm::EndOfFile(0)) {
        channelBytes += vlm::ReadLine(0).length();
        ++channelLines;
    }
    vlm::CloseFile(0);
    const double channelLineSeconds = SecondsSince(start);

    start = Clock::now();
    std::size_t standardLines = 0, standardBytes = 0;
    {
        std::ifstream in(text, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            standardBytes += line.size() - (!line.empty() && line.back() == '\r');
            ++standardLines;
        }
    }
    const double standardLineSeconds = SecondsSince(start);

    // 32-bit values: the channel, then one fread per value.
    start = Clock::now();
    std::uint64_t channelSum = 0;
    vlm::OpenFile(1, vlm::DynString(values.string()), 1);
    for (std::int32_t i = 0; i < kValues; ++i) channelSum += static_cast<std::uint32_t>(vlm::ReadInt32(1));
    vlm::CloseFile(1);
    const double channelValueSeconds = SecondsSince(start);

    start = Clock::now();
    std::uint64_t standardSum = 0;
    if (std::FILE* in = std::fopen(values.string().c_str(), "rb")) {
        std::uint32_t v;
        for (std::int32_t i = 0; i < kValues && std::fread(&v, 4, 1, in) == 1; ++i) standardSum += v;
        std::fclose(in);
    }
    const double standardValueSeconds = SecondsSince(start);

    std::filesystem::remove_all(folder);
    if (channelLines != standardLines || channelBytes != standardBytes || channelSum != standardSum) {
        std::printf("results differ: lines %zu/%zu bytes %zu/%zu sums %llu/%llu\n", channelLines, standardLines,
                    channelBytes, standardBytes, static_cast<unsigned long long>(channelSum),
                    static_cast<unsigned long long>(standardSum));
        return 1;
    }
    std::printf("lines  (%zu lines, 50 MB): channel %.3f s, std::getline %.3f s, ratio %.2f\n", channelLines,
                channelLineSeconds, standardLineSeconds, channelLineSeconds / standardLineSeconds);
    std::printf("values (10M x 32-bit):      channel %.3f s, fread        %.3f s, ratio %.2f\n",
                channelValueSeconds, standardValueSeconds, channelValueSeconds / standardValueSeconds);
    return 0;
}
