// Writes a session's input as an input script, frame by frame, so that the
// recording replays exactly.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "input/input_source.h"

namespace vlm {

class InputRecorder {
  public:
    // Null when the file cannot be created.
    static std::unique_ptr<InputRecorder> Open(const std::string& path);
    ~InputRecorder(); // writes the final "end" line
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    // The input state the program sees from frame `frame` on.
    void RecordFrame(std::uint32_t frame, bool pointerChanged, std::int32_t x, std::int32_t y,
                     std::int32_t wheel, std::uint32_t buttons, const std::array<std::uint8_t, 256>& keys);

  private:
    explicit InputRecorder(std::FILE* file) : file_(file) {}
    void Write(const ScriptEvent& event);

    std::FILE* file_;
    std::uint32_t lastFrame_ = 0;
    std::uint32_t buttons_ = 0;
    std::array<std::uint8_t, 256> keys_{};
};

} // namespace vlm
