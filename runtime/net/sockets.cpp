#include "net/sockets.h"

#include <string>

namespace vlm {

SocketSlotTable& TheSocketTable() {
    static SocketSlotTable table;
    return table;
}

std::int32_t SocketInit() { return TheSocketTable().Init(); }

void SocketShutdown() { TheSocketTable().Shutdown(); }

SocketAddress SocketMakeAddress(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t port) {
    return MakeSocketAddress(a, b, c, d, port);
}

// The texts handed out by pointer live until the next call of the same
// operation on the same thread.
const char* SocketAddressText(SocketAddress address) {
    thread_local std::string text;
    text = SocketAddressToText(address);
    return text.c_str();
}

std::int32_t SocketListen(std::int32_t port) { return TheSocketTable().Listen(port); }

std::int32_t SocketAccept(std::int32_t slot, SocketAddress* peer) { return TheSocketTable().Accept(slot, peer); }

std::int32_t SocketConnect(SocketAddress address) { return TheSocketTable().Connect(address); }

std::int32_t SocketOpenUdp(std::int32_t port) { return TheSocketTable().OpenUdp(port); }

void SocketSetBlocking(std::int32_t slot, std::int32_t flag) { TheSocketTable().SetBlocking(slot, flag); }

std::int32_t SocketClose(std::int32_t slot) { return TheSocketTable().Close(slot); }

std::int32_t SocketSend(std::int32_t slot, const void* bytes, std::int32_t length, const SocketAddress* to) {
    return TheSocketTable().Send(slot, bytes, length, to);
}

std::int32_t SocketReceive(std::int32_t slot, void* buffer, std::int32_t length, std::int32_t waitForAll) {
    return TheSocketTable().Receive(slot, buffer, length, waitForAll);
}

const char* SocketOwnAddresses(const DynString& separator, std::int32_t* count) {
    return TheSocketTable().OwnAddresses(separator.view(), count);
}

SocketAddress SocketResolve(const DynString& host, std::int32_t port) {
    return TheSocketTable().Resolve(host.view(), port);
}

const char* SocketErrorText() {
    thread_local std::string text;
    text = SocketErrorToText(TheSocketTable().LastError());
    return text.c_str();
}

std::int32_t SocketLastError() { return TheSocketTable().LastError(); }

} // namespace vlm
