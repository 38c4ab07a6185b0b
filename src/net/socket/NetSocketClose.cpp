// Closing, disconnecting and the errors of the socket layer.
#include "net/socket/NetSocket.h"

#include "net/socket/NetPacket.h"
#include "net/socket/NetSecureContext.h"
#include "net/socket/NetSocketPreBuffer.h"

#include <netdb.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

// ---------------------------------------------------------------- disconnect

void NetSocket::disconnect() {
    runSync([this] {
        if (flags_ & kFlagStarted)
            closeWithError(std::nullopt);
    });
}

void NetSocket::disconnectAfterReading() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kFlagStarted) {
            self->flags_ |= (kFlagNoNewReadsWrites | kFlagCloseAfterReads);
            self->maybeClose();
        }
    });
}

void NetSocket::disconnectAfterWriting() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kFlagStarted) {
            self->flags_ |= (kFlagNoNewReadsWrites | kFlagCloseAfterWrites);
            self->maybeClose();
        }
    });
}

void NetSocket::disconnectAfterReadingAndWriting() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kFlagStarted) {
            self->flags_ |= (kFlagNoNewReadsWrites | kFlagCloseAfterReads | kFlagCloseAfterWrites);
            self->maybeClose();
        }
    });
}

void NetSocket::maybeClose() {
    bool shouldClose = false;
    if (flags_ & kFlagCloseAfterReads) {
        if (readQueue_.empty() && !currentRead_) {
            if (flags_ & kFlagCloseAfterWrites) {
                if (writeQueue_.empty() && !currentWrite_)
                    shouldClose = true;
            } else {
                shouldClose = true;
            }
        }
    } else if (flags_ & kFlagCloseAfterWrites) {
        if (writeQueue_.empty() && !currentWrite_)
            shouldClose = true;
    }
    if (shouldClose)
        closeWithError(std::nullopt);
}

void NetSocket::closeWithError(const std::optional<NetSocketError>& error) {
    endConnectTimeout();

    if (currentRead_)
        endCurrentRead();
    if (currentWrite_)
        endCurrentWrite();
    readQueue_.clear();
    writeQueue_.clear();
    preBuffer_->reset();

    // (No stream pair exists on this platform.)

    if (sslPreBuffer_)
        sslPreBuffer_->reset();
    sslErrCode_ = 0;
    lastSSLHandshakeError_ = 0;
    if (sslContext_) {
        sslContext_->close();
        sslContext_.reset();
    }

    // Non-blocking connects still in flight: stop watching before the
    // descriptors are closed below.
    for (auto* watch : {&connect4Source_, &connect6Source_}) {
        if (*watch) {
            (*watch)->cancel();
            (*watch)->resume();
            watch->reset();
        }
    }

    if (accept4Source_ || accept6Source_ || acceptUNSource_ || readSource_ || writeSource_) {
        // The sources' cancel handlers close the descriptors.
        if (accept4Source_) {
            accept4Source_->cancel();
            accept4Source_.reset();
        }
        if (accept6Source_) {
            accept6Source_->cancel();
            accept6Source_.reset();
        }
        if (acceptUNSource_) {
            acceptUNSource_->cancel();
            acceptUNSource_.reset();
        }
        if (readSource_) {
            readSource_->cancel();
            resumeReadSource();
            readSource_.reset();
        }
        if (writeSource_) {
            writeSource_->cancel();
            resumeWriteSource();
            writeSource_.reset();
        }
        socket4FD_ = -1;
        socket6FD_ = -1;
        socketUN_ = -1;
    } else {
        if (socket4FD_ != -1) {
            ::close(socket4FD_);
            socket4FD_ = -1;
        }
        if (socket6FD_ != -1) {
            ::close(socket6FD_);
            socket6FD_ = -1;
        }
        if (socketUN_ != -1) {
            ::close(socketUN_);
            socketUN_ = -1;
            if (socketUrl_) {
                ::unlink(filePathFromUrl(*socketUrl_).c_str());
                socketUrl_.reset();
            }
        }
    }

    const bool wasStarted = flags_ & kFlagStarted;
    const bool deallocating = flags_ & kFlagDeallocating;

    socketFDBytesAvailable_ = 0;
    flags_ = 0;
    sslWriteCachedLength_ = 0;

    if (wasStarted) {
        auto theDelegate = delegate_.lock();
        if (delegateQueue_ && theDelegate && theDelegate->respondsTo(NetSocketCallback::DidDisconnect)) {
            std::shared_ptr<NetSocket> self = deallocating ? nullptr : shared_from_this();
            delegateQueue_->async([theDelegate, self, error] { theDelegate->socketDidDisconnect(self, error); });
        }
    }
}

// ---------------------------------------------------------------- errors

namespace {

NetSocketError domainError(long code, const std::string& description) {
    NetSocketError e;
    e.domain = NetSocketError::kDomain;
    e.code = code;
    e.userInfo[NetSocketError::kLocalizedDescriptionKey] = description;
    return e;
}

} // namespace

// The texts of codes 3 to 7 come from the string table "NetSocket" where the
// platform has one; this one has none, so the built-in defaults stand.
NetSocketError NetSocket::badConfigError(const std::string& errMsg) {
    return domainError(NetSocketError::BadConfigError, errMsg);
}

NetSocketError NetSocket::badParamError(const std::string& errMsg) {
    return domainError(NetSocketError::BadParamError, errMsg);
}

NetSocketError NetSocket::connectTimeoutError() {
    return domainError(NetSocketError::ConnectTimeoutError, "Attempt to connect to host timed out");
}

NetSocketError NetSocket::readTimeoutError() {
    return domainError(NetSocketError::ReadTimeoutError, "Read operation timed out");
}

NetSocketError NetSocket::writeTimeoutError() {
    return domainError(NetSocketError::WriteTimeoutError, "Write operation timed out");
}

NetSocketError NetSocket::readMaxedOutError() {
    return domainError(NetSocketError::ReadMaxedOutError, "Read operation reached set maximum length");
}

NetSocketError NetSocket::connectionClosedError() {
    return domainError(NetSocketError::ClosedError, "Socket closed by remote peer");
}

NetSocketError NetSocket::otherError(const std::string& errMsg) {
    return domainError(NetSocketError::OtherError, errMsg);
}

NetSocketError NetSocket::gaiError(int gai_error) {
    NetSocketError e;
    e.domain = NetSocketError::kNetDBDomain;
    e.code = gai_error;
    e.userInfo[NetSocketError::kLocalizedDescriptionKey] = gai_strerror(gai_error);
    return e;
}

NetSocketError NetSocket::errorWithErrno(int err, const std::string& reason) {
    NetSocketError e;
    e.domain = NetSocketError::kPosixDomain;
    e.code = err;
    e.userInfo[NetSocketError::kLocalizedDescriptionKey] = std::strerror(err);
    e.userInfo[NetSocketError::kLocalizedFailureReasonKey] = reason;
    return e;
}

NetSocketError NetSocket::errnoError() {
    int err = errno;
    NetSocketError e;
    e.domain = NetSocketError::kPosixDomain;
    e.code = err;
    e.userInfo[NetSocketError::kLocalizedDescriptionKey] = std::strerror(err);
    return e;
}

NetSocketError NetSocket::sslError(int ssl_error) {
    NetSocketError e;
    e.domain = NetSocketError::kSSLDomain;
    e.code = ssl_error;
    e.userInfo[NetSocketError::kLocalizedRecoverySuggestionKey] =
        "Error code definition can be found in Apple's SecureTransport.h";
    return e;
}
