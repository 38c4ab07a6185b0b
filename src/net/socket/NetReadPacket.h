#pragma once

#include "net/socket/NetBytes.h"
#include "net/socket/NetPacket.h"

#include <cstdint>
#include <optional>

class NetSocketPreBuffer;

// One queued read request: any available data, an exact length, or up to a
// terminator; with the arithmetic that decides how much to read next.
class NetReadPacket : public NetPacket {
public:
    NetReadPacket(NetBytesPtr data, std::uint64_t startOffset, std::uint64_t maxLength, double timeout,
                  std::uint64_t readLength, const NetBytes* terminator, std::int64_t tag);

    void ensureCapacityForAdditionalDataOfLength(std::uint64_t bytesToRead);
    std::uint64_t optimalReadLengthWithDefault(std::uint64_t defaultValue, bool* shouldPreBufferPtr);
    std::uint64_t readLengthForNonTermWithHint(std::uint64_t bytesAvailable);
    std::uint64_t readLengthForTermWithHint(std::uint64_t bytesAvailable, bool* shouldPreBufferPtr);
    std::uint64_t readLengthForTermWithPreBuffer(const NetSocketPreBuffer& preBuffer, bool* foundPtr);
    std::int64_t searchForTermAfterPreBuffering(std::int64_t numBytes);

    // Room left in the buffer behind the bytes already read.
    std::uint64_t freeRoom() const { return buffer->size() - (startOffset + bytesDone); }
    std::uint8_t* writePosition() { return buffer->data() + startOffset + bytesDone; }

    NetBytesPtr buffer;
    std::uint64_t startOffset;
    std::uint64_t bytesDone = 0;
    std::uint64_t maxLength;
    double timeout;
    std::uint64_t readLength;
    std::optional<NetBytes> term;
    bool bufferOwner;
    std::uint64_t originalBufferLength;
    std::int64_t tag;
};
