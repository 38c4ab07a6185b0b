// Reading: read requests, the read queue and the read engine.
#include "net/socket/NetSocket.h"

#include "net/socket/NetReadPacket.h"
#include "net/socket/NetSecureContext.h"
#include "net/socket/NetSocketPreBuffer.h"
#include "net/socket/NetSpecialPacket.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

using platform::DispatchSource;

namespace {
constexpr std::uint64_t kDefaultReadChunk = 32768;
// The most one readiness event reads for a request of known length.
constexpr std::size_t kReadPerEventLimit = 16u << 20;
} // namespace

// ---------------------------------------------------------------- requests

void NetSocket::readDataWithTimeout(double timeout, std::int64_t tag) {
    readDataWithTimeout(timeout, nullptr, 0, 0, tag);
}

void NetSocket::readDataWithTimeout(double timeout, NetBytesPtr buffer, std::uint64_t offset, std::int64_t tag) {
    readDataWithTimeout(timeout, std::move(buffer), offset, 0, tag);
}

void NetSocket::readDataWithTimeout(double timeout, NetBytesPtr buffer, std::uint64_t offset,
                                    std::uint64_t maxLength, std::int64_t tag) {
    if (offset > (buffer ? buffer->size() : 0))
        return;
    queueRead(std::make_shared<NetReadPacket>(std::move(buffer), offset, maxLength, timeout, 0, nullptr, tag));
}

void NetSocket::readDataToLength(std::uint64_t length, double timeout, std::int64_t tag) {
    readDataToLength(length, timeout, nullptr, 0, tag);
}

void NetSocket::readDataToLength(std::uint64_t length, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                                 std::int64_t tag) {
    if (length == 0)
        return;
    if (offset > (buffer ? buffer->size() : 0))
        return;
    queueRead(std::make_shared<NetReadPacket>(std::move(buffer), offset, 0, timeout, length, nullptr, tag));
}

void NetSocket::readDataToData(const NetBytes& data, double timeout, std::int64_t tag) {
    readDataToData(data, timeout, nullptr, 0, 0, tag);
}

void NetSocket::readDataToData(const NetBytes& data, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                               std::int64_t tag) {
    readDataToData(data, timeout, std::move(buffer), offset, 0, tag);
}

void NetSocket::readDataToData(const NetBytes& data, double timeout, std::uint64_t maxLength, std::int64_t tag) {
    readDataToData(data, timeout, nullptr, 0, maxLength, tag);
}

void NetSocket::readDataToData(const NetBytes& data, double timeout, NetBytesPtr buffer, std::uint64_t offset,
                               std::uint64_t maxLength, std::int64_t tag) {
    if (data.empty())
        return;
    if (offset > (buffer ? buffer->size() : 0))
        return;
    if (maxLength > 0 && maxLength < data.size())
        return;
    queueRead(std::make_shared<NetReadPacket>(std::move(buffer), offset, maxLength, timeout, 0, &data, tag));
}

void NetSocket::queueRead(std::shared_ptr<NetReadPacket> packet) {
    socketQueue_->async([self = shared_from_this(), packet = std::move(packet)] {
        if ((self->flags_ & kFlagStarted) && !(self->flags_ & kFlagNoNewReadsWrites)) {
            self->readQueue_.push_back(packet);
            self->maybeDequeueRead();
        }
    });
}

float NetSocket::progressOfReadReturningTag(std::int64_t* tagPtr, std::uint64_t* donePtr, std::uint64_t* totalPtr) {
    float result = 0;
    runSync([&] {
        auto packet = std::dynamic_pointer_cast<NetReadPacket>(currentRead_);
        if (!packet) {
            if (tagPtr)
                *tagPtr = 0;
            if (donePtr)
                *donePtr = 0;
            if (totalPtr)
                *totalPtr = 0;
            result = std::numeric_limits<float>::quiet_NaN();
            return;
        }
        if (tagPtr)
            *tagPtr = packet->tag;
        if (donePtr)
            *donePtr = packet->bytesDone;
        if (totalPtr)
            *totalPtr = packet->readLength;
        result = packet->readLength > 0
                     ? static_cast<float>(static_cast<double>(packet->bytesDone) /
                                          static_cast<double>(packet->readLength))
                     : 1.0f;
    });
    return result;
}

// ---------------------------------------------------------------- queue

void NetSocket::maybeDequeueRead() {
    if (currentRead_ || !(flags_ & kFlagConnected))
        return;
    if (!readQueue_.empty()) {
        currentRead_ = readQueue_.front();
        readQueue_.pop_front();
        if (std::dynamic_pointer_cast<NetSpecialPacket>(currentRead_)) {
            flags_ |= kFlagStartingReadTLS;
            maybeStartTLS();
        } else {
            auto packet = std::static_pointer_cast<NetReadPacket>(currentRead_);
            setupReadTimerWithTimeout(packet->timeout);
            doReadData();
        }
    } else if (flags_ & kFlagCloseAfterReads) {
        if (flags_ & kFlagCloseAfterWrites) {
            if (writeQueue_.empty() && !currentWrite_)
                closeWithError(std::nullopt);
        } else {
            closeWithError(std::nullopt);
        }
    } else if (flags_ & kFlagSecure) {
        flushSSLBuffers();
        if (preBuffer_->availableBytes() == 0 && !usingCFStreamForTLS())
            resumeReadSource();
    }
}

void NetSocket::flushSSLBuffers() {
    if (preBuffer_->availableBytes() > 0)
        return; // only when the pre-buffer has been drained
    if (usingCFStreamForTLS()) {
        flags_ &= ~kFlagSecureBytesAvailable;
        return;
    }
    if (!sslContext_)
        return;
    auto estimate = [this] {
        std::size_t sslInternalBufSize = 0;
        sslContext_->getBufferedReadSize(&sslInternalBufSize);
        return socketFDBytesAvailable_ + (sslPreBuffer_ ? sslPreBuffer_->availableBytes() : 0) +
               sslInternalBufSize;
    };
    std::uint64_t estimatedBytesAvailable = estimate();
    while (estimatedBytesAvailable > 0) {
        preBuffer_->ensureCapacityForWrite(estimatedBytesAvailable);
        std::size_t bytesRead = 0;
        int result = sslContext_->read(preBuffer_->writeBuffer(), estimatedBytesAvailable, &bytesRead);
        if (bytesRead > 0)
            preBuffer_->didWrite(bytesRead);
        if (result != NetSecureContext::noErr)
            break;
        estimatedBytesAvailable = estimate();
    }
}

// ---------------------------------------------------------------- engine

void NetSocket::doReadData() {
    auto currentRead = std::dynamic_pointer_cast<NetReadPacket>(currentRead_);
    if (!currentRead_ || (flags_ & kFlagReadsPaused)) {
        // Unable to read at this time.
        if (flags_ & kFlagSecure)
            flushSSLBuffers();
        if (!usingCFStreamForTLS() && socketFDBytesAvailable_ > 0)
            suspendReadSource();
        return;
    }

    bool hasBytesAvailable = false;
    std::uint64_t estimatedBytesAvailable = 0;
    if (usingCFStreamForTLS()) {
        // (No stream pair exists on this platform.)
    } else {
        estimatedBytesAvailable = socketFDBytesAvailable_;
        if (flags_ & kFlagSecure) {
            estimatedBytesAvailable += sslPreBuffer_ ? sslPreBuffer_->availableBytes() : 0;
            std::size_t sslInternalBufSize = 0;
            if (sslContext_)
                sslContext_->getBufferedReadSize(&sslInternalBufSize);
            estimatedBytesAvailable += sslInternalBufSize;
        }
        hasBytesAvailable = estimatedBytesAvailable > 0;
    }

    if (!hasBytesAvailable && preBuffer_->availableBytes() == 0) {
        if (!usingCFStreamForTLS())
            resumeReadSource();
        return;
    }

    if (flags_ & kFlagStartingReadTLS) {
        // The TLS marker is current.
        if (flags_ & kFlagStartingWriteTLS) {
            if (usingSecureTransportForTLS() && lastSSLHandshakeError_ == NetSecureContext::errSSLWouldBlock)
                ssl_continueSSLHandshake();
        } else if (!usingCFStreamForTLS()) {
            suspendReadSource(); // the write side has not come to the marker yet
        }
        return;
    }
    if (!currentRead)
        return;

    bool done = false;
    std::optional<NetSocketError> error;
    std::uint64_t totalBytesReadForCurrentRead = 0;

    // 1. From the pre-buffer.
    if (preBuffer_->availableBytes() > 0) {
        std::uint64_t bytesToCopy;
        if (currentRead->term) {
            bytesToCopy = currentRead->readLengthForTermWithPreBuffer(*preBuffer_, &done);
        } else {
            bytesToCopy = currentRead->readLengthForNonTermWithHint(preBuffer_->availableBytes());
        }
        currentRead->ensureCapacityForAdditionalDataOfLength(bytesToCopy);
        std::memcpy(currentRead->writePosition(), preBuffer_->readBuffer(), bytesToCopy);
        preBuffer_->didRead(bytesToCopy);
        currentRead->bytesDone += bytesToCopy;
        totalBytesReadForCurrentRead += bytesToCopy;

        if (currentRead->readLength > 0) {
            done = currentRead->bytesDone == currentRead->readLength;
        } else if (currentRead->term) {
            if (!done && currentRead->maxLength > 0 && currentRead->bytesDone >= currentRead->maxLength)
                error = readMaxedOutError();
        } else {
            if (currentRead->maxLength > 0 && currentRead->bytesDone == currentRead->maxLength)
                done = true;
        }
    }

    // 2. From the connection.
    bool socketEOF = flags_ & kFlagReadEOF;
    bool waiting = !done && !error && !socketEOF && !hasBytesAvailable;

    if (!done && !error && !socketEOF && hasBytesAvailable) {
        bool readIntoPreBuffer = false;
        bool readUntilWouldBlock = false;
        std::uint8_t* buffer = nullptr;
        std::size_t bytesRead = 0;

        if (flags_ & kFlagSecure) {
            if (usingCFStreamForTLS()) {
                // (No stream pair exists on this platform.)
            } else {
                std::uint64_t defaultReadLength = kDefaultReadChunk;
                if (estimatedBytesAvailable > kDefaultReadChunk)
                    defaultReadLength = estimatedBytesAvailable + 16384;
                std::uint64_t bytesToRead =
                    currentRead->optimalReadLengthWithDefault(defaultReadLength, &readIntoPreBuffer);
                if (readIntoPreBuffer) {
                    preBuffer_->ensureCapacityForWrite(bytesToRead);
                    buffer = preBuffer_->writeBuffer();
                } else {
                    currentRead->ensureCapacityForAdditionalDataOfLength(bytesToRead);
                    buffer = currentRead->writePosition();
                }
                int result = NetSecureContext::noErr;
                do {
                    std::size_t loop_bytesRead = 0;
                    result = sslContext_->read(buffer + bytesRead, bytesToRead - bytesRead, &loop_bytesRead);
                    bytesRead += loop_bytesRead;
                } while (result == NetSecureContext::noErr && bytesRead < bytesToRead);

                if (result != NetSecureContext::noErr) {
                    if (result == NetSecureContext::errSSLWouldBlock) {
                        waiting = true;
                    } else if (result == NetSecureContext::errSSLClosedGraceful ||
                               result == NetSecureContext::errSSLClosedAbort) {
                        socketEOF = true;
                        sslErrCode_ = result;
                    } else {
                        error = sslError(result);
                    }
                }
                // socketFDBytesAvailable_ is kept by the secure layer's read callback.
            }
        } else {
            std::uint64_t bytesToRead;
            if (currentRead->term) {
                bytesToRead = currentRead->readLengthForTermWithHint(estimatedBytesAvailable, &readIntoPreBuffer);
            } else if (currentRead->readLength > 0 &&
                       currentRead->freeRoom() >= currentRead->readLength - currentRead->bytesDone) {
                // A read of a known length whose buffer already holds room for
                // all of it (the caller's own buffer): ask for all that is
                // missing, and keep reading while the peer keeps sending, so
                // that one readiness event takes what arrives meanwhile too. A
                // buffer still to grow grows only by what has come.
                bytesToRead = currentRead->readLength - currentRead->bytesDone;
                readUntilWouldBlock = true;
            } else {
                bytesToRead = currentRead->readLengthForNonTermWithHint(estimatedBytesAvailable);
            }
            if (readIntoPreBuffer) {
                preBuffer_->ensureCapacityForWrite(bytesToRead);
                buffer = preBuffer_->writeBuffer();
            } else {
                currentRead->ensureCapacityForAdditionalDataOfLength(bytesToRead);
                buffer = currentRead->writePosition();
            }
            ssize_t result;
            for (;;) {
                result = ::read(connectedFD(), buffer + bytesRead, bytesToRead - bytesRead);
                if (result <= 0)
                    break;
                bytesRead += static_cast<std::size_t>(result);
                // Bounded, so that other work of the socket queue is not held
                // up by a peer that never pauses.
                if (!readUntilWouldBlock || bytesRead == bytesToRead || bytesRead >= kReadPerEventLimit)
                    break;
            }
            if (result < 0 && errno != EWOULDBLOCK && errno != EAGAIN) {
                error = errorWithErrno(errno, "Error in read() function");
                socketFDBytesAvailable_ = 0;
            } else if (result == 0) {
                socketEOF = true;
                socketFDBytesAvailable_ = 0;
            } else if (result < 0 || bytesRead < bytesToRead || socketFDBytesAvailable_ <= bytesRead) {
                socketFDBytesAvailable_ = 0;
                waiting = true;
            } else {
                socketFDBytesAvailable_ -= bytesRead;
            }
        }

        if (bytesRead > 0) {
            if (currentRead->readLength > 0) {
                // Read straight into the packet buffer.
                currentRead->bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = currentRead->bytesDone == currentRead->readLength;
            } else if (currentRead->term) {
                if (readIntoPreBuffer) {
                    preBuffer_->didWrite(bytesRead);
                    std::uint64_t bytesToCopy = currentRead->readLengthForTermWithPreBuffer(*preBuffer_, &done);
                    currentRead->ensureCapacityForAdditionalDataOfLength(bytesToCopy);
                    std::memcpy(currentRead->writePosition(), preBuffer_->readBuffer(), bytesToCopy);
                    preBuffer_->didRead(bytesToCopy);
                    currentRead->bytesDone += bytesToCopy;
                    totalBytesReadForCurrentRead += bytesToCopy;
                } else {
                    std::int64_t overflow =
                        currentRead->searchForTermAfterPreBuffering(static_cast<std::int64_t>(bytesRead));
                    if (overflow == 0) {
                        currentRead->bytesDone += bytesRead;
                        totalBytesReadForCurrentRead += bytesRead;
                        done = true;
                    } else if (overflow > 0) {
                        std::uint64_t underflow = bytesRead - static_cast<std::uint64_t>(overflow);
                        preBuffer_->ensureCapacityForWrite(static_cast<std::uint64_t>(overflow));
                        // (the packet buffer does not move while copying out)
                        std::memcpy(preBuffer_->writeBuffer(), currentRead->writePosition() + underflow,
                                    static_cast<std::size_t>(overflow));
                        preBuffer_->didWrite(static_cast<std::uint64_t>(overflow));
                        currentRead->bytesDone += underflow;
                        totalBytesReadForCurrentRead += underflow;
                        done = true;
                    } else {
                        currentRead->bytesDone += bytesRead;
                        totalBytesReadForCurrentRead += bytesRead;
                    }
                }
                if (!done && currentRead->maxLength > 0 && currentRead->bytesDone >= currentRead->maxLength)
                    error = readMaxedOutError();
            } else {
                // Any available data.
                if (readIntoPreBuffer) {
                    preBuffer_->didWrite(bytesRead);
                    currentRead->ensureCapacityForAdditionalDataOfLength(bytesRead);
                    std::memcpy(currentRead->writePosition(), preBuffer_->readBuffer(), bytesRead);
                    preBuffer_->didRead(bytesRead);
                }
                currentRead->bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = true;
            }
        }
    }

    if (!done && currentRead->readLength == 0 && !currentRead->term) {
        // Any available data: done once something came, be it only from the pre-buffer.
        done = totalBytesReadForCurrentRead > 0;
    }

    if (done) {
        completeCurrentRead();
        if (!error && (!socketEOF || preBuffer_->availableBytes() > 0))
            maybeDequeueRead();
    } else if (totalBytesReadForCurrentRead > 0) {
        waiting = true;
        const std::uint64_t partial = totalBytesReadForCurrentRead;
        const std::int64_t tag = currentRead->tag;
        notify(NetSocketCallback::DidReadPartialData, [partial, tag](NetSocketDelegate& d, const auto& s) {
            d.socketDidReadPartialDataOfLength(s, partial, tag);
        });
    }

    if (error) {
        closeWithError(error);
    } else if (socketEOF) {
        doReadEOF();
    } else if (waiting) {
        if (!usingCFStreamForTLS())
            resumeReadSource();
    }
}

void NetSocket::doReadEOF() {
    flags_ |= kFlagReadEOF;
    if (flags_ & kFlagSecure)
        flushSSLBuffers();

    bool shouldDisconnect = false;
    std::optional<NetSocketError> error;
    if ((flags_ & kFlagStartingReadTLS) || (flags_ & kFlagStartingWriteTLS)) {
        // The end came while TLS was starting.
        shouldDisconnect = true;
        if (usingSecureTransportForTLS())
            error = sslError(NetSecureContext::errSSLClosedAbort);
    } else if (flags_ & kFlagReadStreamClosed) {
        shouldDisconnect = false;
    } else if (preBuffer_->availableBytes() > 0) {
        shouldDisconnect = false; // queued reads can still be served
    } else if (config_ & kConfigHalfDuplex) {
        // Only the peer's direction has ended, unless the connection is gone
        // altogether (reset, or shut both ways). A full send queue is no sign
        // of that: the peer may still be taking our bytes.
        pollfd pfd{};
        pfd.fd = connectedFD();
        pfd.events = POLLOUT;
        pfd.revents = 0;
        poll(&pfd, 1, 0);
        if (!(pfd.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            flags_ |= kFlagReadStreamClosed;
            notify(NetSocketCallback::DidCloseReadStream,
                   [](NetSocketDelegate& d, const auto& s) { d.socketDidCloseReadStream(s); });
        } else {
            shouldDisconnect = true;
        }
    } else {
        shouldDisconnect = true;
    }

    if (shouldDisconnect) {
        if (!error) {
            if (usingSecureTransportForTLS() && sslErrCode_ != 0 &&
                sslErrCode_ != NetSecureContext::errSSLClosedGraceful)
                error = sslError(sslErrCode_);
            else
                error = connectionClosedError();
        }
        closeWithError(error);
    } else if (!usingCFStreamForTLS()) {
        suspendReadSource();
    }
}

void NetSocket::completeCurrentRead() {
    auto currentRead = std::static_pointer_cast<NetReadPacket>(currentRead_);
    const std::int64_t tag = currentRead->tag;
    if (currentRead->bufferOwner) {
        currentRead->buffer->resize(currentRead->bytesDone);
        notify(NetSocketCallback::DidReadData,
               [result = std::move(*currentRead->buffer), tag](NetSocketDelegate& d, const auto& s) {
                   d.socketDidReadData(s, result, tag);
               });
    } else {
        std::uint64_t buffSize = currentRead->buffer->size();
        std::uint64_t buffUsed = currentRead->startOffset + currentRead->bytesDone;
        if (buffSize > currentRead->originalBufferLength && buffUsed < buffSize)
            currentRead->buffer->resize(std::max(buffUsed, currentRead->originalBufferLength));
        if (currentRead->startOffset == 0 && currentRead->buffer->size() == currentRead->bytesDone) {
            // The caller's buffer is exactly the result: hand it over without
            // a copy (the callback keeps it alive until it has run).
            notify(NetSocketCallback::DidReadData,
                   [buffer = currentRead->buffer, tag](NetSocketDelegate& d, const auto& s) {
                       d.socketDidReadData(s, *buffer, tag);
                   });
        } else {
            const auto* start = currentRead->buffer->data() + currentRead->startOffset;
            notify(NetSocketCallback::DidReadData,
                   [result = NetBytes(start, start + currentRead->bytesDone), tag](NetSocketDelegate& d,
                                                                                  const auto& s) {
                       d.socketDidReadData(s, result, tag);
                   });
        }
    }
    endCurrentRead();
}

void NetSocket::endCurrentRead() {
    stopTimer(readTimer_);
    currentRead_.reset();
}

void NetSocket::setupReadTimerWithTimeout(double timeout) { readTimer_ = startTimeoutTimer(timeout, &NetSocket::doReadTimeout); }

void NetSocket::doReadTimeout() {
    // Pause reads while the delegate is asked, so the time-out cannot be
    // overtaken by a completion.
    flags_ |= kFlagReadsPaused;
    auto theDelegate = delegate_.lock();
    auto packet = std::dynamic_pointer_cast<NetReadPacket>(currentRead_);
    if (delegateQueue_ && theDelegate && packet && theDelegate->respondsTo(NetSocketCallback::ShouldTimeoutRead)) {
        const std::int64_t tag = packet->tag;
        const double elapsed = packet->timeout;
        const std::uint64_t done = packet->bytesDone;
        std::shared_ptr<NetPacket> asked = currentRead_;
        delegateQueue_->async([theDelegate, self = shared_from_this(), tag, elapsed, done, asked] {
            double timeoutExtension = theDelegate->socketShouldTimeoutReadWithTag(self, tag, elapsed, done);
            self->socketQueue_->async(
                [self, timeoutExtension, asked] { self->doReadTimeoutWithExtension(timeoutExtension, asked); });
        });
    } else {
        doReadTimeoutWithExtension(0.0, currentRead_);
    }
}

void NetSocket::doReadTimeoutWithExtension(double timeoutExtension, const std::shared_ptr<NetPacket>& read) {
    auto packet = std::dynamic_pointer_cast<NetReadPacket>(currentRead_);
    if (!packet || currentRead_ != read)
        return;
    if (timeoutExtension > 0.0) {
        packet->timeout += timeoutExtension;
        if (readTimer_)
            readTimer_->setTimer(timeoutExtension);
        flags_ &= ~kFlagReadsPaused;
        doReadData();
    } else {
        closeWithError(readTimeoutError());
    }
}
