#pragma once

#include "net/socket/NetBytes.h"
#include "net/socket/NetPacket.h"

#include <cstdint>

// One queued write request. It holds the caller's data object itself.
class NetWritePacket : public NetPacket {
public:
    NetWritePacket(NetConstBytesPtr data, double timeout, std::int64_t tag)
        : buffer(std::move(data)), timeout(timeout), tag(tag) {}

    NetConstBytesPtr buffer;
    std::uint64_t bytesDone = 0;
    double timeout;
    std::int64_t tag;
};
