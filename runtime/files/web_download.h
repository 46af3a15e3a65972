// A plain HTTP/1.0 download into a file or a registered memory block.
#pragma once

#include <cstddef>
#include <cstdint>
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

// ---- Program-facing ---------------------------------------------------------
// "GET path HTTP/1.0" to host:port; the body goes to `target`, a file name
// (replaced) or the "mem://" name of a registered writable block, which
// receives at most its size. 1 when the request was sent and the response
// read to its end (or to a receive error), else 0.
std::int32_t WebDownload(const DynString& host, const DynString& path, std::int32_t port, const DynString& target);

} // namespace vlm
