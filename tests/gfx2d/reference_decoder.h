// An independent decoder for conformance checks: ImageMagick's convert,
// run on the file, giving 8-bit RGBA rows top-down.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

#ifndef VELMORA_TESTDATA
#error "VELMORA_TESTDATA must name the conformance data folder (tests/data)"
#endif

namespace vlm::test {

inline std::filesystem::path TestData(const std::string& relative) {
    return std::filesystem::path(VELMORA_TESTDATA) / relative;
}

struct ReferenceImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

// What a shell command wrote to its standard output; empty when it failed.
inline std::string RunForOutput(const std::string& command) {
    const std::string shell[] = {"sh", "-c", command};
    return platform::RunForOutput(shell).value_or("");
}

// nullopt when the reference decoder refuses the file.
// options go before the file (for example "-define jpeg:fancy-upsampling=off"),
// after the file ("-set colorspace sRGB" keeps samples as stored even when a
// gamma chunk calls them linear). With highBytes the samples are read at 16
// bits and cut to their high byte, as a 16-bit picture's are when loaded.
inline std::optional<ReferenceImage> ReferenceDecode(const std::filesystem::path& file,
                                                     const std::string& options = "",
                                                     const std::string& after = "", bool highBytes = false) {
    const std::string quoted = options + " '" + file.string() + "[0]'";
    const std::string size = RunForOutput("convert " + quoted + " -format '%w %h' info: 2>/dev/null");
    ReferenceImage image;
    if (std::sscanf(size.c_str(), "%d %d", &image.width, &image.height) != 2) return std::nullopt;
    const std::string depth = highBytes ? " -endian MSB -depth 16" : " -depth 8";
    const std::string bytes = RunForOutput("convert " + quoted + " " + after + depth + " rgba:- 2>/dev/null");
    const std::size_t step = highBytes ? 2 : 1;
    if (bytes.size() != static_cast<std::size_t>(image.width) * image.height * 4 * step) return std::nullopt;
    for (std::size_t i = 0; i < bytes.size(); i += step)
        image.rgba.push_back(static_cast<std::uint8_t>(bytes[i]));
    return image;
}

// The colour-key rule applied to reference pixels (optionally forcing opacity first).
inline void ApplyKeyRule(ReferenceImage& image, std::uint32_t key, bool forceOpaque) {
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        std::uint8_t* p = &image.rgba[i];
        if (forceOpaque) p[3] = 255;
        const std::uint32_t packed = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        if (packed == key) p[0] = p[1] = p[2] = p[3] = 0;
    }
}

} // namespace vlm::test
