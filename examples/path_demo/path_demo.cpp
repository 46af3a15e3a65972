// Path finding demo: a grid of cell costs drawn in shades of grey (light is
// cheap, dark is dear, black is a wall), and the route FindGridPath finds
// between two cells.
//
//   left click    start cell          right click   end cell
//   up / down     weight +/- 0.1      D             diagonal steps on/off
//   space         a new map           Escape        end
//
// Each route found is also written to standard output.
#include <cstdio>

#include "velmora.h"

namespace {

constexpr int kCell = 16;
constexpr int kColumns = 40, kRows = 28; // 640 x 448, a status line below
constexpr std::uint32_t kStartColour = 0x0000C000, kEndColour = 0x000000E0, kRouteColour = 0x0000D0FF;
constexpr int kKeyUp = 200, kKeyDown = 208, kKeyD = 32, kKeySpace = 57;

struct Demo {
    vlm::NumberArray costs;
    vlm::IntegerArray route;
    int cells = 0; // on the route; 0: none
    int startX = 1, startY = 1, endX = kColumns - 2, endY = kRows - 2;
    int weightTenths = 5;
    bool diagonal = false;
    std::uint32_t seed = 1;
};

// Costs 1..9 in patches, a wall in about one cell of five.
void NewMap(Demo& demo) {
    vlm::SeedRandom(demo.seed);
    demo.costs.Dimension(kColumns, kRows);
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            const int patch = ((x / 8) * 7 + (y / 7) * 3) % 9;
            demo.costs.At(x, y) = vlm::RandomInt(99) < 20 ? 0 : 1 + (patch + vlm::RandomInt(2)) % 9;
        }
    }
}

void FindRoute(Demo& demo) {
    // The chosen cells are always open ground.
    for (const auto& [x, y] : {std::pair{demo.startX, demo.startY}, {demo.endX, demo.endY}}) {
        if (demo.costs.At(x, y) <= 0) demo.costs.At(x, y) = 1;
    }
    const double weight = demo.weightTenths / 10.0;
    demo.cells = (demo.diagonal ? vlm::FindDiagonalGridPath : vlm::FindGridPath)(
        demo.costs, demo.route, weight, demo.startX, demo.startY, demo.endX, demo.endY);
    std::printf("route from %d,%d to %d,%d, weight %.1f, %s: ", demo.startX, demo.startY, demo.endX, demo.endY, weight,
                demo.diagonal ? "diagonal" : "straight");
    if (demo.cells > 0) {
        std::printf("%d cells\n", demo.cells);
    } else {
        std::printf("none\n");
    }
    std::fflush(stdout);
}

std::uint32_t Grey(int level) { return static_cast<std::uint32_t>(level) * 0x00010101u; }

void Draw(const Demo& demo) {
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            const double cost = demo.costs.At(x, y);
            const std::uint32_t colour = cost <= 0 ? 0 : Grey(235 - static_cast<int>(cost - 1) * 20);
            vlm::FillRect(x * kCell, y * kCell, kCell - 1, kCell - 1, colour);
        }
    }
    for (int i = 0; i < demo.cells; ++i) {
        vlm::FillRect(demo.route.At(i, 0) * kCell + 4, demo.route.At(i, 1) * kCell + 4, kCell - 9, kCell - 9,
                      kRouteColour);
    }
    vlm::FillRect(demo.startX * kCell + 2, demo.startY * kCell + 2, kCell - 5, kCell - 5, kStartColour);
    vlm::FillRect(demo.endX * kCell + 2, demo.endY * kCell + 2, kCell - 5, kCell - 5, kEndColour);

    char status[160];
    std::snprintf(status, sizeof status, "weight %.1f (up/down)  %s (D)  route: %d cells  new map: space",
                  demo.weightTenths / 10.0, demo.diagonal ? "diagonal" : "straight", demo.cells);
    vlm::PrintText(status, 8, kRows * kCell + 12);
}

// A key counts once when it goes down.
bool Pressed(int code, bool (&held)[256]) {
    const bool down = vlm::KeyDown(code) != 0;
    const bool pressed = down && !held[code];
    held[code] = down;
    return pressed;
}

} // namespace

void StartupSettings() {
    vlm::StartupSettings& s = vlm::TheStartupSettings();
    s.WindowWidth = kColumns * kCell;
    s.WindowHeight = 480;
    s.FrameRate = 60;
    s.Title = "path demo";
}

void GameMain() {
    Demo demo;
    NewMap(demo);
    FindRoute(demo);
    bool held[256] = {};
    bool wasLeft = false, wasRight = false;
    for (;;) {
        std::int32_t mx, my, left, right;
        vlm::ReadMouse(mx, my, left, right);
        const int cx = mx / kCell, cy = my / kCell;
        const bool onGrid = cx >= 0 && cx < kColumns && cy >= 0 && cy < kRows;
        bool changed = false;
        if (left && !wasLeft && onGrid && (cx != demo.endX || cy != demo.endY)) {
            demo.startX = cx, demo.startY = cy, changed = true;
        }
        if (right && !wasRight && onGrid && (cx != demo.startX || cy != demo.startY)) {
            demo.endX = cx, demo.endY = cy, changed = true;
        }
        wasLeft = left != 0, wasRight = right != 0;
        if (Pressed(kKeyUp, held) && demo.weightTenths < 10) ++demo.weightTenths, changed = true;
        if (Pressed(kKeyDown, held) && demo.weightTenths > 0) --demo.weightTenths, changed = true;
        if (Pressed(kKeyD, held)) demo.diagonal = !demo.diagonal, changed = true;
        if (Pressed(kKeySpace, held)) {
            ++demo.seed;
            NewMap(demo);
            changed = true;
        }
        if (changed) FindRoute(demo);
        Draw(demo);
        vlm::ShowFrame();
    }
}

extern const vlm::SubEntry SubRegistry[] = {{nullptr, nullptr}};
