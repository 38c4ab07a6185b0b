#include "net/socket/NetReadPacket.h"

#include "net/socket/NetSocketPreBuffer.h"

#include <algorithm>
#include <cstring>

NetReadPacket::NetReadPacket(NetBytesPtr data, std::uint64_t startOffset, std::uint64_t maxLength,
                             double timeout, std::uint64_t readLength, const NetBytes* terminator,
                             std::int64_t tag)
    : maxLength(maxLength), timeout(timeout), readLength(readLength), tag(tag) {
    if (terminator)
        term = *terminator;
    if (data) {
        buffer = std::move(data);
        this->startOffset = startOffset;
        bufferOwner = false;
        originalBufferLength = buffer->size();
    } else {
        buffer = std::make_shared<NetBytes>(readLength);
        this->startOffset = 0;
        bufferOwner = true;
        originalBufferLength = 0;
    }
}

void NetReadPacket::ensureCapacityForAdditionalDataOfLength(std::uint64_t bytesToRead) {
    std::uint64_t space = freeRoom();
    if (bytesToRead > space)
        buffer->resize(buffer->size() + (bytesToRead - space));
}

std::uint64_t NetReadPacket::optimalReadLengthWithDefault(std::uint64_t defaultValue, bool* shouldPreBufferPtr) {
    std::uint64_t result;
    if (readLength > 0) {
        result = readLength - bytesDone;
        if (shouldPreBufferPtr)
            *shouldPreBufferPtr = false;
        return result;
    }
    result = defaultValue;
    if (maxLength > 0)
        result = std::min(defaultValue, maxLength - bytesDone);
    if (shouldPreBufferPtr)
        *shouldPreBufferPtr = freeRoom() < result;
    return result;
}

std::uint64_t NetReadPacket::readLengthForNonTermWithHint(std::uint64_t bytesAvailable) {
    if (readLength > 0)
        return std::min(bytesAvailable, readLength - bytesDone);
    if (maxLength > 0)
        return std::min(bytesAvailable, maxLength - bytesDone);
    return bytesAvailable;
}

std::uint64_t NetReadPacket::readLengthForTermWithHint(std::uint64_t bytesAvailable, bool* shouldPreBufferPtr) {
    std::uint64_t result = bytesAvailable;
    if (maxLength > 0)
        result = std::min(result, maxLength - bytesDone);
    if (shouldPreBufferPtr)
        *shouldPreBufferPtr = freeRoom() < result;
    return result;
}

std::uint64_t NetReadPacket::readLengthForTermWithPreBuffer(const NetSocketPreBuffer& preBuffer, bool* foundPtr) {
    const std::uint64_t termLength = term->size();
    const std::uint64_t available = preBuffer.availableBytes();
    if (bytesDone + available < termLength)
        return available; // not enough bytes for a terminator yet
    std::uint64_t maxPreBufferLength = available;
    if (maxLength > 0)
        maxPreBufferLength = std::min(available, maxLength - bytesDone);

    std::uint64_t bufLen = std::min<std::uint64_t>(bytesDone, termLength - 1);
    const std::uint8_t* buf = buffer->data() + startOffset + bytesDone - bufLen;
    std::uint64_t preLen = termLength - bufLen;
    const std::uint8_t* pre = preBuffer.readBuffer();
    const std::uint8_t* preStart = pre;

    std::int64_t loopCount = static_cast<std::int64_t>(bufLen + maxPreBufferLength) -
                             static_cast<std::int64_t>(termLength) + 1;
    std::uint64_t result = maxPreBufferLength;
    bool found = false;
    NetBytes scratch(termLength);
    for (std::int64_t i = 0; i < loopCount; ++i) {
        if (bufLen > 0) {
            std::memcpy(scratch.data(), buf, bufLen);
            std::memcpy(scratch.data() + bufLen, pre, preLen);
            if (std::memcmp(scratch.data(), term->data(), termLength) == 0) {
                result = preLen;
                found = true;
                break;
            }
            ++buf;
            --bufLen;
            ++preLen;
        } else {
            if (std::memcmp(pre, term->data(), termLength) == 0) {
                result = static_cast<std::uint64_t>(pre - preStart) + termLength;
                found = true;
                break;
            }
            ++pre;
        }
    }
    if (foundPtr)
        *foundPtr = found;
    return result;
}

std::int64_t NetReadPacket::searchForTermAfterPreBuffering(std::int64_t numBytes) {
    const std::int64_t termLength = static_cast<std::int64_t>(term->size());
    const std::int64_t done = static_cast<std::int64_t>(bytesDone);
    const std::int64_t total = done + numBytes;
    std::int64_t i = done >= termLength ? done - termLength + 1 : 0;
    const std::uint8_t* base = buffer->data() + startOffset;
    while (i + termLength <= total) {
        if (std::memcmp(base + i, term->data(), static_cast<std::size_t>(termLength)) == 0)
            return total - (i + termLength);
        ++i;
    }
    return -1;
}
