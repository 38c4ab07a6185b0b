// The socket object: creation, queues, delegate, options, the work on the
// socket queue, and the stream-pair operations that this platform lacks.
#include "net/socket/NetSocket.h"

#include "net/socket/NetPacket.h"
#include "net/socket/NetReadPacket.h"
#include "net/socket/NetSecureContext.h"
#include "net/socket/NetSocketPreBuffer.h"
#include "net/socket/NetWritePacket.h"

#include <sys/socket.h>
#include <netinet/in.h>
#include <openssl/ssl.h>

using platform::DispatchQueue;

NetSocket::NetSocket(WeakDelegate delegate, QueuePtr delegateQueue, QueuePtr socketQueue)
    : delegate_(std::move(delegate)), delegateQueue_(std::move(delegateQueue)) {
    socketQueue_ = socketQueue ? std::move(socketQueue) : DispatchQueue::createSerial("NetSocket");
    IsOnSocketQueueOrTargetQueueKey_ = &IsOnSocketQueueOrTargetQueueKey_;
    socketQueue_->setSpecific(IsOnSocketQueueOrTargetQueueKey_, this);
    preBuffer_ = std::make_unique<NetSocketPreBuffer>(4096);
}

std::shared_ptr<NetSocket> NetSocket::create(WeakDelegate delegate, QueuePtr delegateQueue, QueuePtr socketQueue) {
    return std::shared_ptr<NetSocket>(new NetSocket(std::move(delegate), std::move(delegateQueue),
                                                    std::move(socketQueue)));
}

std::shared_ptr<NetSocket> NetSocket::createWithSocketQueue(QueuePtr socketQueue) {
    return create({}, nullptr, std::move(socketQueue));
}

std::shared_ptr<NetSocket> NetSocket::socketFromConnectedSocketFD(int socketFD, WeakDelegate delegate,
                                                                  QueuePtr delegateQueue, QueuePtr socketQueue,
                                                                  ErrorOut error) {
    auto sock = create(std::move(delegate), std::move(delegateQueue), std::move(socketQueue));
    std::optional<NetSocketError> err;
    sock->runSync([&] {
        sockaddr_storage addr{};
        socklen_t len = sizeof(sockaddr_in); // a 16-byte generic socket address, as the platform's
        if (getpeername(socketFD, reinterpret_cast<sockaddr*>(&addr), &len) < 0) {
            err = otherError("Attempt to create socket from socket FD failed. getpeername() failed");
            return;
        }
        if (addr.ss_family == AF_INET) {
            sock->socket4FD_ = socketFD;
        } else if (addr.ss_family == AF_INET6) {
            sock->socket6FD_ = socketFD;
        } else {
            err = otherError("Attempt to create socket from socket FD failed. socket FD is neither IPv4 nor IPv6");
            return;
        }
        sock->flags_ = kFlagStarted;
        sock->didConnect(sock->stateIndex_);
    });
    if (err) {
        if (error)
            *error = err;
        return nullptr; // the descriptor stays open: it was never taken
    }
    return sock;
}

std::shared_ptr<NetSocket> NetSocket::socketFromConnectedSocketFD(int socketFD, WeakDelegate delegate,
                                                                  QueuePtr delegateQueue, ErrorOut error) {
    return socketFromConnectedSocketFD(socketFD, std::move(delegate), std::move(delegateQueue), nullptr, error);
}

std::shared_ptr<NetSocket> NetSocket::socketFromConnectedSocketFD(int socketFD, QueuePtr socketQueue,
                                                                  ErrorOut error) {
    return socketFromConnectedSocketFD(socketFD, {}, nullptr, std::move(socketQueue), error);
}

NetSocket::~NetSocket() {
    runSync([this] {
        flags_ |= kFlagDeallocating;
        closeWithError(std::nullopt);
    });
    socketQueue_->setSpecific(IsOnSocketQueueOrTargetQueueKey_, nullptr);
    delegate_.reset();
    delegateQueue_.reset();
    socketQueue_.reset();
}

// ---------------------------------------------------------------- queues

bool NetSocket::onSocketQueue() const {
    return DispatchQueue::getSpecific(IsOnSocketQueueOrTargetQueueKey_) != nullptr;
}

void NetSocket::runSync(const std::function<void()>& block) {
    if (onSocketQueue())
        block();
    else
        socketQueue_->sync(block);
}

void NetSocket::runAsync(std::function<void()> block) {
    if (onSocketQueue())
        block();
    else
        socketQueue_->async(std::move(block));
}

void NetSocket::notify(NetSocketCallback callback,
                       std::function<void(NetSocketDelegate&, const std::shared_ptr<NetSocket>&)> call) {
    auto theDelegate = delegate_.lock();
    if (!delegateQueue_ || !theDelegate || !theDelegate->respondsTo(callback))
        return;
    delegateQueue_->async([theDelegate, self = shared_from_this(), call = std::move(call)] {
        call(*theDelegate, self);
    });
}

void NetSocket::performBlock(const std::function<void()>& block) { runSync(block); }

int NetSocket::socketFD() {
    if (!onSocketQueue())
        return -1;
    return socket4FD_ != -1 ? socket4FD_ : socket6FD_;
}

int NetSocket::socket4FD() { return onSocketQueue() ? socket4FD_ : -1; }

int NetSocket::socket6FD() { return onSocketQueue() ? socket6FD_ : -1; }

void* NetSocket::sslContext() {
    if (!onSocketQueue() || !sslContext_)
        return nullptr;
    return sslContext_->native();
}

void NetSocket::markSocketQueueTargetQueue(const QueuePtr& socketNewTargetQueue) {
    if (!socketNewTargetQueue)
        return;
    // Code on the marked queue acts on the socket's state directly, so the
    // socket queue must run on it: made its target here, from the socket
    // queue, so that every later block of the socket queue runs there. A
    // queue that cannot be the target (one running on the socket queue
    // itself) is not marked.
    bool targeted = socketNewTargetQueue == socketQueue_;
    if (!targeted)
        runSync([&] { targeted = socketQueue_->setTarget(socketNewTargetQueue); });
    if (!targeted)
        return;
    socketNewTargetQueue->setSpecific(IsOnSocketQueueOrTargetQueueKey_, this);
}

void NetSocket::unmarkSocketQueueTargetQueue(const QueuePtr& socketOldTargetQueue) {
    if (!socketOldTargetQueue)
        return;
    socketOldTargetQueue->setSpecific(IsOnSocketQueueOrTargetQueueKey_, nullptr);
    if (socketOldTargetQueue != socketQueue_ && socketQueue_->target() == socketOldTargetQueue)
        socketQueue_->setTarget(nullptr);
}

void NetSocket::suspendReadSource() {
    if (!(flags_ & kFlagReadSourceSuspended)) {
        if (readSource_)
            readSource_->suspend();
        flags_ |= kFlagReadSourceSuspended;
    }
}

void NetSocket::resumeReadSource() {
    if (flags_ & kFlagReadSourceSuspended) {
        if (readSource_)
            readSource_->resume();
        flags_ &= ~kFlagReadSourceSuspended;
    }
}

void NetSocket::suspendWriteSource() {
    if (!(flags_ & kFlagWriteSourceSuspended)) {
        if (writeSource_)
            writeSource_->suspend();
        flags_ |= kFlagWriteSourceSuspended;
    }
}

void NetSocket::resumeWriteSource() {
    if (flags_ & kFlagWriteSourceSuspended) {
        if (writeSource_)
            writeSource_->resume();
        flags_ &= ~kFlagWriteSourceSuspended;
    }
}

int NetSocket::connectedFD() const {
    if (socket4FD_ != -1)
        return socket4FD_;
    if (socket6FD_ != -1)
        return socket6FD_;
    return socketUN_;
}

// ---------------------------------------------------------------- delegate

NetSocket::DelegatePtr NetSocket::delegate() {
    DelegatePtr result;
    runSync([&] { result = delegate_.lock(); });
    return result;
}

NetSocket::QueuePtr NetSocket::delegateQueue() {
    QueuePtr result;
    runSync([&] { result = delegateQueue_; });
    return result;
}

void NetSocket::getDelegate(DelegatePtr* delegatePtr, QueuePtr* delegateQueuePtr) {
    runSync([&] {
        if (delegatePtr)
            *delegatePtr = delegate_.lock();
        if (delegateQueuePtr)
            *delegateQueuePtr = delegateQueue_;
    });
}

void NetSocket::setDelegate(WeakDelegate newDelegate, bool synchronously) {
    auto block = [this, newDelegate] { delegate_ = newDelegate; };
    if (onSocketQueue())
        block();
    else if (synchronously)
        socketQueue_->sync(block);
    else
        socketQueue_->async([self = shared_from_this(), block] { block(); });
}

void NetSocket::setDelegateQueue(QueuePtr newDelegateQueue, bool synchronously) {
    auto block = [this, newDelegateQueue] { delegateQueue_ = newDelegateQueue; };
    if (onSocketQueue())
        block();
    else if (synchronously)
        socketQueue_->sync(block);
    else
        socketQueue_->async([self = shared_from_this(), block] { block(); });
}

void NetSocket::setDelegate(WeakDelegate newDelegate, QueuePtr newDelegateQueue, bool synchronously) {
    auto block = [this, newDelegate, newDelegateQueue] {
        delegate_ = newDelegate;
        delegateQueue_ = newDelegateQueue;
    };
    if (onSocketQueue())
        block();
    else if (synchronously)
        socketQueue_->sync(block);
    else
        socketQueue_->async([self = shared_from_this(), block] { block(); });
}

// ---------------------------------------------------------------- options

bool NetSocket::isIPv4Enabled() {
    bool result = false;
    runSync([&] { result = !(config_ & kConfigIPv4Disabled); });
    return result;
}

void NetSocket::setIPv4Enabled(bool flag) {
    runAsync([self = shared_from_this(), flag] {
        if (flag)
            self->config_ &= ~kConfigIPv4Disabled;
        else
            self->config_ |= kConfigIPv4Disabled;
    });
}

bool NetSocket::isIPv6Enabled() {
    bool result = false;
    runSync([&] { result = !(config_ & kConfigIPv6Disabled); });
    return result;
}

void NetSocket::setIPv6Enabled(bool flag) {
    runAsync([self = shared_from_this(), flag] {
        if (flag)
            self->config_ &= ~kConfigIPv6Disabled;
        else
            self->config_ |= kConfigIPv6Disabled;
    });
}

bool NetSocket::isIPv4PreferredOverIPv6() {
    bool result = false;
    runSync([&] { result = !(config_ & kConfigPreferIPv6); });
    return result;
}

void NetSocket::setIPv4PreferredOverIPv6(bool flag) {
    runAsync([self = shared_from_this(), flag] {
        if (flag)
            self->config_ &= ~kConfigPreferIPv6;
        else
            self->config_ |= kConfigPreferIPv6;
    });
}

double NetSocket::alternateAddressDelay() {
    double result = 0;
    runSync([&] { result = alternateAddressDelay_; });
    return result;
}

void NetSocket::setAlternateAddressDelay(double delay) {
    runAsync([self = shared_from_this(), delay] { self->alternateAddressDelay_ = delay; });
}

std::shared_ptr<void> NetSocket::userData() {
    std::shared_ptr<void> result;
    runSync([&] { result = userData_; });
    return result;
}

void NetSocket::setUserData(std::shared_ptr<void> arbitraryUserData) {
    runAsync([self = shared_from_this(), arbitraryUserData] {
        if (self->userData_ != arbitraryUserData)
            self->userData_ = arbitraryUserData;
    });
}

// ---------------------------------------------------------------- terminators

NetBytes NetSocket::CRLFData() { return {0x0D, 0x0A}; }
NetBytes NetSocket::CRData() { return {0x0D}; }
NetBytes NetSocket::LFData() { return {0x0A}; }
NetBytes NetSocket::ZeroData() { return {0x00}; }

// ---------------------------------------------------------------- stream pairs

// This platform has no stream pairs: a connection opens none (the stream
// steps of a connect succeed with no effect), there is no stream thread, and
// backgrounding, which needs the pair, answers false.
void* NetSocket::readStream() { return nullptr; }

void* NetSocket::writeStream() { return nullptr; }

bool NetSocket::autoDisconnectOnClosedReadStream() {
    bool result = false;
    runSync([&] { result = !(config_ & kConfigHalfDuplex); });
    return result;
}

void NetSocket::setAutoDisconnectOnClosedReadStream(bool flag) {
    runAsync([self = shared_from_this(), flag] {
        if (flag)
            self->config_ &= ~kConfigHalfDuplex;
        else
            self->config_ |= kConfigHalfDuplex;
    });
}

bool NetSocket::enableBackgroundingOnSocket() { return false; }

bool NetSocket::enableBackgroundingOnSocketWithCaveat() { return false; }

void NetSocket::cf_startTLS() {
    if (preBuffer_->availableBytes() > 0) {
        closeWithError(otherError("Invalid TLS transition. Handshake has already been read from socket."));
        return;
    }
    // TLS over a stream pair needs the pair, which this platform lacks.
    closeWithError(otherError("Error in CFStreamCreatePairWithSocket"));
}

platform::DispatchSourcePtr NetSocket::startTimeoutTimer(double timeout, void (NetSocket::*onFire)()) {
    if (timeout < 0)
        return nullptr;
    auto timer = platform::DispatchSource::makeTimer(socketQueue_);
    std::weak_ptr<NetSocket> weakSelf = weak_from_this();
    timer->setEventHandler([weakSelf, onFire] {
        if (auto self = weakSelf.lock())
            ((*self).*onFire)();
    });
    timer->setTimer(timeout);
    timer->resume();
    return timer;
}

void NetSocket::stopTimer(platform::DispatchSourcePtr& timer) {
    if (timer) {
        timer->cancel();
        timer.reset();
    }
}
