// The end of a response header is found at the same byte however the
// response is cut into received blocks; any head parses or is refused
// without harm, and a head that parses has a three-digit status.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "files/web_download.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t cut = data[0] % 17 + 1;
    const std::span<const std::uint8_t> response(data + 1, size - 1);

    vlm::HttpHeaderSplitter whole;
    const std::size_t bodyAt = whole.Feed(response);

    vlm::HttpHeaderSplitter pieces;
    std::size_t found = response.size();
    for (std::size_t at = 0; at < response.size(); at += cut) {
        const auto block = response.subspan(at, std::min(cut, response.size() - at));
        const bool before = pieces.InBody();
        const std::size_t start = pieces.Feed(block);
        if (start > block.size()) std::abort();
        if (before && start != 0) std::abort();
        if (!before && pieces.InBody()) found = at + start;
    }
    if (whole.InBody() != pieces.InBody() || (whole.InBody() && found != bodyAt)) std::abort();

    const auto head = vlm::ParseResponseHead(std::string_view(reinterpret_cast<const char*>(response.data()), bodyAt));
    if (head && (head->status < 0 || head->status > 999)) std::abort();
    return 0;
}
