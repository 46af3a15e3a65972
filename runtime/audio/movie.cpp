#include "audio/movie.h"

#include <GL/gl.h>
#include <algorithm>
#include <memory>

#include "audio/music.h"
#include "files/error_state.h"
#include "files/media_name_resolver.h"
#include "files/memory_files.h"
#include "frame/clock.h"
#include "frame/display.h"
#include "frame/frame_loop.h"
#include "gfx2d/drawing.h"
#include "gfx2d/sprite_store.h"
#include "gfx2d/texture_pixels.h"
#include "input/input_devices.h"
#include "platform/audio.h"
#include "platform/movie.h"

namespace vlm {

namespace {

// The longest wait between looks at the input and the messages.
constexpr double kIdleStepMs = 5.0;
// How long a picture stays when the movie does not say (its last one).
constexpr double kDefaultFrameMs = 40.0;

std::unique_ptr<platform::MovieDecoder> OpenMovie(const DynString& name) {
    if (IsMemoryFileName(name.view())) {
        const auto block = FindMemoryBlock(name.view());
        return block ? platform::MovieDecoder::Open(*block) : nullptr;
    }
    return platform::MovieDecoder::Open(PlatformPath(name.view()));
}

// Any key (as the key-state table has it) or mouse button down.
bool AnyInputDown(InputDevices& input) {
    PollKeyboard(input);
    for (std::int32_t code = 1; code <= 254; ++code) {
        if (KeyStateDown(input, code)) return true;
    }
    MouseState mouse;
    ReadMouseState(input, mouse);
    return mouse.Left || mouse.Right || mouse.Middle;
}

// Music and the window's messages while the movie waits.
void IdleStep(Display& display) {
    MusicTick();
    PumpMessages(display, CurrentMessageHook());
}

// The texture the pictures go into, drawn over the whole window.
class MovieScreen {
public:
    explicit MovieScreen(Display& display) : display_(display) {}
    ~MovieScreen() {
        if (texture_) glDeleteTextures(1, &texture_);
        glDisable(GL_TEXTURE_2D);
        glClear(GL_COLOR_BUFFER_BIT);
        SetViewport2D(display_, 0, 0, 0, 0);
        ResetDrawingState(display_);
    }
    MovieScreen(const MovieScreen&) = delete;
    MovieScreen& operator=(const MovieScreen&) = delete;

    void Show(const platform::MovieFrame& frame) {
        Upload(frame);
        SetViewport2D(display_, 0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        // Scaled by the smaller of the two ratios and centred.
        const double scale =
            std::min(double(display_.ScreenWidth) / frame.width, double(display_.ScreenHeight) / frame.height);
        const float w = float(frame.width * scale), h = float(frame.height * scale);
        const float x = (display_.ScreenWidth - w) / 2, y = (display_.ScreenHeight - h) / 2;
        const float u = float(frame.width) / textureWidth_, v = float(frame.height) / textureHeight_;
        glDisable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS); // counter-clockwise on the screen, the picture's top row at t = 0
        glTexCoord2f(0, v);
        glVertex2f(x, y + h);
        glTexCoord2f(u, v);
        glVertex2f(x + w, y + h);
        glTexCoord2f(u, 0);
        glVertex2f(x + w, y);
        glTexCoord2f(0, 0);
        glVertex2f(x, y);
        glEnd();
        if (display_.WindowHandle) display_.WindowHandle->SwapBuffers();
    }

private:
    void Upload(const platform::MovieFrame& frame) {
        if (!texture_ || frame.width > textureWidth_ || frame.height > textureHeight_) {
            textureWidth_ = TextureSide(frame.width);
            textureHeight_ = TextureSide(frame.height);
            CreateCopyTexture(&texture_, textureWidth_, textureHeight_);
        }
        glBindTexture(GL_TEXTURE_2D, texture_);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, frame.width, frame.height, GL_RGBA, GL_UNSIGNED_BYTE,
                        frame.rgba.data());
    }

    Display& display_;
    std::uint32_t texture_ = 0;
    std::int32_t textureWidth_ = 0;
    std::int32_t textureHeight_ = 0;
};

} // namespace

std::int32_t PlayMovie(const DynString& file, std::int32_t loop) {
    Display* display = TheDisplay();
    const ResolvedName resolved = MediaNameResolver(file.view());
    std::unique_ptr<platform::MovieDecoder> decoder = resolved.found && display ? OpenMovie(resolved.name) : nullptr;

    // Sound decoded before play starts waits here for the stream (which a
    // machine without sound does not have).
    std::vector<std::int16_t> early;
    std::unique_ptr<platform::SoundStream> sound;
    bool started = false;
    const platform::MovieSoundSink sink = [&](std::span<const std::int16_t> stereo) {
        if (!started)
            early.insert(early.end(), stereo.begin(), stereo.end());
        else if (sound)
            sound->Push(stereo);
    };
    platform::MovieFrame frame;
    if (!decoder || !decoder->NextFrame(frame, sink)) {
        SetErrorCode(kErrorNoSuchFile);
        return kErrorNoSuchFile;
    }

    // A key still held from before does not end the movie at once.
    InputDevices* input = TheInput();
    while (input && AnyInputDown(*input)) {
        input->BeginFrame();
        IdleStep(*display);
        SleepMilliseconds(kIdleStepMs);
    }
    started = true;
    sound = platform::SoundStream::Open();
    if (sound) sound->Push(early);
    early = {};

    MovieScreen screen(*display);
    double start = MillisecondsNow();
    double frameMs = kDefaultFrameMs;
    double endsAt = -1; // movie time at which the last picture has had its time; -1 while pictures come
    for (;;) {
        if (input && AnyInputDown(*input)) break;
        IdleStep(*display);
        const double now = MillisecondsNow() - start;
        if (endsAt >= 0) {
            if (now >= endsAt) break;
        } else if (now >= frame.timeMs) {
            screen.Show(frame);
            if (input) input->BeginFrame();
            const double shown = frame.timeMs;
            if (decoder->NextFrame(frame, sink)) {
                if (frame.timeMs > shown) frameMs = frame.timeMs - shown;
            } else if (loop != 0 && decoder->Rewind() && decoder->NextFrame(frame, sink)) {
                start += shown + frameMs - frame.timeMs; // the first picture follows the last one's time
            } else {
                endsAt = shown + frameMs;
            }
            continue;
        }
        SleepMilliseconds(std::min((endsAt >= 0 ? endsAt : frame.timeMs) - now, kIdleStepMs));
    }
    return kErrorSuccess;
}

} // namespace vlm
