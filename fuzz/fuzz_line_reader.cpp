// Line reads through a file channel, over a memory block and over a disk
// file with the same bytes, mixed with typed reads and seeks. Both must
// agree with a plain model of the line rules.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

#include "files/file_channel.h"
#include "files/memory_files.h"

namespace {

using vlm::FileChannel;

// The line rules, written out plainly.
std::optional<std::string> ModelLine(const std::string& data, std::size_t& position) {
    if (position >= data.size()) return std::nullopt;
    std::string line;
    std::size_t i = position;
    bool feed = false;
    while (i < data.size() && line.size() < 1024) {
        if (data[i] == '\n') {
            feed = true;
            ++i;
            break;
        }
        line += data[i++];
    }
    const bool endedByLimit = !feed && line.size() == 1024;
    if (!endedByLimit && !line.empty() && line.back() == '\r') line.pop_back();
    position = i;
    return line.substr(0, line.find('\0'));
}

std::string TempPath() {
    return std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/fuzz_line_reader." + std::to_string(getpid());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    // The first 4 bytes choose the operations; the rest is the file.
    const std::uint32_t plan = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    const std::string content(reinterpret_cast<const char*>(data + 4), size - 4);

    const std::string path = TempPath();
    std::ofstream(path, std::ios::binary) << content;
    vlm::MemoryFile block(content.data(), content.size());
    FileChannel disk;
    FileChannel memory;
    if (!disk.Open(path, 1) || !memory.Open(block.Name().view(), 1)) std::abort();

    std::size_t model = 0;
    for (int step = 0; step < 16; ++step) {
        const std::uint32_t op = plan >> (2 * step) & 3;
        if (op == 3) {
            // Seek somewhere inside the file (both channels, and the model).
            const std::int32_t to = static_cast<std::int32_t>((plan >> step) % (content.size() + 1));
            disk.Seek(to, 0);
            memory.Seek(to, 0);
            model = static_cast<std::size_t>(to);
        } else if (op == 2) {
            std::uint8_t a[4] = {}, b[4] = {};
            const bool whole = model + 4 <= content.size();
            if (disk.Read(a) != whole) std::abort();
            if (!memory.Read(b)) std::abort();
            if (whole && (std::memcmp(a, b, 4) != 0 || std::memcmp(a, content.data() + model, 4) != 0)) std::abort();
            model = std::min(model + 4, content.size());
            if (!whole) disk.Seek(static_cast<std::int32_t>(model), 0);
        } else {
            const auto expected = ModelLine(content, model);
            const auto fromDisk = disk.ReadLine();
            const auto fromMemory = memory.ReadLine();
            if (expected.has_value() != fromDisk.has_value() || expected.has_value() != fromMemory.has_value()) std::abort();
            if (expected && (fromDisk->view() != *expected || fromMemory->view() != *expected)) std::abort();
        }
        if (disk.Position() != static_cast<std::int32_t>(model) || memory.Position() != disk.Position()) std::abort();
        if (disk.AtEnd() != memory.AtEnd()) std::abort();
    }
    disk.Close();
    ::unlink(path.c_str());
    return 0;
}
