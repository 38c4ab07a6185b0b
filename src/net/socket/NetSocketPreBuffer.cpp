#include "net/socket/NetSocketPreBuffer.h"

#include <cstdlib>
#include <new>

NetSocketPreBuffer::NetSocketPreBuffer(std::uint64_t capacity) {
    preBufferSize_ = capacity;
    preBuffer_ = static_cast<std::uint8_t*>(std::malloc(capacity ? capacity : 1));
    if (!preBuffer_)
        throw std::bad_alloc();
    readPointer_ = preBuffer_;
    writePointer_ = preBuffer_;
}

NetSocketPreBuffer::~NetSocketPreBuffer() {
    if (preBuffer_)
        std::free(preBuffer_);
}

void NetSocketPreBuffer::ensureCapacityForWrite(std::uint64_t numBytes) {
    std::uint64_t space = availableSpace();
    if (numBytes <= space)
        return;
    std::uint64_t additional = numBytes - space;
    std::uint64_t newSize = preBufferSize_ + additional;
    std::uint64_t readOffset = static_cast<std::uint64_t>(readPointer_ - preBuffer_);
    std::uint64_t writeOffset = static_cast<std::uint64_t>(writePointer_ - preBuffer_);
    auto* grown = static_cast<std::uint8_t*>(std::realloc(preBuffer_, newSize));
    if (!grown)
        throw std::bad_alloc();
    preBuffer_ = grown;
    preBufferSize_ = newSize;
    readPointer_ = preBuffer_ + readOffset;
    writePointer_ = preBuffer_ + writeOffset;
}

void NetSocketPreBuffer::getReadBuffer(std::uint8_t** bufferPtr, std::uint64_t* availableBytesPtr) const {
    if (bufferPtr)
        *bufferPtr = readPointer_;
    if (availableBytesPtr)
        *availableBytesPtr = availableBytes();
}

void NetSocketPreBuffer::didRead(std::uint64_t bytesRead) {
    readPointer_ += bytesRead;
    if (readPointer_ == writePointer_)
        reset(); // drained: rewind to the start of the block
}

void NetSocketPreBuffer::getWriteBuffer(std::uint8_t** bufferPtr, std::uint64_t* availableSpacePtr) const {
    if (bufferPtr)
        *bufferPtr = writePointer_;
    if (availableSpacePtr)
        *availableSpacePtr = availableSpace();
}

void NetSocketPreBuffer::didWrite(std::uint64_t bytesWritten) { writePointer_ += bytesWritten; }

void NetSocketPreBuffer::reset() {
    readPointer_ = preBuffer_;
    writePointer_ = preBuffer_;
}
