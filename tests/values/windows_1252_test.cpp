#include "values/windows_1252.h"

#include <gtest/gtest.h>

namespace vlm {
namespace {

TEST(Windows1252, CharactersAndBytes) {
    const struct {
        char32_t character;
        std::uint8_t byte;
    } rows[] = {{U'A', 'A'}, {U'\u20AC', 0x80}, {U'\u0178', 0x9F}, {U'\u00E9', 0xE9}, {U'\u00A0', 0xA0}};
    for (const auto& row : rows) {
        EXPECT_EQ(ByteOfCodePoint(row.character), row.byte);
        EXPECT_EQ(CodePointOfByte(row.byte), row.character);
    }
    for (const char32_t lacking : {U'\u0080', U'\u009F', U'\u4E2D', U'\U0001F600'})
        EXPECT_EQ(ByteOfCodePoint(lacking), 0) << static_cast<std::uint32_t>(lacking);
    EXPECT_EQ(Utf8FromSingleByte("\x80 caf\xE9 \x81"), "\xE2\x82\xAC caf\xC3\xA9 \xC2\x81");
}

} // namespace
} // namespace vlm
