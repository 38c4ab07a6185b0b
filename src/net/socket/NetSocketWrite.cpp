// Writing: the write queue and the write engine.
#include "net/socket/NetSocket.h"

#include "net/socket/NetSecureContext.h"
#include "net/socket/NetSpecialPacket.h"
#include "net/socket/NetWritePacket.h"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <limits>

using platform::DispatchSource;

namespace {
constexpr std::size_t kSecureWriteChunk = 32768;
// The most one readiness event writes.
constexpr std::size_t kWritePerEventLimit = 16u << 20;
} // namespace

void NetSocket::writeData(NetBytes data, double timeout, std::int64_t tag) {
    writeData(std::make_shared<const NetBytes>(std::move(data)), timeout, tag);
}

void NetSocket::writeData(NetConstBytesPtr data, double timeout, std::int64_t tag) {
    if (!data || data->empty())
        return;
    auto packet = std::make_shared<NetWritePacket>(std::move(data), timeout, tag);
    socketQueue_->async([self = shared_from_this(), packet] {
        if ((self->flags_ & kFlagStarted) && !(self->flags_ & kFlagNoNewReadsWrites)) {
            self->writeQueue_.push_back(packet);
            self->maybeDequeueWrite();
        }
    });
}

float NetSocket::progressOfWriteReturningTag(std::int64_t* tagPtr, std::uint64_t* donePtr,
                                             std::uint64_t* totalPtr) {
    float result = 0;
    runSync([&] {
        auto packet = std::dynamic_pointer_cast<NetWritePacket>(currentWrite_);
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
            *totalPtr = packet->buffer->size();
        result = static_cast<float>(static_cast<double>(packet->bytesDone) /
                                    static_cast<double>(packet->buffer->size()));
    });
    return result;
}

std::optional<std::uint64_t> NetSocket::unacknowledgedWriteBytes(ErrorOut errPtr) {
    std::optional<std::uint64_t> result;
    std::optional<NetSocketError> error;
    runSync([&] {
        const int fd = socket4FD_ != -1 ? socket4FD_ : socket6FD_;
        if (!(flags_ & kFlagConnected) || fd == -1) {
            error = errorWithErrno(ENOTCONN, "Not connected over TCP");
            return;
        }
        if (flags_ & kFlagSecure) {
            error = badConfigError("The delivery of bytes is not known through TLS");
            return;
        }
        // The queue first, then the state: a reset between the two shows in
        // the state, so an empty queue is never taken from a reset connection.
        int unsent = 0;
        if (::ioctl(fd, SIOCOUTQ, &unsent) != 0) {
            error = errnoError();
            return;
        }
        int soError = 0;
        socklen_t length = sizeof soError;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length) != 0) {
            error = errnoError();
            return;
        }
        if (soError != 0) {
            error = errorWithErrno(soError, "The connection failed");
            return;
        }
        tcp_info info{};
        length = sizeof info;
        if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) {
            error = errnoError();
            return;
        }
        // The peer's orderly close (CLOSE_WAIT) ends only its direction: its
        // stack still acknowledges what reaches it, so the queue still counts.
        if (info.tcpi_state != TCP_ESTABLISHED && info.tcpi_state != TCP_CLOSE_WAIT) {
            error = connectionClosedError();
            return;
        }
        std::uint64_t queued = 0;
        auto remaining = [](const std::shared_ptr<NetPacket>& packet) -> std::uint64_t {
            auto write = std::dynamic_pointer_cast<NetWritePacket>(packet);
            return write ? write->buffer->size() - write->bytesDone : 0;
        };
        if (currentWrite_)
            queued += remaining(currentWrite_);
        for (const auto& packet : writeQueue_)
            queued += remaining(packet);
        result = queued + static_cast<std::uint64_t>(std::max(unsent, 0));
    });
    if (errPtr)
        *errPtr = error;
    return result;
}

void NetSocket::maybeDequeueWrite() {
    if (currentWrite_ || !(flags_ & kFlagConnected))
        return;
    if (!writeQueue_.empty()) {
        currentWrite_ = writeQueue_.front();
        writeQueue_.pop_front();
        if (std::dynamic_pointer_cast<NetSpecialPacket>(currentWrite_)) {
            flags_ |= kFlagStartingWriteTLS;
            maybeStartTLS();
        } else {
            auto packet = std::static_pointer_cast<NetWritePacket>(currentWrite_);
            setupWriteTimerWithTimeout(packet->timeout);
            doWriteData();
        }
    } else if (flags_ & kFlagCloseAfterWrites) {
        if (flags_ & kFlagCloseAfterReads) {
            if (readQueue_.empty() && !currentRead_)
                closeWithError(std::nullopt);
        } else {
            closeWithError(std::nullopt);
        }
    }
}

void NetSocket::doWriteData() {
    if (!currentWrite_ || (flags_ & kFlagWritesPaused)) {
        // Unable to write at this time.
        if (!usingCFStreamForTLS() && (flags_ & kFlagCanAcceptBytes))
            suspendWriteSource();
        return;
    }
    if (!(flags_ & kFlagCanAcceptBytes)) {
        if (!usingCFStreamForTLS())
            resumeWriteSource();
        return;
    }
    if (flags_ & kFlagStartingWriteTLS) {
        // The TLS marker is current.
        if (flags_ & kFlagStartingReadTLS) {
            if (usingSecureTransportForTLS() && lastSSLHandshakeError_ == NetSecureContext::errSSLWouldBlock)
                ssl_continueSSLHandshake();
        } else if (!usingCFStreamForTLS()) {
            suspendWriteSource(); // the read side has not come to the marker yet
        }
        return;
    }
    auto currentWrite = std::dynamic_pointer_cast<NetWritePacket>(currentWrite_);
    if (!currentWrite)
        return;

    bool waiting = false;
    std::optional<NetSocketError> error;
    std::size_t bytesWritten = 0;
    const NetBytes& data = *currentWrite->buffer;

    if (flags_ & kFlagSecure) {
        if (usingCFStreamForTLS()) {
            // (No stream pair exists on this platform.)
        } else {
            bool hasNewDataToWrite = true;
            if (sslWriteCachedLength_ > 0) {
                std::size_t processed = 0;
                int result = sslContext_->write(nullptr, 0, &processed);
                if (result == NetSecureContext::noErr) {
                    bytesWritten = sslWriteCachedLength_;
                    sslWriteCachedLength_ = 0;
                    if (data.size() == currentWrite->bytesDone + bytesWritten)
                        hasNewDataToWrite = false;
                } else {
                    if (result == NetSecureContext::errSSLWouldBlock)
                        waiting = true;
                    else
                        error = sslError(result);
                    hasNewDataToWrite = false;
                }
            }
            if (hasNewDataToWrite) {
                const std::uint8_t* buffer = data.data() + currentWrite->bytesDone + bytesWritten;
                std::size_t bytesToWrite = data.size() - currentWrite->bytesDone - bytesWritten;
                std::size_t bytesRemaining = bytesToWrite;
                bool keepLooping = true;
                while (keepLooping) {
                    std::size_t sslBytesToWrite = std::min(bytesRemaining, kSecureWriteChunk);
                    std::size_t sslBytesWritten = 0;
                    int result = sslContext_->write(buffer, sslBytesToWrite, &sslBytesWritten);
                    if (result == NetSecureContext::noErr) {
                        buffer += sslBytesWritten;
                        bytesWritten += sslBytesWritten;
                        bytesRemaining -= sslBytesWritten;
                        keepLooping = bytesRemaining > 0;
                    } else {
                        if (result == NetSecureContext::errSSLWouldBlock) {
                            waiting = true;
                            sslWriteCachedLength_ = sslBytesToWrite;
                        } else {
                            error = sslError(result);
                        }
                        keepLooping = false;
                    }
                }
            }
        }
    } else {
        const std::uint8_t* buffer = data.data() + currentWrite->bytesDone;
        std::size_t bytesToWrite = data.size() - currentWrite->bytesDone;
        // Keep sending while the connection takes bytes (bounded, so that
        // other work of the socket queue is not held up for long).
        // MSG_NOSIGNAL: a closed peer yields an error, never a broken-pipe signal.
        while (bytesWritten < bytesToWrite && bytesWritten < kWritePerEventLimit) {
            ssize_t result = ::send(connectedFD(), buffer + bytesWritten, bytesToWrite - bytesWritten, MSG_NOSIGNAL);
            if (result < 0) {
                if (errno == EWOULDBLOCK || errno == EAGAIN)
                    waiting = true;
                else
                    error = errorWithErrno(errno, "Error in write() function");
                break;
            }
            bytesWritten += static_cast<std::size_t>(result);
        }
    }

    if (waiting) {
        flags_ &= ~kFlagCanAcceptBytes;
        if (!usingCFStreamForTLS())
            resumeWriteSource();
    }

    bool done = false;
    if (bytesWritten > 0) {
        currentWrite->bytesDone += bytesWritten;
        done = currentWrite->bytesDone == data.size();
    }

    if (done) {
        completeCurrentWrite();
        if (!error) {
            socketQueue_->async([self = shared_from_this()] { self->maybeDequeueWrite(); });
        }
    } else {
        if (!waiting && !error) {
            // Only part of the data was taken: wait for room.
            flags_ &= ~kFlagCanAcceptBytes;
            if (!usingCFStreamForTLS())
                resumeWriteSource();
        }
        if (bytesWritten > 0) {
            const std::uint64_t partial = bytesWritten;
            const std::int64_t tag = currentWrite->tag;
            notify(NetSocketCallback::DidWritePartialData, [partial, tag](NetSocketDelegate& d, const auto& s) {
                d.socketDidWritePartialDataOfLength(s, partial, tag);
            });
        }
    }

    if (error)
        closeWithError(error);
}

void NetSocket::completeCurrentWrite() {
    auto currentWrite = std::static_pointer_cast<NetWritePacket>(currentWrite_);
    const std::int64_t tag = currentWrite->tag;
    notify(NetSocketCallback::DidWriteData,
           [tag](NetSocketDelegate& d, const auto& s) { d.socketDidWriteDataWithTag(s, tag); });
    endCurrentWrite();
}

void NetSocket::endCurrentWrite() {
    stopTimer(writeTimer_);
    currentWrite_.reset();
}

void NetSocket::setupWriteTimerWithTimeout(double timeout) { writeTimer_ = startTimeoutTimer(timeout, &NetSocket::doWriteTimeout); }

void NetSocket::doWriteTimeout() {
    flags_ |= kFlagWritesPaused;
    auto theDelegate = delegate_.lock();
    auto packet = std::dynamic_pointer_cast<NetWritePacket>(currentWrite_);
    if (delegateQueue_ && theDelegate && packet &&
        theDelegate->respondsTo(NetSocketCallback::ShouldTimeoutWrite)) {
        const std::int64_t tag = packet->tag;
        const double elapsed = packet->timeout;
        const std::uint64_t done = packet->bytesDone;
        std::shared_ptr<NetPacket> asked = currentWrite_;
        delegateQueue_->async([theDelegate, self = shared_from_this(), tag, elapsed, done, asked] {
            double timeoutExtension = theDelegate->socketShouldTimeoutWriteWithTag(self, tag, elapsed, done);
            self->socketQueue_->async(
                [self, timeoutExtension, asked] { self->doWriteTimeoutWithExtension(timeoutExtension, asked); });
        });
    } else {
        doWriteTimeoutWithExtension(0.0, currentWrite_);
    }
}

void NetSocket::doWriteTimeoutWithExtension(double timeoutExtension, const std::shared_ptr<NetPacket>& write) {
    auto packet = std::dynamic_pointer_cast<NetWritePacket>(currentWrite_);
    if (!packet || currentWrite_ != write)
        return;
    if (timeoutExtension > 0.0) {
        packet->timeout += timeoutExtension;
        if (writeTimer_)
            writeTimer_->setTimer(timeoutExtension);
        flags_ &= ~kFlagWritesPaused;
        doWriteData();
    } else {
        closeWithError(writeTimeoutError());
    }
}
