#include "platform/movie.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "platform/audio.h"

namespace vlm::platform {

namespace {

constexpr int kIoBufferSize = 64 * 1024;

AVCodecContext* OpenCodec(const AVStream* stream, const AVCodec* codec) {
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    if (avcodec_parameters_to_context(context, stream->codecpar) < 0 || avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
    }
    return context;
}

} // namespace

struct MovieDecoder::Streams {
    // A movie in memory is read through callbacks from this copy.
    std::vector<std::uint8_t> bytes;
    std::size_t position = 0;
    AVIOContext* io = nullptr;

    AVFormatContext* format = nullptr;
    int videoIndex = -1;
    int audioIndex = -1;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool inputEnded = false;
    double lastTimeMs = -1;
    std::vector<std::int16_t> sound;

    ~Streams() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        swr_free(&resampler);
        sws_freeContext(scaler);
        avcodec_free_context(&audio);
        avcodec_free_context(&video);
        avformat_close_input(&format);
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }

    static int Read(void* opaque, std::uint8_t* buffer, int size) {
        auto* self = static_cast<Streams*>(opaque);
        const std::size_t count = std::min(self->bytes.size() - self->position, static_cast<std::size_t>(size));
        if (count == 0) return AVERROR_EOF;
        std::memcpy(buffer, self->bytes.data() + self->position, count);
        self->position += count;
        return static_cast<int>(count);
    }

    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<Streams*>(opaque);
        const auto size = static_cast<std::int64_t>(self->bytes.size());
        if (whence & AVSEEK_SIZE) return size;
        whence &= ~AVSEEK_FORCE;
        const std::int64_t base = whence == SEEK_CUR   ? static_cast<std::int64_t>(self->position)
                                  : whence == SEEK_END ? size
                                                       : 0;
        if (offset > size || offset < -size || base + offset < 0 || base + offset > size) return -1;
        self->position = static_cast<std::size_t>(base + offset);
        return base + offset;
    }

    // The streams of an opened container: the best video stream (required)
    // and, where it can be decoded, the best sound stream.
    bool Start() {
        if (avformat_find_stream_info(format, nullptr) < 0) return false;
        const AVCodec* codec = nullptr;
        videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (videoIndex < 0 || !(video = OpenCodec(format->streams[videoIndex], codec))) return false;
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        if (!frame || !packet) return false;
        audioIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, videoIndex, &codec, 0);
        if (audioIndex >= 0 && (audio = OpenCodec(format->streams[audioIndex], codec))) StartResampler();
        return true;
    }

    void StartResampler() {
        AVChannelLayout in{};
        if (audio->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&in, audio->ch_layout.nb_channels);
        } else {
            av_channel_layout_copy(&in, &audio->ch_layout);
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, kMixRate, &in, audio->sample_fmt,
                                audio->sample_rate, 0, nullptr) < 0 ||
            swr_init(resampler) < 0) {
            swr_free(&resampler);
        }
        av_channel_layout_uninit(&in);
    }

    void DecodeSound(const MovieSoundSink& sink) {
        if (!resampler || avcodec_send_packet(audio, packet) < 0) return;
        while (avcodec_receive_frame(audio, frame) == 0) {
            const int room = swr_get_out_samples(resampler, frame->nb_samples);
            sound.resize(static_cast<std::size_t>(std::max(room, 0)) * 2);
            auto* out = reinterpret_cast<std::uint8_t*>(sound.data());
            const int got = swr_convert(resampler, &out, room, const_cast<const std::uint8_t**>(frame->extended_data),
                                        frame->nb_samples);
            if (got > 0 && sink) sink({sound.data(), static_cast<std::size_t>(got) * 2});
            av_frame_unref(frame);
        }
    }

    double FrameTime() {
        const AVStream* stream = format->streams[videoIndex];
        const std::int64_t stamp = frame->best_effort_timestamp;
        double ms;
        if (stamp != AV_NOPTS_VALUE) {
            const std::int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
            ms = static_cast<double>(stamp - start) * av_q2d(stream->time_base) * 1000.0;
        } else {
            // Without a time the frame follows the last one at the stream's rate.
            const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : AVRational{25, 1};
            ms = lastTimeMs < 0 ? 0.0 : lastTimeMs + 1000.0 / av_q2d(rate);
        }
        lastTimeMs = std::max(ms, 0.0);
        return lastTimeMs;
    }

    bool ConvertPicture(MovieFrame& out) {
        out.width = frame->width;
        out.height = frame->height;
        scaler =
            sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                 frame->width, frame->height, AV_PIX_FMT_RGBA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler || frame->width <= 0 || frame->height <= 0) return false;
        out.rgba.resize(static_cast<std::size_t>(frame->width) * frame->height * 4);
        std::uint8_t* planes[1] = {out.rgba.data()};
        const int strides[1] = {frame->width * 4};
        sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
        out.timeMs = FrameTime();
        return true;
    }
};

MovieDecoder::MovieDecoder(std::unique_ptr<Streams> streams) : streams_(std::move(streams)) {}
MovieDecoder::~MovieDecoder() = default;

std::unique_ptr<MovieDecoder> MovieDecoder::Open(const std::string& path) {
    av_log_set_level(AV_LOG_QUIET); // a file that does not open is a result, not a message
    auto streams = std::make_unique<Streams>();
    if (avformat_open_input(&streams->format, path.c_str(), nullptr, nullptr) < 0 || !streams->Start()) {
        return nullptr;
    }
    return std::unique_ptr<MovieDecoder>(new MovieDecoder(std::move(streams)));
}

std::unique_ptr<MovieDecoder> MovieDecoder::Open(std::span<const std::uint8_t> bytes) {
    av_log_set_level(AV_LOG_QUIET);
    auto streams = std::make_unique<Streams>();
    streams->bytes.assign(bytes.begin(), bytes.end());
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) return nullptr;
    streams->io = avio_alloc_context(buffer, kIoBufferSize, 0, streams.get(), Streams::Read, nullptr, Streams::Seek);
    streams->format = avformat_alloc_context();
    if (!streams->io || !streams->format) {
        if (!streams->io) av_free(buffer);
        return nullptr;
    }
    streams->format->pb = streams->io;
    // On failure the library frees the format context itself.
    if (avformat_open_input(&streams->format, nullptr, nullptr, nullptr) < 0 || !streams->Start()) return nullptr;
    return std::unique_ptr<MovieDecoder>(new MovieDecoder(std::move(streams)));
}

bool MovieDecoder::NextFrame(MovieFrame& out, const MovieSoundSink& sound) {
    Streams& s = *streams_;
    for (;;) {
        const int received = avcodec_receive_frame(s.video, s.frame);
        if (received == 0) {
            const bool converted = s.ConvertPicture(out);
            av_frame_unref(s.frame);
            if (converted) return true;
            continue;
        }
        if (received != AVERROR(EAGAIN) || s.inputEnded) return false;
        if (av_read_frame(s.format, s.packet) < 0) {
            // The decoder gives up the pictures it still holds.
            s.inputEnded = true;
            avcodec_send_packet(s.video, nullptr);
            continue;
        }
        if (s.packet->stream_index == s.videoIndex) {
            avcodec_send_packet(s.video, s.packet); // a damaged packet is passed over
        } else if (s.packet->stream_index == s.audioIndex) {
            s.DecodeSound(sound);
        }
        av_packet_unref(s.packet);
    }
}

bool MovieDecoder::Rewind() {
    Streams& s = *streams_;
    const std::int64_t start = s.format->start_time != AV_NOPTS_VALUE ? s.format->start_time : 0;
    if (avformat_seek_file(s.format, -1, INT64_MIN, start, start, 0) < 0) return false;
    avcodec_flush_buffers(s.video);
    if (s.audio) avcodec_flush_buffers(s.audio);
    s.inputEnded = false;
    s.lastTimeMs = -1;
    return true;
}

} // namespace vlm::platform
