#include "net/socket_slot_table.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vlm {

namespace {

constexpr int kListenBacklog = 10;
constexpr std::size_t kOwnAddressesLimit = 2047;

sockaddr_in ToSystem(SocketAddress address) {
    sockaddr_in system{};
    system.sin_family = AF_INET;
    system.sin_port = address.Port;
    system.sin_addr.s_addr = address.Address;
    return system;
}

SocketAddress FromSystem(const sockaddr_in& system) { return {system.sin_addr.s_addr, system.sin_port}; }

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// Waits until the socket is ready for `events` or has failed (the next call
// on it then tells which).
void WaitUntilReady(int socket, short events) {
    pollfd watch{socket, events, 0};
    while (::poll(&watch, 1, -1) < 0 && errno == EINTR) {
    }
}

bool SetNonBlocking(int socket, bool on) {
    const int flags = ::fcntl(socket, F_GETFL);
    if (flags < 0) return false;
    return ::fcntl(socket, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

// A connect that a signal interrupted goes on by itself: wait for its end
// and take its outcome.
bool ConnectWaiting(int socket, const sockaddr_in& to) {
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return true;
    if (errno != EINTR) return false;
    WaitUntilReady(socket, POLLOUT);
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return false;
    errno = error;
    return error == 0;
}

// Closes a stream socket at once: no lingering, both directions shut.
int CloseStream(int socket) {
    const linger off{0, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    ::shutdown(socket, SHUT_RDWR);
    return ::close(socket);
}

} // namespace

SocketAddress MakeSocketAddress(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t port) {
    const std::uint32_t host = (static_cast<std::uint32_t>(a & 255) << 24) |
                               (static_cast<std::uint32_t>(b & 255) << 16) |
                               (static_cast<std::uint32_t>(c & 255) << 8) | static_cast<std::uint32_t>(d & 255);
    return {htonl(host), htons(static_cast<std::uint16_t>(port))};
}

std::string SocketAddressToText(SocketAddress address) {
    const std::uint32_t host = ntohl(address.Address);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", host >> 24, (host >> 16) & 255, (host >> 8) & 255, host & 255);
    return text;
}

std::string SocketErrorToText(std::int32_t error) {
    // Negative numbers are the name lookup's own codes.
    const char* text = error == kSocketErrorNoFreeSlot ? "no free socket slot"
                       : error < 0                     ? ::gai_strerror(error)
                                                       : ::strerrordesc_np(error);
    if (!text) return {};
    return std::to_string(error) + " " + text;
}

SocketSlotTable::~SocketSlotTable() {
    for (std::int32_t slot = 0; slot < kSocketSlotCount; ++slot)
        Close(slot);
}

std::int32_t SocketSlotTable::Init() {
    // POSIX sockets need no library start; the count keeps the sockets
    // open until the matching Shutdown.
    ++initCount_;
    lastError_ = 0;
    return 1;
}

void SocketSlotTable::Shutdown() {
    if (--initCount_ > 0) return;
    for (std::int32_t slot = 0; slot < kSocketSlotCount; ++slot)
        Close(slot);
    initCount_ = 0;
    lastError_ = 0;
}

std::int32_t SocketSlotTable::Fail(std::int32_t error) {
    lastError_ = error;
    return -1;
}

std::int32_t SocketSlotTable::Succeed(std::int32_t result) {
    lastError_ = 0;
    return result;
}

SocketSlotTable::SocketSlot* SocketSlotTable::Used(std::int32_t slot) {
    if (slot < 0 || slot >= kSocketSlotCount) return nullptr;
    SocketSlot& record = slots_[static_cast<std::size_t>(slot)];
    return record.socket >= 0 ? &record : nullptr;
}

bool SocketSlotTable::HasFreeSlot() {
    const std::lock_guard hold(slotsLock_);
    for (const SocketSlot& slot : slots_) {
        if (slot.socket < 0) return true;
    }
    return false;
}

std::int32_t SocketSlotTable::Store(int socket, SocketAddress address, bool udp) {
    {
        const std::lock_guard hold(slotsLock_);
        for (std::int32_t slot = 0; slot < kSocketSlotCount; ++slot) {
            SocketSlot& record = slots_[static_cast<std::size_t>(slot)];
            if (record.socket < 0) {
                record = {socket, address, udp};
                return Succeed(slot);
            }
        }
    }
    if (udp) {
        ::close(socket);
    } else {
        CloseStream(socket);
    }
    return Fail(kSocketErrorNoFreeSlot);
}

int SocketSlotTable::OpenBound(int type, std::int32_t port) {
    if (port < 0 || port > 65535) return Fail(EINVAL);
    const int socket = ::socket(AF_INET, type | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) return Fail(errno);
    const int on = 1;
    const sockaddr_in any = ToSystem({htonl(INADDR_ANY), htons(static_cast<std::uint16_t>(port))});
    const bool bind = type == SOCK_STREAM || port != 0;
    if (::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        (bind && ::bind(socket, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0)) {
        const int error = errno;
        ::close(socket);
        return Fail(error);
    }
    return socket;
}

std::int32_t SocketSlotTable::Listen(std::int32_t port) {
    if (!HasFreeSlot()) return Fail(kSocketErrorNoFreeSlot);
    const int socket = OpenBound(SOCK_STREAM, port);
    if (socket < 0) return -1;
    if (::listen(socket, kListenBacklog) != 0) {
        const int error = errno;
        ::close(socket);
        return Fail(error);
    }
    return Store(socket, {htonl(INADDR_ANY), htons(static_cast<std::uint16_t>(port))}, false);
}

std::int32_t SocketSlotTable::Accept(std::int32_t slot, SocketAddress* peer) {
    const SocketSlot* listening = Used(slot);
    if (!listening) return Fail(EBADF);
    if (listening->udp) return Fail(0);
    sockaddr_in from{};
    socklen_t size = sizeof from;
    int socket;
    do {
        socket = ::accept4(listening->socket, reinterpret_cast<sockaddr*>(&from), &size, SOCK_CLOEXEC | SOCK_NONBLOCK);
    } while (socket < 0 && errno == EINTR);
    if (socket < 0) return Fail(errno);
    const std::int32_t accepted = Store(socket, FromSystem(from), false);
    if (accepted >= 0 && peer) *peer = FromSystem(from);
    return accepted;
}

std::int32_t SocketSlotTable::Connect(SocketAddress address) {
    if (address == SocketAddress{}) return Fail(EDESTADDRREQ);
    if (!HasFreeSlot()) return Fail(kSocketErrorNoFreeSlot);
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return Fail(errno);
    if (!ConnectWaiting(socket, ToSystem(address)) || !SetNonBlocking(socket, true)) {
        const int error = errno;
        ::close(socket);
        return Fail(error);
    }
    return Store(socket, address, false);
}

std::int32_t SocketSlotTable::OpenUdp(std::int32_t port) {
    if (!HasFreeSlot()) return Fail(kSocketErrorNoFreeSlot);
    const int socket = OpenBound(SOCK_DGRAM, port);
    if (socket < 0) return -1;
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    return Store(socket, {htonl(INADDR_ANY), htons(static_cast<std::uint16_t>(port))}, true);
}

void SocketSlotTable::SetBlocking(std::int32_t slot, std::int32_t flag) {
    const SocketSlot* record = Used(slot);
    if (!record) {
        Fail(EBADF);
    } else if (SetNonBlocking(record->socket, flag == 0)) {
        Succeed(0);
    } else {
        Fail(errno);
    }
}

std::int32_t SocketSlotTable::Close(std::int32_t slot) {
    SocketSlot record;
    {
        const std::lock_guard hold(slotsLock_);
        SocketSlot* used = Used(slot);
        if (!used) return Fail(EBADF);
        record = *used;
        *used = SocketSlot{};
    }
    const int result = record.udp ? ::close(record.socket) : CloseStream(record.socket);
    return result == 0 ? Succeed(0) : Fail(errno);
}

std::int32_t SocketSlotTable::Send(std::int32_t slot, const void* bytes, std::int32_t length, const SocketAddress* to) {
    const SocketSlot* record = Used(slot);
    if (!record) return Fail(EBADF);
    if (length < 0) return Fail(EINVAL);
    sockaddr_in destination{};
    if (record->udp) {
        if (!to || *to == SocketAddress{}) return Fail(EDESTADDRREQ);
        destination = ToSystem(*to);
    }
    const auto* target = record->udp ? reinterpret_cast<const sockaddr*>(&destination) : nullptr;
    const socklen_t targetSize = record->udp ? sizeof destination : 0;
    const auto* from = static_cast<const std::uint8_t*>(bytes);
    std::int32_t sent = 0;
    while (sent < length) {
        // MSG_NOSIGNAL: a peer that has gone is an error result, never SIGPIPE.
        const ssize_t n = ::sendto(record->socket, from + sent, static_cast<std::size_t>(length - sent), MSG_NOSIGNAL,
                                   target, targetSize);
        if (n >= 0) {
            sent += static_cast<std::int32_t>(n);
        } else if (WouldBlock(errno)) {
            WaitUntilReady(record->socket, POLLOUT);
        } else if (errno != EINTR) {
            return Fail(errno);
        }
    }
    return Succeed(length);
}

std::int32_t SocketSlotTable::Receive(std::int32_t slot, void* buffer, std::int32_t length, std::int32_t waitForAll) {
    const SocketSlot* record = Used(slot);
    if (!record) return Fail(EBADF);
    if (length < 0) return Fail(EINVAL);
    auto* into = static_cast<std::uint8_t*>(buffer);
    std::int32_t received = 0;
    do {
        const ssize_t n = ::recv(record->socket, into + received, static_cast<std::size_t>(length - received), 0);
        if (n > 0 && !waitForAll) return Succeed(static_cast<std::int32_t>(n));
        if (n > 0) {
            received += static_cast<std::int32_t>(n);
            continue;
        }
        if (n == 0) return Succeed(0); // the peer has gone
        const int error = errno;
        if (error == EINTR) continue;
        lastError_ = error;
        if (error == ECONNRESET) return 0;
        if (!WouldBlock(error)) return -1;
        if (received == 0) return -2;
        // Part of the bytes are here: wait for the rest without spinning.
        WaitUntilReady(record->socket, POLLIN);
    } while (received < length);
    return Succeed(received);
}

std::vector<std::string> SocketSlotTable::LocalAddresses() {
    // The addresses of the interfaces that are up: on Linux the host name
    // often names only a loop-back address.
    std::vector<std::string> addresses;
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) {
        Fail(errno);
        return addresses;
    }
    for (const ifaddrs* i = interfaces; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP)) continue;
        sockaddr_in address;
        std::memcpy(&address, i->ifa_addr, sizeof address);
        std::string text = SocketAddressToText(FromSystem(address));
        if (!text.starts_with("127.")) addresses.push_back(std::move(text));
    }
    ::freeifaddrs(interfaces);
    Succeed(0);
    return addresses;
}

const char* SocketSlotTable::OwnAddresses(std::string_view separator, std::int32_t* count) {
    // Handed out by pointer, so it outlives the call; one per thread, so the
    // threads that share the table do not overwrite each other's.
    thread_local std::string text;
    text.clear();
    std::int32_t kept = 0;
    for (const std::string& address : LocalAddresses()) {
        if (text.size() + address.size() + separator.size() > kOwnAddressesLimit) break;
        text.append(address).append(separator);
        ++kept;
    }
    if (count) *count = kept;
    return text.c_str();
}

SocketAddress SocketSlotTable::Resolve(std::string_view host, std::int32_t port) {
    std::string name(host);
    if (name.empty()) {
        const std::vector<std::string> own = LocalAddresses();
        name = own.empty() ? "127.0.0.1" : own.front();
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        Fail(result == EAI_SYSTEM ? errno : result);
        return {};
    }
    sockaddr_in address;
    std::memcpy(&address, found->ai_addr, sizeof address);
    ::freeaddrinfo(found);
    Succeed(0);
    return {address.sin_addr.s_addr, htons(static_cast<std::uint16_t>(port))};
}

} // namespace vlm
