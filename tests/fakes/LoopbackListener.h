#pragma once

#include <cstdint>

// The listening socket of a fake peer: TCP on an ephemeral port of
// 127.0.0.1, close-on-exec.
class LoopbackListener {
public:
    // The listening descriptor (-1 when no socket could be made); `port`
    // receives the port it was given.
    static int open(int backlog, bool nonBlocking, std::uint16_t* port);
    // The socket options of an HTTP fake's listener: a port taken by another
    // listener is refused (no SO_REUSEPORT, which would share it silently).
    static void ownPort(int fd);
};
