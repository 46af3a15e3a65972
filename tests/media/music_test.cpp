// The game's committed music, decoded by SDL2_mixer (the mixer the runtime
// plays it with): long enough, not too loud, and a loop without a click.
#include <SDL.h>
#include <SDL_mixer.h>
#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

// Interleaved stereo samples of a whole file, decoded as a track and as a sound.
std::vector<float> Decode(const std::string& file) {
    const std::string path = VELMORA_MEDIA "/sfx/" + file;
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    EXPECT_NE(music, nullptr) << file << ": " << Mix_GetError();
    Mix_FreeMusic(music);
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        ADD_FAILURE() << file << ": " << Mix_GetError();
        return {};
    }
    const auto* samples = reinterpret_cast<const float*>(chunk->abuf);
    std::vector<float> pcm(samples, samples + chunk->alen / sizeof(float));
    Mix_FreeChunk(chunk);
    return pcm;
}

TEST(Mixer, MusicIsLongQuietEnoughAndLoopsWithoutAStep) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    ASSERT_EQ(Mix_OpenAudio(kRate, AUDIO_F32SYS, 2, 4096), 0) << Mix_GetError();
    for (const char* file : {"music.ogg", "music.mp3"}) {
        SCOPED_TRACE(file);
        const std::vector<float> pcm = Decode(file);
        const std::size_t frames = pcm.size() / 2;
        ASSERT_GE(frames, std::size_t{30 * kRate});

        float peak = 0;
        for (float s : pcm)
            peak = std::max(peak, std::abs(s));
        EXPECT_LE(20 * std::log10(peak), -1.0);

        ebur128_state* meter = ebur128_init(2, kRate, EBUR128_MODE_I);
        ebur128_add_frames_float(meter, pcm.data(), frames);
        double lufs = 0;
        ebur128_loudness_global(meter, &lufs);
        ebur128_destroy(&meter);
        EXPECT_GE(lufs, -20.0);
        EXPECT_LE(lufs, -14.0);

        // The step from the last sample to the first, against the tune's
        // usual sample-to-sample change (the 99th percentile) and against
        // the steps in the 10 ms on either side of the seam.
        std::vector<float> steps;
        for (std::size_t i = 2; i < pcm.size(); ++i)
            steps.push_back(std::abs(pcm[i] - pcm[i - 2]));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        const float usual = steps[steps.size() * 99 / 100];
        const std::size_t window = kRate / 100 * 2;
        for (std::size_t c = 0; c < 2; ++c) {
            float nearby = 0;
            for (std::size_t i = c + 2; i < window; i += 2)
                nearby = std::max(nearby, std::abs(pcm[i] - pcm[i - 2]));
            for (std::size_t i = pcm.size() - window + c + 2; i < pcm.size(); i += 2)
                nearby = std::max(nearby, std::abs(pcm[i] - pcm[i - 2]));
            const float seam = std::abs(pcm[c] - pcm[pcm.size() - 2 + c]);
            EXPECT_LE(seam, usual) << "channel " << c;
            EXPECT_LE(seam, nearby) << "channel " << c;
        }
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_Quit();
}

} // namespace
