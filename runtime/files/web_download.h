// A plain HTTP/1.0 download into a file or a registered memory block.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "values/dyn_string.h"

namespace vlm {

// Finds the end of a response header across received blocks: carriage
// returns are ignored, each line feed counts, any other byte resets the
// count; two line feeds end the header.
class HttpHeaderSplitter {
public:
    // The offset in `block` where the body starts: block.size() while the
    // whole block still belongs to the header, 0 once the body has begun.
    std::size_t Feed(std::span<const std::uint8_t> block);
    bool InBody() const { return inBody_; }

private:
    int lineFeeds_ = 0;
    bool inBody_ = false;
};

// What the head of a response (the bytes before the body) says.
struct HttpResponseHead {
    int status = 0;
    std::optional<std::uint64_t> contentLength; // when the head gives one
};
// The status line "HTTP/n.n ddd ..." and any Content-Length lines (all
// alike); nullopt for anything else.
std::optional<HttpResponseHead> ParseResponseHead(std::string_view head);

// How long a download may take: to connect, without a byte arriving, in all.
struct DownloadLimits {
    std::chrono::milliseconds connect{10'000};
    std::chrono::milliseconds stall{30'000};
    std::chrono::milliseconds total{600'000};
};

// ---- Program-facing ---------------------------------------------------------
// "GET path HTTP/1.0" to host:port, the path percent-encoded where a request
// line needs it. 1 when the response was complete: a 2xx status and, when
// the head gives a length, exactly that many body bytes. The body replaces a
// file `target` only then (a failed download leaves it as it was), or goes
// into the registered writable block of a "mem://" target, which receives
// at most its size. Anything else, a redirect included, answers 0.
std::int32_t WebDownload(const DynString& host, const DynString& path, std::int32_t port, const DynString& target,
                         const DownloadLimits& limits = {});

} // namespace vlm
