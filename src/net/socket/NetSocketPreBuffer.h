#pragma once

#include <cstdint>
#include <memory>

// A growable byte buffer holding bytes read from the connection ahead of the
// current read request. Only the space behind the write position counts as
// free; the front is reclaimed when the buffer is read empty.
class NetSocketPreBuffer {
public:
    explicit NetSocketPreBuffer(std::uint64_t capacity);
    ~NetSocketPreBuffer();
    NetSocketPreBuffer(const NetSocketPreBuffer&) = delete;
    NetSocketPreBuffer& operator=(const NetSocketPreBuffer&) = delete;

    void ensureCapacityForWrite(std::uint64_t numBytes);

    std::uint64_t availableBytes() const { return static_cast<std::uint64_t>(writePointer_ - readPointer_); }
    std::uint8_t* readBuffer() const { return readPointer_; }
    void getReadBuffer(std::uint8_t** bufferPtr, std::uint64_t* availableBytesPtr) const;
    void didRead(std::uint64_t bytesRead);

    std::uint64_t availableSpace() const {
        return preBufferSize_ - static_cast<std::uint64_t>(writePointer_ - preBuffer_);
    }
    std::uint8_t* writeBuffer() const { return writePointer_; }
    void getWriteBuffer(std::uint8_t** bufferPtr, std::uint64_t* availableSpacePtr) const;
    void didWrite(std::uint64_t bytesWritten);

    void reset();

    std::uint64_t size() const { return preBufferSize_; }

private:
    std::uint8_t* preBuffer_ = nullptr;
    std::uint64_t preBufferSize_ = 0;
    std::uint8_t* readPointer_ = nullptr;
    std::uint8_t* writePointer_ = nullptr;
};
