// The sprite store as a table, without a GL context.
#include <gtest/gtest.h>

#include "files/error_state.h"
#include "gfx2d/sprite_store.h"

namespace vlm {
namespace {

TEST(SpriteStore, StartsWithEveryIdFreeAndTheDefaultKeys) {
    const bool glReady = false;
    auto store = std::make_unique<SpriteStore>(glReady);
    EXPECT_EQ(store->ColourKey, 0x008000FFu);
    EXPECT_EQ(store->FontColourKey, 0u);
    EXPECT_EQ(store->FindFreeSprite(), 0);
    store->SetColourKey(0x00123456);
    EXPECT_EQ(store->ColourKey, 0x00123456u);
    EXPECT_EQ(store->FontColourKey, 0x00123456u);
}

TEST(SpriteStore, DeletingWithoutAContextMakesNoGlCallsAndKeepsTheFrameSize) {
    const bool glReady = false;
    auto store = std::make_unique<SpriteStore>(glReady);
    SpriteRecord& record = store->Record(9);
    record = {7, 8, 0.5f, 0.5f, 16, 16, 8, 8, 4, 4};
    store->DeleteSprite(9); // a GL call here would crash: there is no context
    EXPECT_EQ(record.Texture, 0u);
    EXPECT_EQ(record.Width, 0);
    EXPECT_EQ(record.FrameWidth, 4);
    EXPECT_EQ(store->PixelMask(9), nullptr);
    EXPECT_EQ(store->SpriteCollision(9, 0, 0, 9, 0, 0), 0);
}

TEST(SpriteStore, PicturesDoNotLoadBeforeThereIsAContext) {
    const bool glReady = false;
    auto store = std::make_unique<SpriteStore>(glReady);
    EXPECT_FALSE(store->LoadSprite(VELMORA_TESTDATA "/bmp-made-here/ok_24bpp_1x1.bmp", 2));
    EXPECT_EQ(store->Record(2).Width, 0);
    EXPECT_EQ(TheErrorState().LastErrorCode, kErrorNoSuchFile);
}

TEST(SpriteStore, TheFrameGridNeverDividesByANegativeCount) {
    SpriteRecord record;
    record.Width = 16;
    record.FrameWidth = -16;
    EXPECT_EQ(FrameGridPosition(record, INT32_MIN).column, INT32_MIN);
}

} // namespace
} // namespace vlm
