// The socket slot table: TCP and UDP sockets over IPv4 in 1024 numbered
// slots, so that programs hold small integers and never system handles.
// Every operation leaves its outcome in the table's last error: 0 after
// success, the system's error number after a failure, 8 when no slot was
// free. Sockets are non-blocking unless a program asks otherwise.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vlm {

// An IPv4 address and port, both in network byte order; (0, 0) is no address.
struct SocketAddress {
    std::uint32_t Address = 0;
    std::uint16_t Port = 0;
    bool operator==(const SocketAddress&) const = default;
};

inline constexpr std::int32_t kSocketSlotCount = 1024;
// The last error when every slot is in use. (On Linux 8 is also ENOEXEC,
// which no socket call gives, so the number is free for this meaning.)
inline constexpr std::int32_t kSocketErrorNoFreeSlot = 8;

// a.b.c.d (a first) and a port, in network byte order; each byte and the
// port keep their low bits.
SocketAddress MakeSocketAddress(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t port);
// "a.b.c.d".
std::string SocketAddressToText(SocketAddress address);
// "%d %s": the error number and its text; the empty text for a number
// without one.
std::string SocketErrorToText(std::int32_t error);

class SocketSlotTable {
public:
    SocketSlotTable() = default;
    ~SocketSlotTable(); // closes every socket still open
    SocketSlotTable(const SocketSlotTable&) = delete;
    SocketSlotTable& operator=(const SocketSlotTable&) = delete;

    // Counted: the sockets stay until the last Shutdown of as many Inits.
    std::int32_t Init(); // → 1
    void Shutdown();
    std::int32_t InitCount() const { return initCount_; }

    // Each → the new slot, or -1. Slots are taken lowest number first.
    std::int32_t Listen(std::int32_t port);                      // TCP, any local address, backlog 10
    std::int32_t Accept(std::int32_t slot, SocketAddress* peer); // -1 while none is pending
    std::int32_t Connect(SocketAddress address);                 // waits for the connection
    std::int32_t OpenUdp(std::int32_t port);                     // port 0: no fixed port

    void SetBlocking(std::int32_t slot, std::int32_t flag);
    // → 0 when the socket was closed; -1 for a free slot.
    std::int32_t Close(std::int32_t slot);
    // All `length` bytes (a UDP slot needs `to`); → length, or -1.
    std::int32_t Send(std::int32_t slot, const void* bytes, std::int32_t length, const SocketAddress* to);
    // One receive → the count, 0 when the peer has gone, -2 when nothing is
    // waiting, -1 on failure. With waitForAll set it gathers all `length`
    // bytes (-2 only when none had come yet).
    std::int32_t Receive(std::int32_t slot, void* buffer, std::int32_t length, std::int32_t waitForAll);

    // This computer's IPv4 addresses but the loop-back ones, each followed by
    // `separator`, at most 2047 characters; `count` (when given) gets their
    // number. The text stays until the next call on this thread.
    const char* OwnAddresses(std::string_view separator, std::int32_t* count);
    // The first IPv4 address of `host` (this computer's for the empty name);
    // (0, 0) when it cannot be found.
    SocketAddress Resolve(std::string_view host, std::int32_t port);

    std::int32_t LastError() const { return lastError_; }

private:
    struct SocketSlot {
        int socket = -1; // -1: the slot is free
        SocketAddress address;
        bool udp = false;
    };

    std::int32_t Fail(std::int32_t error);
    std::int32_t Succeed(std::int32_t result);
    // The slot's record when the number is 0..1023 and the slot is in use.
    SocketSlot* Used(std::int32_t slot);
    bool HasFreeSlot();
    // Puts an open socket into the lowest free slot; when there is none it
    // closes the socket and fails with 8.
    std::int32_t Store(int socket, SocketAddress address, bool udp);
    // A socket of `type` bound to any local address at `port` (no binding
    // for UDP port 0); -1 with the error recorded.
    int OpenBound(int type, std::int32_t port);
    std::vector<std::string> LocalAddresses();

    std::array<SocketSlot, kSocketSlotCount> slots_;
    std::mutex slotsLock_; // two threads never take the same free slot
    std::atomic<std::int32_t> lastError_{0};
    std::int32_t initCount_ = 0;
};

} // namespace vlm
