// TLS in the middle of the byte stream, over the TLS engine of
// NetSecureContext, fed through the socket's own descriptor.
#include "net/socket/NetSocket.h"

#include "net/socket/NetSecureContext.h"
#include "net/socket/NetSocketPreBuffer.h"
#include "net/socket/NetSocketTrust.h"
#include "net/socket/NetSpecialPacket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

void NetSocket::startTLS(std::optional<NetTlsSettings> tlsSettings) {
    auto packet = std::make_shared<NetSpecialPacket>(tlsSettings ? std::move(*tlsSettings) : NetTlsSettings{});
    socketQueue_->async([self = shared_from_this(), packet] {
        if ((self->flags_ & kFlagStarted) && !(self->flags_ & kFlagTLSQueued) &&
            !(self->flags_ & kFlagNoNewReadsWrites)) {
            self->readQueue_.push_back(packet);
            self->writeQueue_.push_back(packet);
            self->flags_ |= kFlagTLSQueued;
            self->maybeDequeueRead();
            self->maybeDequeueWrite();
        }
    });
}

void NetSocket::maybeStartTLS() {
    if ((flags_ & kFlagStartingReadTLS) && (flags_ & kFlagStartingWriteTLS)) {
        bool useSecureTransport = true;
        if (auto tlsPacket = std::dynamic_pointer_cast<NetSpecialPacket>(currentRead_)) {
            auto it = tlsPacket->tlsSettings.find(NetSocketUseCFStreamForTLS);
            if (it != tlsPacket->tlsSettings.end()) {
                if (const bool* b = std::get_if<bool>(&it->second))
                    useSecureTransport = !*b;
                else if (const std::int64_t* n = std::get_if<std::int64_t>(&it->second))
                    useSecureTransport = *n == 0;
            }
        }
        if (useSecureTransport)
            ssl_startTLS();
        else
            cf_startTLS();
    }
}

// ---------------------------------------------------------------- I/O callbacks

int NetSocket::sslReadWithBuffer(void* buffer, std::size_t* bufferLength) {
    if (socketFDBytesAvailable_ == 0 && sslPreBuffer_->availableBytes() == 0) {
        resumeReadSource();
        *bufferLength = 0;
        return NetSecureContext::errSSLWouldBlock;
    }
    const std::size_t totalBytesRequested = *bufferLength;
    std::size_t totalBytesLeftToBeRead = totalBytesRequested;
    auto* buf = static_cast<std::uint8_t*>(buffer);
    bool socketError = false;

    // 1. From the raw bytes already read.
    std::size_t sslPreBufferLength = sslPreBuffer_->availableBytes();
    if (sslPreBufferLength > 0) {
        std::size_t bytesToCopy = std::min(sslPreBufferLength, totalBytesLeftToBeRead);
        std::memcpy(buf, sslPreBuffer_->readBuffer(), bytesToCopy);
        sslPreBuffer_->didRead(bytesToCopy);
        buf += bytesToCopy;
        totalBytesLeftToBeRead -= bytesToCopy;
    }

    // 2. From the descriptor.
    if (totalBytesLeftToBeRead > 0 && socketFDBytesAvailable_ > 0) {
        const int socketFD = connectedFD();
        std::uint8_t* readBuf;
        std::size_t bytesToRead;
        bool readIntoPreBuffer;
        if (socketFDBytesAvailable_ > totalBytesLeftToBeRead) {
            // Read all that is there; keep the surplus for later calls.
            sslPreBuffer_->ensureCapacityForWrite(socketFDBytesAvailable_);
            readIntoPreBuffer = true;
            bytesToRead = socketFDBytesAvailable_;
            readBuf = sslPreBuffer_->writeBuffer();
        } else {
            readIntoPreBuffer = false;
            bytesToRead = totalBytesLeftToBeRead;
            readBuf = buf;
        }
        ssize_t result = ::read(socketFD, readBuf, bytesToRead);
        if (result < 0) {
            if (errno != EWOULDBLOCK && errno != EAGAIN)
                socketError = true;
            socketFDBytesAvailable_ = 0;
        } else if (result == 0) {
            socketError = true;
            socketFDBytesAvailable_ = 0;
        } else {
            std::size_t bytesReadFromSocket = static_cast<std::size_t>(result);
            if (socketFDBytesAvailable_ > bytesReadFromSocket)
                socketFDBytesAvailable_ -= bytesReadFromSocket;
            else
                socketFDBytesAvailable_ = 0;
            if (readIntoPreBuffer) {
                sslPreBuffer_->didWrite(bytesReadFromSocket);
                std::size_t bytesToCopy = std::min(totalBytesLeftToBeRead, bytesReadFromSocket);
                std::memcpy(buf, sslPreBuffer_->readBuffer(), bytesToCopy);
                sslPreBuffer_->didRead(bytesToCopy);
                totalBytesLeftToBeRead -= bytesToCopy;
            } else {
                totalBytesLeftToBeRead -= bytesReadFromSocket;
            }
        }
    }

    *bufferLength = totalBytesRequested - totalBytesLeftToBeRead;
    if (*bufferLength == totalBytesRequested)
        return NetSecureContext::noErr;
    if (socketError)
        return NetSecureContext::errSSLClosedAbort;
    return NetSecureContext::errSSLWouldBlock;
}

int NetSocket::sslWriteWithBuffer(const void* buffer, std::size_t* bufferLength) {
    if (!(flags_ & kFlagCanAcceptBytes)) {
        resumeWriteSource();
        *bufferLength = 0;
        return NetSecureContext::errSSLWouldBlock;
    }
    const std::size_t bytesToWrite = *bufferLength;
    std::size_t bytesWritten = 0;
    bool socketError = false;
    ssize_t result = ::send(connectedFD(), buffer, bytesToWrite, MSG_NOSIGNAL);
    if (result < 0) {
        if (errno != EWOULDBLOCK && errno != EAGAIN)
            socketError = true;
        flags_ &= ~kFlagCanAcceptBytes;
    } else if (result == 0) {
        flags_ &= ~kFlagCanAcceptBytes;
    } else {
        bytesWritten = static_cast<std::size_t>(result);
    }
    *bufferLength = bytesWritten;
    if (bytesWritten == bytesToWrite)
        return NetSecureContext::noErr;
    if (socketError)
        return NetSecureContext::errSSLClosedAbort;
    return NetSecureContext::errSSLWouldBlock;
}

// ---------------------------------------------------------------- start

void NetSocket::ssl_startTLS() {
    auto tlsPacket = std::dynamic_pointer_cast<NetSpecialPacket>(currentRead_);
    if (!tlsPacket) {
        closeWithError(otherError("Logic error"));
        return;
    }
    const NetTlsSettings& tlsSettings = tlsPacket->tlsSettings;
    auto find = [&](const char* key) -> const NetTlsValue* {
        auto it = tlsSettings.find(key);
        return it == tlsSettings.end() ? nullptr : &it->second;
    };
    // A boolean number: a boolean, or a number read as one.
    auto asBool = [](const NetTlsValue* v) -> bool {
        if (const bool* b = std::get_if<bool>(v))
            return *b;
        if (const std::int64_t* n = std::get_if<std::int64_t>(v))
            return *n != 0;
        return false;
    };

    bool isServer = false;
    if (const NetTlsValue* v = find(kCFStreamSSLIsServer))
        isServer = asBool(v);

    sslContext_ = NetSecureContext::create(isServer);
    if (!sslContext_) {
        closeWithError(otherError("Error in SSLCreateContext"));
        return;
    }
    if (sslContext_->setIOFuncs([this](void* data, std::size_t* len) { return sslReadWithBuffer(data, len); },
                                [this](const void* data, std::size_t* len) {
                                    return sslWriteWithBuffer(data, len);
                                }) != NetSecureContext::noErr) {
        closeWithError(otherError("Error in SSLSetIOFuncs"));
        return;
    }
    if (sslContext_->setConnection(this) != NetSecureContext::noErr) {
        closeWithError(otherError("Error in SSLSetConnection"));
        return;
    }

    if (const NetTlsValue* v = find(NetSocketManuallyEvaluateTrust); v && asBool(v)) {
        if (isServer) {
            closeWithError(otherError("Manual trust validation is not supported for server sockets"));
            return;
        }
        if (sslContext_->setSessionOption(NetSecureContext::SessionOption::BreakOnServerAuth, true) !=
            NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetSessionOption"));
            return;
        }
    }
    if (const NetTlsValue* v = find(kCFStreamSSLPeerName)) {
        const std::string* peerName = std::get_if<std::string>(v);
        if (!peerName) {
            closeWithError(otherError("Invalid value for kCFStreamSSLPeerName."));
            return;
        }
        if (sslContext_->setPeerDomainName(*peerName) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetPeerDomainName"));
            return;
        }
    }
    if (const NetTlsValue* v = find(kCFStreamSSLCertificates)) {
        const auto* certs = std::get_if<std::vector<NetBytes>>(v);
        if (!certs) {
            closeWithError(otherError("Invalid value for kCFStreamSSLCertificates."));
            return;
        }
        if (sslContext_->setCertificate(*certs) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetCertificate"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLPeerID)) {
        const NetBytes* peerID = std::get_if<NetBytes>(v);
        if (!peerID) {
            closeWithError(otherError("Invalid value for NetSocketSSLPeerID."));
            return;
        }
        if (sslContext_->setPeerID(*peerID) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetPeerID"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLProtocolVersionMin)) {
        const std::int64_t* n = std::get_if<std::int64_t>(v);
        if (!n) {
            closeWithError(otherError("Invalid value for NetSocketSSLProtocolVersionMin."));
            return;
        }
        if (static_cast<int>(*n) != 0 &&
            sslContext_->setProtocolVersionMin(static_cast<int>(*n)) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetProtocolVersionMin"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLProtocolVersionMax)) {
        const std::int64_t* n = std::get_if<std::int64_t>(v);
        if (!n) {
            closeWithError(otherError("Invalid value for NetSocketSSLProtocolVersionMax."));
            return;
        }
        if (static_cast<int>(*n) != 0 &&
            sslContext_->setProtocolVersionMax(static_cast<int>(*n)) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetProtocolVersionMax"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLSessionOptionFalseStart)) {
        if (!std::holds_alternative<bool>(*v) && !std::holds_alternative<std::int64_t>(*v)) {
            closeWithError(otherError("Invalid value for NetSocketSSLSessionOptionFalseStart."));
            return;
        }
        if (sslContext_->setSessionOption(NetSecureContext::SessionOption::FalseStart, asBool(v)) !=
            NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetSessionOption (kSSLSessionOptionFalseStart)"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLSessionOptionSendOneByteRecord)) {
        if (!std::holds_alternative<bool>(*v) && !std::holds_alternative<std::int64_t>(*v)) {
            closeWithError(otherError("Invalid value for NetSocketSSLSessionOptionSendOneByteRecord."));
            return;
        }
        if (sslContext_->setSessionOption(NetSecureContext::SessionOption::SendOneByteRecord, asBool(v)) !=
            NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetSessionOption (kSSLSessionOptionSendOneByteRecord)"));
            return;
        }
    }
    if (const NetTlsValue* v = find(NetSocketSSLCipherSuites)) {
        const auto* numbers = std::get_if<std::vector<std::int64_t>>(v);
        if (!numbers) {
            closeWithError(otherError("Invalid value for NetSocketSSLCipherSuites."));
            return;
        }
        std::vector<std::uint16_t> ciphers;
        for (std::int64_t n : *numbers)
            ciphers.push_back(static_cast<std::uint16_t>(n));
        if (sslContext_->setEnabledCiphers(ciphers) != NetSecureContext::noErr) {
            closeWithError(otherError("Error in SSLSetEnabledCiphers"));
            return;
        }
    }
    for (const char* refused : {kCFStreamSSLAllowsAnyRoot, kCFStreamSSLAllowsExpiredRoots,
                                kCFStreamSSLValidatesCertificateChain, kCFStreamSSLAllowsExpiredCertificates,
                                kCFStreamSSLLevel}) {
        if (find(refused)) {
            closeWithError(otherError(std::string("Security option unavailable - ") + refused));
            return;
        }
    }

    // Bytes that arrived behind the marker belong to the handshake.
    sslPreBuffer_ = std::make_unique<NetSocketPreBuffer>(4096);
    std::uint64_t preBufferLength = preBuffer_->availableBytes();
    if (preBufferLength > 0) {
        sslPreBuffer_->ensureCapacityForWrite(preBufferLength);
        std::memcpy(sslPreBuffer_->writeBuffer(), preBuffer_->readBuffer(), preBufferLength);
        preBuffer_->didRead(preBufferLength);
        sslPreBuffer_->didWrite(preBufferLength);
    }
    sslErrCode_ = lastSSLHandshakeError_ = 0;
    ssl_continueSSLHandshake();
}

void NetSocket::ssl_continueSSLHandshake() {
    int status = sslContext_->handshake();
    lastSSLHandshakeError_ = status;

    if (status == NetSecureContext::noErr) {
        flags_ &= ~kFlagStartingReadTLS;
        flags_ &= ~kFlagStartingWriteTLS;
        flags_ |= kFlagSecure;
        notify(NetSocketCallback::DidSecure, [](NetSocketDelegate& d, const auto& s) { d.socketDidSecure(s); });
        endCurrentRead();
        endCurrentWrite();
        maybeDequeueRead();
        maybeDequeueWrite();
    } else if (status == NetSecureContext::errSSLPeerAuthCompleted) {
        std::shared_ptr<NetSocketTrust> trust;
        int copyStatus = sslContext_->copyPeerTrust(&trust);
        if (copyStatus != NetSecureContext::noErr) {
            closeWithError(sslError(copyStatus));
            return;
        }
        const int aStateIndex = stateIndex_;
        std::weak_ptr<NetSocket> weakSelf = weak_from_this();
        auto socketQueue = socketQueue_;
        auto comletionHandler = [weakSelf, socketQueue, aStateIndex](bool shouldTrustPeer) {
            socketQueue->async([weakSelf, aStateIndex, shouldTrustPeer] {
                if (auto self = weakSelf.lock())
                    self->ssl_shouldTrustPeer(shouldTrustPeer, aStateIndex);
            });
        };
        auto theDelegate = delegate_.lock();
        if (delegateQueue_ && theDelegate && theDelegate->respondsTo(NetSocketCallback::DidReceiveTrust)) {
            delegateQueue_->async([theDelegate, self = shared_from_this(), trust, comletionHandler] {
                theDelegate->socketDidReceiveTrust(self, trust, comletionHandler);
            });
        } else {
            closeWithError(otherError("NetSocketManuallyEvaluateTrust specified in tlsSettings, but delegate "
                                      "doesn't implement socket:shouldTrustPeer:"));
        }
    } else if (status == NetSecureContext::errSSLWouldBlock) {
        // Waits for the descriptor: the engines continue the handshake.
    } else {
        closeWithError(sslError(status));
    }
}

void NetSocket::ssl_shouldTrustPeer(bool shouldTrust, int aStateIndex) {
    if (aStateIndex != stateIndex_)
        return; // the socket closed meanwhile, or the verdict already came
    ++stateIndex_; // the handler works only once
    if (shouldTrust) {
        sslContext_->setPeerTrusted();
        ssl_continueSSLHandshake();
    } else {
        closeWithError(sslError(NetSecureContext::errSSLPeerBadCert));
    }
}
