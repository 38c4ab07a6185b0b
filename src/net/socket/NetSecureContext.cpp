#include "net/socket/NetSecureContext.h"

#include "net/socket/NetSocketTrust.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <map>
#include <mutex>

namespace {

// Sessions kept for resumption, by the peer id the owner gives.
std::mutex sessionMutex;
std::map<NetBytes, SSL_SESSION*>& sessionCache() {
    static auto* cache = new std::map<NetBytes, SSL_SESSION*>();
    return *cache;
}

} // namespace

// The BIO that feeds OpenSSL through the socket's I/O callbacks.
struct NetSecureContextBio {
    static BIO_METHOD* method() {
        static BIO_METHOD* m = [] {
            BIO_METHOD* bm = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "net socket");
            BIO_meth_set_write_ex(bm, &NetSecureContextBio::write);
            BIO_meth_set_read_ex(bm, &NetSecureContextBio::read);
            BIO_meth_set_ctrl(bm, &NetSecureContextBio::ctrl);
            BIO_meth_set_create(bm, [](BIO* b) {
                BIO_set_init(b, 1);
                return 1;
            });
            return bm;
        }();
        return m;
    }

    static int read(BIO* b, char* data, size_t length, size_t* readBytes) {
        auto* ctx = static_cast<NetSecureContext*>(BIO_get_data(b));
        BIO_clear_retry_flags(b);
        std::size_t n = length;
        int status = ctx->readFunc_ ? ctx->readFunc_(data, &n) : NetSecureContext::errSSLClosedAbort;
        ctx->lastIOStatus_ = status;
        *readBytes = n;
        if (n > 0)
            return 1;
        if (status == NetSecureContext::errSSLWouldBlock)
            BIO_set_retry_read(b);
        return 0;
    }

    static int write(BIO* b, const char* data, size_t length, size_t* written) {
        auto* ctx = static_cast<NetSecureContext*>(BIO_get_data(b));
        BIO_clear_retry_flags(b);
        std::size_t n = length;
        int status = ctx->writeFunc_ ? ctx->writeFunc_(data, &n) : NetSecureContext::errSSLClosedAbort;
        ctx->lastIOStatus_ = status;
        *written = n;
        if (n > 0)
            return 1;
        if (status == NetSecureContext::errSSLWouldBlock)
            BIO_set_retry_write(b);
        return 0;
    }

    static long ctrl(BIO*, int cmd, long, void*) {
        switch (cmd) {
        case BIO_CTRL_FLUSH:
        case BIO_CTRL_PUSH:
        case BIO_CTRL_POP:
            return 1;
        default:
            return 0;
        }
    }
};

std::unique_ptr<NetSecureContext> NetSecureContext::create(bool isServer) {
    std::unique_ptr<NetSecureContext> c(new NetSecureContext());
    c->isServer_ = isServer;
    c->ctx_ = SSL_CTX_new(isServer ? TLS_server_method() : TLS_client_method());
    if (!c->ctx_)
        return nullptr;
    if (!isServer) {
        SSL_CTX_set_default_verify_paths(c->ctx_);
        SSL_CTX_set_verify(c->ctx_, SSL_VERIFY_PEER, nullptr);
    }
    SSL_CTX_set_cert_verify_callback(c->ctx_, &NetSecureContext::verifyCallback, c.get());
    c->ssl_ = SSL_new(c->ctx_);
    if (!c->ssl_)
        return nullptr;
    SSL_set_mode(c->ssl_, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    BIO* bio = BIO_new(NetSecureContextBio::method());
    BIO_set_data(bio, c.get());
    SSL_set_bio(c->ssl_, bio, bio);
    if (isServer)
        SSL_set_accept_state(c->ssl_);
    else
        SSL_set_connect_state(c->ssl_);
    return c;
}

NetSecureContext::~NetSecureContext() {
    if (ssl_)
        SSL_free(ssl_);
    if (ctx_)
        SSL_CTX_free(ctx_);
}

int NetSecureContext::setIOFuncs(ReadFunc readFunc, WriteFunc writeFunc) {
    readFunc_ = std::move(readFunc);
    writeFunc_ = std::move(writeFunc);
    return noErr;
}

int NetSecureContext::setConnection(void* connection) {
    connection_ = connection;
    return noErr;
}

int NetSecureContext::setSessionOption(SessionOption option, bool value) {
    switch (option) {
    case SessionOption::BreakOnServerAuth:
        if (isServer_)
            return errSecParam;
        breakOnServerAuth_ = value;
        return noErr;
    case SessionOption::FalseStart:        // the engine decides on early data itself
    case SessionOption::SendOneByteRecord: // a defence for old CBC ciphers; the engine splits records itself
        return noErr;
    }
    return errSecParam;
}

int NetSecureContext::setPeerDomainName(const std::string& peerName) {
    if (!isServer_ && !peerName.empty()) {
        if (SSL_set_tlsext_host_name(ssl_, peerName.c_str()) != 1)
            return errSecParam;
        if (SSL_set1_host(ssl_, peerName.c_str()) != 1)
            return errSecParam;
    }
    return noErr;
}

int NetSecureContext::setCertificate(const std::vector<NetBytes>& chain) {
    if (chain.empty())
        return errSecParam;
    BIO* mem = BIO_new_mem_buf(chain[0].data(), static_cast<int>(chain[0].size()));
    EVP_PKEY* key = PEM_read_bio_PrivateKey(mem, nullptr, nullptr, nullptr);
    BIO_free(mem);
    mem = BIO_new_mem_buf(chain[0].data(), static_cast<int>(chain[0].size()));
    X509* cert = PEM_read_bio_X509(mem, nullptr, nullptr, nullptr);
    BIO_free(mem);
    int status = noErr;
    if (!key || !cert || SSL_use_certificate(ssl_, cert) != 1 || SSL_use_PrivateKey(ssl_, key) != 1 ||
        SSL_check_private_key(ssl_) != 1)
        status = errSecParam;
    EVP_PKEY_free(key);
    X509_free(cert);
    for (std::size_t i = 1; status == noErr && i < chain.size(); ++i) {
        BIO* b = BIO_new_mem_buf(chain[i].data(), static_cast<int>(chain[i].size()));
        X509* extra = PEM_read_bio_X509(b, nullptr, nullptr, nullptr);
        BIO_free(b);
        if (!extra) {
            const unsigned char* p = chain[i].data();
            extra = d2i_X509(nullptr, &p, static_cast<long>(chain[i].size()));
        }
        if (!extra || SSL_add1_chain_cert(ssl_, extra) != 1)
            status = errSecParam;
        X509_free(extra);
    }
    ERR_clear_error();
    return status;
}

int NetSecureContext::setPeerID(const NetBytes& peerID) {
    peerID_ = peerID;
    std::lock_guard lock(sessionMutex);
    auto it = sessionCache().find(peerID);
    if (it != sessionCache().end())
        SSL_set_session(ssl_, it->second);
    return noErr;
}

int NetSecureContext::setProtocolVersionMin(int version) {
    return SSL_set_min_proto_version(ssl_, version) == 1 ? noErr : errSecParam;
}

int NetSecureContext::setProtocolVersionMax(int version) {
    return SSL_set_max_proto_version(ssl_, version) == 1 ? noErr : errSecParam;
}

int NetSecureContext::setEnabledCiphers(const std::vector<std::uint16_t>& ciphers) {
    std::string tls12, tls13;
    for (std::uint16_t code : ciphers) {
        unsigned char bytes[2] = {static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xff)};
        const SSL_CIPHER* c = SSL_CIPHER_find(ssl_, bytes);
        if (!c)
            continue;
        std::string& list = (code >> 8) == 0x13 ? tls13 : tls12;
        if (!list.empty())
            list += ':';
        list += SSL_CIPHER_get_name(c);
    }
    if (tls12.empty() && tls13.empty())
        return errSecParam;
    if (!tls12.empty() && SSL_set_cipher_list(ssl_, tls12.c_str()) != 1)
        return errSecParam;
    if (!tls13.empty() && SSL_set_ciphersuites(ssl_, tls13.c_str()) != 1)
        return errSecParam;
    return noErr;
}

int NetSecureContext::verifyCallback(X509_STORE_CTX* store, void* arg) {
    auto* self = static_cast<NetSecureContext*>(arg);
    if (self->breakOnServerAuth_) {
        if (self->trustGranted_)
            return 1;
        // Keep the chain for the owner's verdict and stop the handshake here.
        self->peerChain_.clear();
        self->peerSubjects_.clear();
        auto add = [self](X509* cert) {
            int len = i2d_X509(cert, nullptr);
            if (len <= 0)
                return;
            NetBytes der(static_cast<std::size_t>(len));
            unsigned char* p = der.data();
            i2d_X509(cert, &p);
            self->peerChain_.push_back(std::move(der));
            char name[512];
            X509_NAME_oneline(X509_get_subject_name(cert), name, sizeof name);
            self->peerSubjects_.emplace_back(name);
        };
        if (X509* leaf = X509_STORE_CTX_get0_cert(store))
            add(leaf);
        if (STACK_OF(X509)* untrusted = X509_STORE_CTX_get0_untrusted(store)) {
            for (int i = 0; i < sk_X509_num(untrusted); ++i) {
                X509* c = sk_X509_value(untrusted, i);
                if (c != X509_STORE_CTX_get0_cert(store))
                    add(c);
            }
        }
        SSL_set_retry_verify(self->ssl_);
        return 1; // with the retry flag set this suspends the handshake

    }
    int ok = X509_verify_cert(store);
    if (ok <= 0)
        self->verifyFailed_ = true;
    return ok;
}

int NetSecureContext::statusFor(int result) {
    int err = SSL_get_error(ssl_, result);
    int status;
    switch (err) {
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
        status = errSSLWouldBlock;
        break;
    case SSL_ERROR_WANT_RETRY_VERIFY:
        status = errSSLPeerAuthCompleted;
        break;
    case SSL_ERROR_ZERO_RETURN:
        status = errSSLClosedGraceful;
        break;
    case SSL_ERROR_SYSCALL:
        status = errSSLClosedAbort;
        break;
    default:
        if (verifyFailed_ || (!isServer_ && SSL_get_verify_result(ssl_) != X509_V_OK))
            status = errSSLXCertChainInvalid;
        else if (lastIOStatus_ == errSSLClosedAbort)
            status = errSSLClosedAbort;
        else
            status = errSSLProtocol;
        break;
    }
    ERR_clear_error();
    return status;
}

int NetSecureContext::handshake() {
    int r = SSL_do_handshake(ssl_);
    if (r == 1) {
        if (!peerID_.empty()) {
            std::lock_guard lock(sessionMutex);
            if (SSL_SESSION* session = SSL_get1_session(ssl_)) {
                auto& slot = sessionCache()[peerID_];
                if (slot)
                    SSL_SESSION_free(slot);
                slot = session;
            }
        }
        return noErr;
    }
    return statusFor(r);
}

int NetSecureContext::copyPeerTrust(std::shared_ptr<NetSocketTrust>* trust) {
    if (peerChain_.empty())
        return errSecParam;
    *trust = std::make_shared<NetSocketTrust>(peerChain_, peerSubjects_);
    return noErr;
}

int NetSecureContext::read(void* data, std::size_t dataLength, std::size_t* processed) {
    *processed = 0;
    if (dataLength == 0)
        return noErr;
    std::size_t n = 0;
    if (SSL_read_ex(ssl_, data, dataLength, &n) == 1) {
        *processed = n;
        return noErr;
    }
    return statusFor(0);
}

int NetSecureContext::write(const void* data, std::size_t dataLength, std::size_t* processed) {
    *processed = 0;
    if (dataLength == 0) {
        if (!pendingWrite_)
            return noErr;
        data = pendingWrite_;
        dataLength = pendingWriteLength_;
    }
    std::size_t n = 0;
    if (SSL_write_ex(ssl_, data, dataLength, &n) == 1) {
        pendingWrite_ = nullptr;
        pendingWriteLength_ = 0;
        *processed = n;
        return noErr;
    }
    int status = statusFor(0);
    if (status == errSSLWouldBlock) {
        // The engine has taken the chunk; it must be offered again to finish.
        pendingWrite_ = data;
        pendingWriteLength_ = dataLength;
    }
    return status;
}

int NetSecureContext::getBufferedReadSize(std::size_t* bufSize) {
    int n = SSL_pending(ssl_);
    *bufSize = n > 0 ? static_cast<std::size_t>(n) : 0;
    return noErr;
}

int NetSecureContext::close() {
    SSL_shutdown(ssl_); // one non-blocking attempt to send close_notify
    ERR_clear_error();
    return noErr;
}
