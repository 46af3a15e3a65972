// "mem://" names: no text reaches memory unless it names a registered block.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/media_name_resolver.h"
#include "files/memory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vlm;
    static std::uint8_t storage[64];
    static const MemoryFile registered(storage, sizeof storage);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto fields = ParseMemoryFileName(text);
    if (fields && !IsMemoryFileName(text)) std::abort();
    if (const auto block = FindMemoryBlock(text)) {
        // Only the one live block can be found, whatever the spelling.
        if (block->data() != storage || block->size() != sizeof storage) std::abort();
    }
    if (MediaNameResolver(text).found && IsMemoryFileName(text) && !FindMemoryBlock(text)) std::abort();
    if (fields) {
        // A parsed name prints back to fields that parse the same.
        const auto again = ParseMemoryFileName(MemoryFileName({reinterpret_cast<const std::uint8_t*>(fields->address),
                                                               fields->size}).view());
        if (!again || again->size != fields->size || again->address != fields->address) std::abort();
    }
    return 0;
}
