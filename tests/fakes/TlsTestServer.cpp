#include "fakes/TlsTestServer.h"
#include "fakes/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string bioText(BIO* bio) {
    char* data = nullptr;
    long n = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(n));
}

} // namespace

void TlsTestServer::makeSelfSigned(const std::string& commonName, std::string* certPem, std::string* keyPem) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 86400);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()),
                               -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509_sign(cert, key, EVP_sha256());

    BIO* cb = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(cb, cert);
    *certPem = bioText(cb);
    BIO_free(cb);
    BIO* kb = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(kb, key, nullptr, nullptr, 0, nullptr, nullptr);
    *keyPem = bioText(kb);
    BIO_free(kb);
    X509_free(cert);
    EVP_PKEY_free(key);
}

TlsTestServer::TlsTestServer(const std::string& commonName) {
    makeSelfSigned(commonName, &certPem_, &keyPem_);
    identityPem_ = keyPem_ + certPem_;
    listenFD_ = LoopbackListener::open(16, false, &port_);
    stopFD_ = eventfd(0, EFD_CLOEXEC);
    thread_ = std::thread([this] { serve(); });
}

TlsTestServer::~TlsTestServer() {
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(stopFD_, &one, sizeof one);
    thread_.join();
    ::close(listenFD_);
    ::close(stopFD_);
}

void TlsTestServer::serve() {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    BIO* cb = BIO_new_mem_buf(certPem_.data(), static_cast<int>(certPem_.size()));
    X509* cert = PEM_read_bio_X509(cb, nullptr, nullptr, nullptr);
    BIO_free(cb);
    BIO* kb = BIO_new_mem_buf(keyPem_.data(), static_cast<int>(keyPem_.size()));
    EVP_PKEY* key = PEM_read_bio_PrivateKey(kb, nullptr, nullptr, nullptr);
    BIO_free(kb);
    SSL_CTX_use_certificate(ctx, cert);
    SSL_CTX_use_PrivateKey(ctx, key);
    X509_free(cert);
    EVP_PKEY_free(key);

    for (;;) {
        pollfd fds[2] = {{listenFD_, POLLIN, 0}, {stopFD_, POLLIN, 0}};
        if (poll(fds, 2, -1) <= 0 || (fds[1].revents & POLLIN))
            break;
        int conn = ::accept4(listenFD_, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0)
            continue;
        timeval tv{0, 200000};
        setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        SSL* ssl = SSL_new(ctx);
        SSL_set_fd(ssl, conn);
        int rc = -1;
        for (int tries = 0; tries < 25; ++tries) { // up to ~5 s, checking for the stop
            rc = SSL_accept(ssl);
            if (rc == 1)
                break;
            int err = SSL_get_error(ssl, rc);
            if (err != SSL_ERROR_WANT_READ)
                break;
            pollfd s{stopFD_, POLLIN, 0};
            if (poll(&s, 1, 0) > 0)
                break;
        }
        if (rc == 1) {
            ++handshakes_;
            char buf[16384];
            for (;;) {
                int n = SSL_read(ssl, buf, sizeof buf);
                if (n > 0) {
                    if (SSL_write(ssl, buf, n) <= 0)
                        break;
                    continue;
                }
                int err = SSL_get_error(ssl, n);
                if (err == SSL_ERROR_WANT_READ) {
                    pollfd s{stopFD_, POLLIN, 0};
                    if (poll(&s, 1, 0) > 0)
                        break;
                    continue;
                }
                break;
            }
            SSL_shutdown(ssl);
        }
        ERR_clear_error();
        SSL_free(ssl);
        ::close(conn);
    }
    SSL_CTX_free(ctx);
}
