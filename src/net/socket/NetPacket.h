#pragma once

// The common base of what the read and write queues of a socket hold: read
// and write requests and the marker where TLS starts.
class NetPacket {
public:
    virtual ~NetPacket() = default;
};
