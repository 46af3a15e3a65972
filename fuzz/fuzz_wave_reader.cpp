// Feeds arbitrary bytes to the WAVE reader, as a memory block and as the
// bytes of a disk file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto memory = vlm::ByteSource::FromMemory({data, size});
    auto file = vlm::ByteSource::FromFileBytes(std::vector<std::uint8_t>(data, data + size));
    for (vlm::ByteSource* source : {&memory, &file}) {
        const auto sound = vlm::ReadWave(*source);
        if (!sound) continue;
        // Whole stereo frames, at least one, never more than the bytes could hold.
        const std::size_t samples = sound->Stereo.size();
        if (samples == 0 || samples % 2 != 0 || samples > size * 2) __builtin_trap();
        if (sound->Rate < 1000 || sound->Rate > 384000) __builtin_trap();
    }
    return 0;
}
