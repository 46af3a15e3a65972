// The socket layer as programs see it: TCP and UDP over IPv4 by slot number
// (0..1023), on the process's socket slot table. Every operation leaves its
// outcome in SocketLastError (0 after success, the system's error number,
// or 8 when no slot was free); SocketErrorText tells it in words.
#pragma once

#include <cstdint>

#include "net/socket_slot_table.h"
#include "values/dyn_string.h"

namespace vlm {

SocketSlotTable& TheSocketTable();

// ---- Program-facing ---------------------------------------------------------

std::int32_t SocketInit(); // → 1; counted, matched by SocketShutdown
void SocketShutdown();     // the last one closes every slot
SocketAddress SocketMakeAddress(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, std::int32_t port);
const char* SocketAddressText(SocketAddress address);                        // "a.b.c.d", until the next call
std::int32_t SocketListen(std::int32_t port);                                // TCP slot or -1
std::int32_t SocketAccept(std::int32_t slot, SocketAddress* peer = nullptr); // new slot, or -1 when none waits
std::int32_t SocketConnect(SocketAddress address);                           // TCP slot or -1
std::int32_t SocketOpenUdp(std::int32_t port);                               // UDP slot or -1
void SocketSetBlocking(std::int32_t slot, std::int32_t flag);
std::int32_t SocketClose(std::int32_t slot); // 0, or -1 for a free slot
std::int32_t SocketSend(std::int32_t slot, const void* bytes, std::int32_t length,
                        const SocketAddress* to = nullptr); // length or -1
std::int32_t SocketReceive(std::int32_t slot, void* buffer, std::int32_t length,
                           std::int32_t waitForAll); // count, 0 peer gone, -2 nothing yet, -1
const char* SocketOwnAddresses(const DynString& separator, std::int32_t* count);
SocketAddress SocketResolve(const DynString& host, std::int32_t port); // "" is this computer; (0, 0) unknown
const char* SocketErrorText(); // "%d %s" of SocketLastError, until the next call
std::int32_t SocketLastError();

} // namespace vlm
