#include "sync/ZipPacker.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <zlib.h>

#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "platform/DiagnosticLog.h"
#include "platform/FileManager.h"

using platform::FileManager;

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::uint64_t kLimit = 0xFFFFFFFFull;  // no Zip64: sizes are 32-bit

// An entry name is safe when it stays below the target folder: not empty,
// not absolute, no ".." component and no NUL byte.
bool isSafeEntryName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string::npos) return false;
    if (name.size() >= 2 && name[1] == ':') return false;  // a drive letter
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}

// The traditional zip encryption. The zip library of the system is built
// without it, so entries with a password are written and read raw and
// ciphered here.
struct Cipher {
    std::uint32_t keys[3] = {0x12345678u, 0x23456789u, 0x34567890u};
    const z_crc_t* table = get_crc_table();

    explicit Cipher(const std::string& password) {
        for (unsigned char c : password) update(c);
    }
    std::uint32_t crcByte(std::uint32_t crc, std::uint8_t b) const {
        return static_cast<std::uint32_t>(table[(crc ^ b) & 0xff]) ^ (crc >> 8);
    }
    void update(std::uint8_t c) {
        keys[0] = crcByte(keys[0], c);
        keys[1] = (keys[1] + (keys[0] & 0xff)) * 134775813u + 1;
        keys[2] = crcByte(keys[2], static_cast<std::uint8_t>(keys[1] >> 24));
    }
    std::uint8_t stream() const {
        const std::uint32_t t = (keys[2] & 0xffff) | 2;
        return static_cast<std::uint8_t>(((t * (t ^ 1)) >> 8) & 0xff);
    }
    char encrypt(char plain) {
        const auto p = static_cast<std::uint8_t>(plain);
        const auto c = static_cast<std::uint8_t>(p ^ stream());
        update(p);
        return static_cast<char>(c);
    }
    char decrypt(char cipher) {
        const auto p = static_cast<std::uint8_t>(static_cast<std::uint8_t>(cipher) ^ stream());
        update(p);
        return static_cast<char>(p);
    }
};

constexpr std::size_t kCryptHeader = 12;

// Raw deflate (no zlib wrapper) of `in` at the default level.
bool deflateRaw(const std::string& in, std::string* out) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    out->resize(deflateBound(&z, static_cast<uLong>(in.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out->data());
    z.avail_out = static_cast<uInt>(out->size());
    const int rc = deflate(&z, Z_FINISH);
    out->resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

// Raw inflate of `in`, which must give exactly `size` bytes. The output
// grows as inflated data arrives and never past `size`: a size the entry
// only claims costs no memory.
bool inflateRaw(const std::string& in, std::size_t size, std::string* out) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
    out->clear();
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    std::vector<char> block(64 * 1024);
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(block.data());
        z.avail_out = static_cast<uInt>(block.size());
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) break;
        const std::size_t produced = block.size() - z.avail_out;
        if (produced > size - out->size()) {
            rc = Z_DATA_ERROR;  // more than the entry says it holds
            break;
        }
        out->append(block.data(), produced);
        if (rc == Z_OK && produced == 0 && z.avail_in == 0) rc = Z_BUF_ERROR;  // the data ends early
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END && out->size() == size;
}

struct File {
    std::FILE* f = nullptr;
    explicit File(const std::string& path, const char* mode) : f(std::fopen(path.c_str(), mode)) {}
    ~File() {
        if (f) std::fclose(f);
    }
};

}  // namespace

ZipPacker::ZipPacker() = default;

ZipPacker::~ZipPacker() {
    if (zipFile_) closeZip();
}

bool ZipPacker::createZip(const std::string& path) {
    if (zipFile_) return false;  // one archive at a time
    zipFile_ = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    return zipFile_ != nullptr;
}

bool ZipPacker::createZip(const std::string& path, const std::string& password) {
    password_ = password;
    return createZip(path);
}

bool ZipPacker::addFile(const std::string& path, const std::string& entryName) {
    if (!zipFile_) return false;

    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if (static_cast<std::uint64_t>(st.st_size) >= kLimit) return false;
    File source(path, "rb");
    if (!source.f) return false;

    zip_fileinfo info{};
    std::tm tm{};
    if (localtime_r(&st.st_mtime, &tm)) {
        info.tmz_date.tm_sec = static_cast<uInt>(tm.tm_sec);
        info.tmz_date.tm_min = static_cast<uInt>(tm.tm_min);
        info.tmz_date.tm_hour = static_cast<uInt>(tm.tm_hour);
        info.tmz_date.tm_mday = static_cast<uInt>(tm.tm_mday);
        info.tmz_date.tm_mon = static_cast<uInt>(tm.tm_mon);
        info.tmz_date.tm_year = static_cast<uInt>(tm.tm_year + 1900);
    }

    std::vector<unsigned char> buffer(kChunk);
    if (password_ && !password_->empty()) return addEncrypted(source.f, entryName, &info);
    if (zipOpenNewFileInZip(zipFile_, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION) != ZIP_OK)
        return false;

    bool ok = true;
    std::size_t n;
    while (ok && (n = std::fread(buffer.data(), 1, buffer.size(), source.f)) > 0)
        ok = zipWriteInFileInZip(zipFile_, buffer.data(), static_cast<unsigned>(n)) == ZIP_OK;
    if (std::ferror(source.f)) ok = false;
    // The entry is closed in every case so that the archive stays readable.
    const bool closed = zipCloseFileInZip(zipFile_) == ZIP_OK;
    return ok && closed;
}

bool ZipPacker::addEncrypted(std::FILE* source, const std::string& entryName, const void* fileInfo) {
    std::string content;
    std::vector<char> buffer(kChunk);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), source)) > 0) content.append(buffer.data(), n);
    if (std::ferror(source)) return false;
    // The check value of the encryption is the CRC-32 of the whole file.
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(content.data()),
                            static_cast<uInt>(content.size()));
    std::string packed;
    if (!deflateRaw(content, &packed)) return false;

    Cipher cipher(*password_);
    std::string data;
    data.reserve(kCryptHeader + packed.size());
    std::random_device random;
    for (std::size_t i = 0; i + 1 < kCryptHeader; ++i) data.push_back(cipher.encrypt(static_cast<char>(random() & 0xff)));
    data.push_back(cipher.encrypt(static_cast<char>((crc >> 24) & 0xff)));
    for (char c : packed) data.push_back(cipher.encrypt(c));

    // Written raw, with the flag of an encrypted entry.
    if (zipOpenNewFileInZip4(zipFile_, entryName.c_str(), static_cast<const zip_fileinfo*>(fileInfo), nullptr, 0,
                             nullptr, 0, nullptr, Z_DEFLATED, Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, 8,
                             Z_DEFAULT_STRATEGY, nullptr, 0, 0, 1) != ZIP_OK)
        return false;
    const bool ok = zipWriteInFileInZip(zipFile_, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    const bool closed = zipCloseFileInZipRaw(zipFile_, static_cast<uLong>(content.size()), crc) == ZIP_OK;
    return ok && closed;
}

bool ZipPacker::closeZip() {
    password_.reset();
    if (!zipFile_) return false;
    const int rc = zipClose(zipFile_, nullptr);
    zipFile_ = nullptr;
    return rc == ZIP_OK;
}

bool ZipPacker::openForReading(const std::string& path) {
    if (unzFile_) closeReading();
    unzFile_ = unzOpen(path.c_str());
    if (!unzFile_) return false;
    unz_global_info global{};
    if (unzGetGlobalInfo(unzFile_, &global) == UNZ_OK)
        platform::DiagnosticLog::write(std::to_string(global.number_entry) + " entries in the zip file");
    return true;
}

bool ZipPacker::openForReading(const std::string& path, const std::string& password) {
    password_ = password;
    return openForReading(path);
}

bool ZipPacker::extractTo(const std::string& folder, bool overwrite) {
    if (!unzFile_) {
        reportError("Failed");
        reportError("Error occurs");
        return false;
    }
    bool success = true;
    int rc = unzGoToFirstFile(unzFile_);
    if (rc != UNZ_OK) {
        reportError("Failed");
        // An archive without entries: the open below fails and says so.
        const int opened = password_ ? unzOpenCurrentFilePassword(unzFile_, password_->c_str())
                                     : unzOpenCurrentFile(unzFile_);
        if (opened == UNZ_OK) unzCloseCurrentFile(unzFile_);
        reportError("Error occurs");
        return false;
    }
    std::vector<char> buffer(4096);
    do {
        unz_file_info info{};
        unzGetCurrentFileInfo(unzFile_, &info, nullptr, 0, nullptr, 0, nullptr, 0);
        // An encrypted entry is read raw and deciphered here; it opens only
        // with the right password.
        std::optional<std::string> plain;
        int opened = UNZ_OK;
        if (info.flag & 1) {
            plain = readEncrypted(&info);
            if (!plain) opened = UNZ_BADZIPFILE;
        } else {
            opened = unzOpenCurrentFile(unzFile_);
        }
        if (opened != UNZ_OK) {
            reportError("Error occurs");
            success = false;
            break;
        }
        if (unzGetCurrentFileInfo(unzFile_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            reportError("Error occurs while getting file info");
            unzCloseCurrentFile(unzFile_);
            success = false;
            break;
        }
        std::string name(info.size_filename, '\0');
        if (info.size_filename > 0 &&
            unzGetCurrentFileInfo(unzFile_, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0,
                                  nullptr, 0) != UNZ_OK) {
            reportError("Error occurs while getting file info");
            unzCloseCurrentFile(unzFile_);
            success = false;
            break;
        }
        const bool isFolder = !name.empty() && (name.back() == '/' || name.back() == '\\');
        for (char& c : name)
            if (c == '\\') c = '/';
        if (!isSafeEntryName(name)) {
            reportError("Refused entry name: " + name);
            unzCloseCurrentFile(unzFile_);
            success = false;
            continue;
        }
        const std::string target = FileManager::appendingPathComponent(folder, name);
        FileManager::createDirectory(isFolder ? target : FileManager::deletingLastPathComponent(target));
        if (isFolder) {
            unzCloseCurrentFile(unzFile_);
            continue;
        }
        if (FileManager::fileExists(target) && !overwrite && !mayOverwrite(target)) {
            unzCloseCurrentFile(unzFile_);
            continue;
        }
        bool written = false;
        {
            File out(target, "wb");
            if (out.f && plain) {
                written = true;
                if (std::fwrite(plain->data(), 1, plain->size(), out.f) != plain->size()) {
                    reportError("Failed to write " + target);
                    success = false;
                }
            } else if (out.f) {
                written = true;
                for (;;) {
                    const int n = unzReadCurrentFile(unzFile_, buffer.data(), static_cast<unsigned>(buffer.size()));
                    if (n == 0) break;
                    if (n < 0) {
                        reportError("Failed to reading zip file");
                        success = false;
                        break;
                    }
                    if (std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), out.f) !=
                        static_cast<std::size_t>(n)) {
                        reportError("Failed to write " + target);
                        success = false;
                        break;
                    }
                }
            } else {
                reportError("Failed to write " + target);
                success = false;
            }
        }
        if (written) {
            std::tm tm{};
            tm.tm_sec = static_cast<int>(info.tmu_date.tm_sec);
            tm.tm_min = static_cast<int>(info.tmu_date.tm_min);
            tm.tm_hour = static_cast<int>(info.tmu_date.tm_hour);
            tm.tm_mday = static_cast<int>(info.tmu_date.tm_mday);
            tm.tm_mon = static_cast<int>(info.tmu_date.tm_mon);
            tm.tm_year = static_cast<int>(info.tmu_date.tm_year) - 1900;
            tm.tm_isdst = -1;
            const std::time_t when = std::mktime(&tm);
            timeval times[2] = {{when, 0}, {when, 0}};
            if (when == static_cast<std::time_t>(-1) || ::utimes(target.c_str(), times) != 0)
                platform::DiagnosticLog::write("Failed to set attributes");
        }
        // A damaged entry shows here as a CRC error.
        if (unzCloseCurrentFile(unzFile_) != UNZ_OK && written) {
            reportError("Failed to reading zip file");
            success = false;
        }
    } while ((rc = unzGoToNextFile(unzFile_)) == UNZ_OK);
    return success;
}

std::optional<std::string> ZipPacker::readEncrypted(const void* fileInfo) {
    const auto& info = *static_cast<const unz_file_info*>(fileInfo);
    if (!password_ || password_->empty()) return std::nullopt;
    int method = 0;
    int level = 0;
    if (unzOpenCurrentFile2(unzFile_, &method, &level, 1) != UNZ_OK) return std::nullopt;
    std::string raw;
    std::vector<char> buffer(kChunk);
    int n;
    while ((n = unzReadCurrentFile(unzFile_, buffer.data(), static_cast<unsigned>(buffer.size()))) > 0)
        raw.append(buffer.data(), static_cast<std::size_t>(n));
    if (n < 0 || raw.size() < kCryptHeader) {
        unzCloseCurrentFile(unzFile_);
        return std::nullopt;
    }
    Cipher cipher(*password_);
    for (char& c : raw) c = cipher.decrypt(c);
    if (static_cast<std::uint8_t>(raw[kCryptHeader - 1]) != ((info.crc >> 24) & 0xff)) {
        unzCloseCurrentFile(unzFile_);
        return std::nullopt;  // a wrong password
    }
    std::string plain;
    const std::string packed = raw.substr(kCryptHeader);
    const bool unpacked = method == Z_DEFLATED ? inflateRaw(packed, info.uncompressed_size, &plain)
                                               : (plain = packed, method == 0);
    const bool checked =
        unpacked &&
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(plain.data()), static_cast<uInt>(plain.size())) ==
            info.crc;
    if (!checked) {
        unzCloseCurrentFile(unzFile_);
        return std::nullopt;
    }
    return plain;
}

bool ZipPacker::closeReading() {
    password_.reset();
    if (!unzFile_) return true;
    const int rc = unzClose(unzFile_);
    unzFile_ = nullptr;
    return rc == UNZ_OK;
}

void ZipPacker::reportError(const std::string& message) {
    if (delegate_) delegate_->zipError(message);
}

bool ZipPacker::mayOverwrite(const std::string& path) {
    return delegate_ ? delegate_->zipShouldOverwrite(path) : true;
}

platform::Date ZipPacker::dosEpoch() {
    std::tm tm{};
    tm.tm_year = 80;
    tm.tm_mday = 1;
    tm.tm_isdst = -1;
    return platform::Date(static_cast<double>(std::mktime(&tm)));
}
