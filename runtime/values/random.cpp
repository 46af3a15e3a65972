#include "values/random.h"

namespace vlm {

namespace {

IsaacState theRandomState;

struct MixWords {
    std::uint32_t a, b, c, d, e, f, g, h;

    void Mix() {
        a ^= b << 11; d += a; b += c;
        b ^= c >> 2;  e += b; c += d;
        c ^= d << 8;  f += c; d += e;
        d ^= e >> 16; g += d; e += f;
        e ^= f << 10; h += e; f += g;
        f ^= g >> 4;  a += f; g += h;
        g ^= h << 8;  b += g; h += a;
        h ^= a >> 9;  c += h; a += b;
    }
    void Add(const std::uint32_t* w) {
        a += w[0]; b += w[1]; c += w[2]; d += w[3];
        e += w[4]; f += w[5]; g += w[6]; h += w[7];
    }
    void Store(std::uint32_t* w) const {
        w[0] = a; w[1] = b; w[2] = c; w[3] = d;
        w[4] = e; w[5] = f; w[6] = g; w[7] = h;
    }
};

void IsaacRound(IsaacState& s) {
    s.cc += 1;
    s.bb += s.cc;
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t x = s.memory[i];
        switch (i % 4) {
        case 0: s.aa ^= s.aa << 13; break;
        case 1: s.aa ^= s.aa >> 6; break;
        case 2: s.aa ^= s.aa << 2; break;
        case 3: s.aa ^= s.aa >> 16; break;
        }
        s.aa = s.memory[(i + 128) % 256] + s.aa;
        const std::uint32_t y = s.memory[(x >> 2) % 256] + s.aa + s.bb;
        s.memory[i] = y;
        s.bb = s.memory[(y >> 10) % 256] + x;
        s.results[i] = s.bb;
    }
}

} // namespace

void IsaacSeed(IsaacState& s, std::uint32_t seed) {
    s = IsaacState{};
    MixWords m{0x9e3779b9, 0x9e3779b9, 0x9e3779b9, 0x9e3779b9,
               0x9e3779b9, 0x9e3779b9, 0x9e3779b9, 0x9e3779b9};
    // The seed is carried into the mix words before ISAAC's own set-up.
    for (std::uint32_t i = 0; i < 256; i += 8) {
        m.a += seed;
        m.Mix();
        m.Store(&s.memory[i]);
    }
    for (int i = 0; i < 4; ++i) m.Mix();
    for (std::uint32_t i = 0; i < 256; i += 8) {
        m.Add(&s.results[i]);
        m.Mix();
        m.Store(&s.memory[i]);
    }
    for (std::uint32_t i = 0; i < 256; i += 8) {
        m.Add(&s.memory[i]);
        m.Mix();
        m.Store(&s.memory[i]);
    }
    IsaacRound(s);
    s.count = 256;
}

std::uint32_t IsaacDraw(IsaacState& s) {
    IsaacRound(s);
    return s.results[0];
}

IsaacState& TheRandomState() { return theRandomState; }

void SeedRandom(std::uint32_t seed) { IsaacSeed(theRandomState, seed); }

std::int32_t RandomInt(std::int32_t n) {
    if (n <= 0) return 0;
    const std::uint32_t w = IsaacDraw(theRandomState);
    return static_cast<std::int32_t>(w % (static_cast<std::uint32_t>(n) + 1u));
}

} // namespace vlm
