// Sprite throughput in the manner of "bunnymark": N 32 x 32 sprites bounce
// around an 800 x 450 window capped at 60 frames per second. Prints the
// frames per second for each N and, with the rasterizer switched off, what
// submitting one sprite, and one character of text, costs.
#include <GL/gl.h>
#include <GL/glext.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "frame/display.h"
#include "frame/frame_loop.h"
#include "gfx2d/bitmap_fonts.h"
#include "gfx2d/drawing.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 800, kHeight = 450, kSide = 32;

struct Bunny {
    float x, y, dx, dy;
};

vlm::ImageBuffer BunnyPicture() {
    vlm::ImageBuffer image;
    image.Allocate(kSide, kSide);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            std::uint8_t* p = &image.Row(y)[static_cast<std::size_t>(x) * 4];
            const int cx = x - 16, cy = y - 18;
            const bool body = cx * cx + cy * cy < 150,
                       ears = (x == 10 || x == 11 || x == 20 || x == 21) && y < 10;
            if (!body && !ears) continue;
            p[0] = 240;
            p[1] = static_cast<std::uint8_t>(200 + y);
            p[2] = 220;
            p[3] = 255;
        }
    }
    return image;
}

std::vector<Bunny> MakeBunnies(int n) {
    std::vector<Bunny> bunnies(static_cast<std::size_t>(n));
    std::uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8 & 0xFFFF; };
    for (Bunny& b : bunnies) {
        b = {static_cast<float>(next() % (kWidth - kSide)), static_cast<float>(next() % (kHeight - kSide)),
             (static_cast<float>(next() % 200) - 100) / 25.0f,
             (static_cast<float>(next() % 200) - 100) / 25.0f};
    }
    return bunnies;
}

// smoothing off samples the nearest texel, as raylib does by default.
void MoveAndDraw(vlm::Display& display, std::vector<Bunny>& bunnies, bool smoothing = true) {
    vlm::SetSmoothing(display, smoothing);
    for (Bunny& b : bunnies) {
        b.x += b.dx, b.y += b.dy;
        if (b.x < 0 || b.x > kWidth - kSide) b.dx = -b.dx;
        if (b.y < 0 || b.y > kHeight - kSide) b.dy = -b.dy;
        vlm::DrawSprite(display, 0, static_cast<std::int32_t>(b.x), static_cast<std::int32_t>(b.y));
    }
}

double FramesPerSecond(vlm::Display& display, int n, bool smoothing) {
    auto bunnies = MakeBunnies(n);
    for (int warm = 0; warm < 2; ++warm) {
        MoveAndDraw(display, bunnies, smoothing);
        vlm::ShowFrame();
    }
    const auto start = Clock::now();
    int frames = 0;
    double seconds = 0;
    while (seconds < 3.0 || frames < 5) {
        MoveAndDraw(display, bunnies, smoothing);
        vlm::ShowFrame();
        ++frames;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    return frames / seconds;
}

// Microseconds to hand one sprite to GL with nothing rasterized.
double SubmitMicroseconds(vlm::Display& display, int n, bool batching) {
    auto bunnies = MakeBunnies(n);
    display.Drawing.Batching = batching;
    glEnable(GL_RASTERIZER_DISCARD);
    double best = 1e300;
    for (int round = 0; round < 10; ++round) {
        const auto start = Clock::now();
        MoveAndDraw(display, bunnies);
        vlm::FlushDrawing(display);
        glFinish();
        best = std::min(best, std::chrono::duration<double, std::micro>(Clock::now() - start).count() / n);
    }
    glDisable(GL_RASTERIZER_DISCARD);
    display.Drawing.Batching = true;
    return best;
}

// Microseconds to hand one character of text to GL with nothing rasterized:
// a screenful of 56 lines of 100 characters in the compiled-in font.
double TextMicroseconds(vlm::Display& display) {
    vlm::LoadFont(display, "", 0);
    std::string line(100, ' ');
    for (std::size_t i = 0; i < line.size(); ++i)
        line[i] = static_cast<char>(32 + i % 95);
    constexpr int kLines = 56;
    glEnable(GL_RASTERIZER_DISCARD);
    double best = 1e300;
    for (int round = 0; round < 20; ++round) {
        const auto start = Clock::now();
        for (int y = 0; y < kLines; ++y)
            vlm::PrintText(display, line, 0, y * 8);
        vlm::FlushDrawing(display);
        glFinish();
        const double perCharacter = std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                                    (kLines * static_cast<double>(line.size()));
        best = std::min(best, perCharacter);
    }
    glDisable(GL_RASTERIZER_DISCARD);
    return best;
}

} // namespace

int main() {
    vlm::Display& display = vlm::CreateTheDisplay();
    if (!vlm::CreateDisplayWindow(display, kWidth, kHeight, 0, 60, 0, false)) {
        std::printf("bunnymark: no window (run under scripts/run-headless)\n");
        return 1;
    }
    if (!display.Sprites.SetSpriteImage(0, BunnyPicture())) return 1;
    std::printf(
        "bunnymark, %d x %d window, cap 60, 32 x 32 sprites (anchor: raylib 60 / 32 / 8.3 / 3.5 fps)\n",
        kWidth, kHeight);
    std::printf("  frames per second   smoothing on   smoothing off (nearest texel, like raylib)\n");
    for (int n : {1000, 5000, 20000, 50000}) {
        const double smooth = FramesPerSecond(display, n, true);
        std::printf("  N = %5d           %6.1f         %6.1f\n", n, smooth,
                    FramesPerSecond(display, n, false));
        std::fflush(stdout);
    }
    std::printf("submit cost per sprite (rasterizer off, N = 50000): batched %.3f us, one draw each %.3f us "
                "(goal < 0.25 us; raylib 0.18 us)\n",
                SubmitMicroseconds(display, 50000, true), SubmitMicroseconds(display, 50000, false));
    std::printf("submit cost per text character (rasterizer off, 56 lines of 100): %.3f us\n",
                TextMicroseconds(display));
    vlm::DestroyTheDisplay();
}
