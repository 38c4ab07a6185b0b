#include "sync/ZipPacker.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <zlib.h>

#include <cstdio>
#include <ctime>
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
    int opened;
    if (!password_ || password_->empty()) {
        opened = zipOpenNewFileInZip(zipFile_, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                     Z_DEFLATED, Z_DEFAULT_COMPRESSION);
    } else {
        // The check value of the encryption is the CRC-32 of the whole file.
        uLong crc = crc32(0L, Z_NULL, 0);
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), source.f)) > 0)
            crc = crc32(crc, buffer.data(), static_cast<uInt>(n));
        if (std::ferror(source.f)) return false;
        std::rewind(source.f);
        opened = zipOpenNewFileInZip3(zipFile_, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                      Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                      password_->c_str(), crc);
    }
    if (opened != ZIP_OK) return false;

    bool ok = true;
    std::size_t n;
    while (ok && (n = std::fread(buffer.data(), 1, buffer.size(), source.f)) > 0)
        ok = zipWriteInFileInZip(zipFile_, buffer.data(), static_cast<unsigned>(n)) == ZIP_OK;
    if (std::ferror(source.f)) ok = false;
    // The entry is closed in every case so that the archive stays readable.
    const bool closed = zipCloseFileInZip(zipFile_) == ZIP_OK;
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
        const int opened = password_ && !password_->empty()
                               ? unzOpenCurrentFilePassword(unzFile_, password_->c_str())
                               : unzOpenCurrentFile(unzFile_);
        if (opened != UNZ_OK) {
            reportError("Error occurs");
            success = false;
            break;
        }
        unz_file_info info{};
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
            if (out.f) {
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
