#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <random>

#include "platform/FileManager.h"
#include "platform/TempFolder.h"
#include "sync/ZipPacker.h"

using platform::FileManager;

namespace {

class Recorder : public ZipPackerDelegate {
public:
    std::vector<std::string> errors;
    void zipError(const std::string& message) override { errors.push_back(message); }
};

std::string someBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 3 ? random() % 8 : random());
    return bytes;
}

void setLocalTime(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t when = std::mktime(&tm);
    timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

int run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// An archive written with minizip directly, with the given entry names.
void writeRawArchive(const std::string& path, const std::vector<std::string>& names) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_TRUE(zip);
    for (const auto& name : names) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, -1), ZIP_OK);
        zipWriteInFileInZip(zip, name.data(), static_cast<unsigned>(name.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

}  // namespace

TEST(ZipPacker, EntryUnderItsNewNameIsByteEqualForAnIndependentReaderAndCarriesTheFileDate) {
    TempFolder folder;
    const std::string source = folder.file("snapshot-1234.tmp");
    const std::string bytes = someBytes(300000);
    ASSERT_TRUE(FileManager::writeFile(source, bytes));
    setLocalTime(source, 2026, 12, 6, 13, 33, 4);
    const std::string archive = folder.file("backup.zip");

    ZipPacker zip;
    EXPECT_FALSE(zip.addFile(source, "trekora.db3")) << "no archive open yet";
    ASSERT_TRUE(zip.createZip(archive));
    EXPECT_TRUE(zip.addFile(source, "trekora.db3"));
    EXPECT_TRUE(zip.closeZip());
    EXPECT_FALSE(zip.closeZip());
    EXPECT_FALSE(zip.addFile(source, "again.db3"));

    EXPECT_EQ(run("unzip -t -qq '" + archive + "'"), 0);
    ASSERT_EQ(std::system(("unzip -p '" + archive + "' trekora.db3 > '" + folder.file("independent") + "'").c_str()), 0);
    EXPECT_EQ(FileManager::contents(folder.file("independent")), bytes);

    unzFile unz = unzOpen(archive.c_str());
    ASSERT_TRUE(unz);
    ASSERT_EQ(unzGoToFirstFile(unz), UNZ_OK);
    unz_file_info info{};
    char name[64] = {};
    ASSERT_EQ(unzGetCurrentFileInfo(unz, &info, name, sizeof name, nullptr, 0, nullptr, 0), UNZ_OK);
    EXPECT_STREQ(name, "trekora.db3");
    EXPECT_EQ(info.compression_method, static_cast<uLong>(Z_DEFLATED));
    EXPECT_LT(info.compressed_size, bytes.size());
    EXPECT_EQ(info.tmu_date.tm_year, 2026u);
    EXPECT_EQ(info.tmu_date.tm_mon, 11u);
    EXPECT_EQ(info.tmu_date.tm_mday, 6u);
    EXPECT_EQ(info.tmu_date.tm_hour, 13u);
    EXPECT_EQ(info.tmu_date.tm_min, 33u);
    EXPECT_EQ(info.tmu_date.tm_sec, 4u);
    EXPECT_EQ(unzGoToNextFile(unz), UNZ_END_OF_LIST_OF_FILE);
    unzClose(unz);

    // Our own reading side restores content and date.
    ZipPacker reader;
    ASSERT_TRUE(reader.openForReading(archive));
    ASSERT_TRUE(reader.extractTo(folder.file("out"), true));
    EXPECT_TRUE(reader.closeReading());
    EXPECT_EQ(FileManager::contents(folder.file("out/trekora.db3")), bytes);
    EXPECT_EQ(FileManager::modificationDate(folder.file("out/trekora.db3")), FileManager::modificationDate(source));
}

TEST(ZipPacker, UnreadableSourceIsAFailureAndAddsNoEntry) {
    TempFolder folder;
    const std::string archive = folder.file("a.zip");
    ZipPacker zip;
    ASSERT_TRUE(zip.createZip(archive));
    EXPECT_FALSE(zip.addFile(folder.file("missing.db3"), "trekora.db3"));
    EXPECT_FALSE(zip.addFile(folder.path(), "folder"));
    EXPECT_TRUE(zip.closeZip());
    EXPECT_EQ(FileManager::fileSize(archive), 22u) << "only the end record of an empty archive";
}

TEST(ZipPacker, PasswordEntriesRoundTrip) {
    TempFolder folder;
    const std::string bytes = someBytes(5000);
    ASSERT_TRUE(FileManager::writeFile(folder.file("data"), bytes));
    ZipPacker zip;
    ASSERT_TRUE(zip.createZip(folder.file("p.zip"), "heslo"));
    ASSERT_TRUE(zip.addFile(folder.file("data"), "data.bin"));
    ASSERT_TRUE(zip.closeZip());
    EXPECT_EQ(run("unzip -P heslo -t -qq '" + folder.file("p.zip") + "'"), 0);

    ZipPacker wrong;
    ASSERT_TRUE(wrong.openForReading(folder.file("p.zip"), "zle"));
    EXPECT_FALSE(wrong.extractTo(folder.file("x"), false));
    EXPECT_FALSE(FileManager::fileExists(folder.file("x/data.bin")));

    ZipPacker reader;
    ASSERT_TRUE(reader.openForReading(folder.file("p.zip"), "heslo"));
    ASSERT_TRUE(reader.extractTo(folder.file("x"), false));
    reader.closeReading();
    EXPECT_EQ(FileManager::contents(folder.file("x/data.bin")), bytes);
}

TEST(ZipPacker, ExtractionStaysInsideTheTargetFolder) {
    TempFolder folder;
    const std::string archive = folder.file("evil.zip");
    writeRawArchive(archive, {"../escaped.txt", "/tmp/absolute-trekora.txt", "", "a\\b\\c.txt", "ok/..x", "ok.txt",
                              "sub/../../up.txt"});
    auto recorder = std::make_shared<Recorder>();
    ZipPacker reader;
    reader.setDelegate(recorder);
    ASSERT_TRUE(reader.openForReading(archive));
    EXPECT_FALSE(reader.extractTo(folder.file("target"), true)) << "refused entries make the extraction fail";
    reader.closeReading();

    EXPECT_FALSE(FileManager::fileExists(folder.file("escaped.txt")));
    EXPECT_FALSE(FileManager::fileExists(folder.file("up.txt")));
    EXPECT_FALSE(FileManager::fileExists("/tmp/absolute-trekora.txt"));
    EXPECT_EQ(FileManager::contents(folder.file("target/a/b/c.txt")), "a\\b\\c.txt");
    EXPECT_EQ(FileManager::contents(folder.file("target/ok.txt")), "ok.txt");
    EXPECT_EQ(FileManager::contents(folder.file("target/ok/..x")), "ok/..x");
    EXPECT_EQ(recorder->errors.size(), 4u);
}

TEST(ZipPacker, ExistingFilesAreKeptWhenTheDelegateSaysSo) {
    TempFolder folder;
    writeRawArchive(folder.file("a.zip"), {"f.txt"});
    ASSERT_TRUE(FileManager::createDirectory(folder.file("t")));
    ASSERT_TRUE(FileManager::writeFile(folder.file("t/f.txt"), "old"));
    struct Keep : ZipPackerDelegate {
        bool zipShouldOverwrite(const std::string&) override { return false; }
    };
    ZipPacker reader;
    reader.setDelegate(std::make_shared<Keep>());
    ASSERT_TRUE(reader.openForReading(folder.file("a.zip")));
    EXPECT_TRUE(reader.extractTo(folder.file("t"), false));
    EXPECT_EQ(FileManager::contents(folder.file("t/f.txt")), "old");
    EXPECT_TRUE(reader.extractTo(folder.file("t"), true));
    EXPECT_EQ(FileManager::contents(folder.file("t/f.txt")), "f.txt");
}

TEST(ZipPacker, ArchiveWithoutEntriesReportsAndFails) {
    TempFolder folder;
    writeRawArchive(folder.file("empty.zip"), {});
    auto recorder = std::make_shared<Recorder>();
    ZipPacker reader;
    reader.setDelegate(recorder);
    reader.openForReading(folder.file("empty.zip"));
    EXPECT_FALSE(reader.extractTo(folder.file("t"), true));
    EXPECT_EQ(recorder->errors, (std::vector<std::string>{"Failed", "Error occurs"}));
    EXPECT_TRUE(reader.closeReading());
    EXPECT_TRUE(reader.closeReading());
}

TEST(ZipPacker, AnEncryptedEntryClaimingGigabytesTakesOnlyTheMemoryItsDataNeeds) {
    // A few hundred bytes: one encrypted entry of a short text that claims almost 4 GiB.
    TempFolder folder;
    ASSERT_TRUE(FileManager::writeFile(folder.file("data"), "a short text"));
    const std::string archive = folder.file("hostile.zip");
    ZipPacker zip;
    ASSERT_TRUE(zip.createZip(archive, "heslo"));
    ASSERT_TRUE(zip.addFile(folder.file("data"), "trekora.db3"));
    ASSERT_TRUE(zip.closeZip());
    std::string bytes = *FileManager::contents(archive);
    ASSERT_LT(bytes.size(), 400u);
    const std::string claimed("\xF0\xFF\xFF\xFF", 4);
    const auto central = bytes.find("PK\x01\x02");
    ASSERT_EQ(bytes.compare(0, 4, "PK\x03\x04"), 0);
    ASSERT_NE(central, std::string::npos);
    bytes.replace(22, 4, claimed);
    bytes.replace(central + 24, 4, claimed);
    ASSERT_TRUE(FileManager::writeFile(archive, bytes));

    // Read in a child whose address space allows a few hundred MiB more than now.
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t room = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (512ull << 20);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{room, room};
        ::setrlimit(RLIMIT_AS, &limit);
        try {
            ZipPacker reader;
            reader.openForReading(archive, "heslo");
            ::_exit(reader.extractTo(folder.file("t"), true) ? 3 : 0);
        } catch (...) {
            ::_exit(4);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the reader died (signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0) << ")";
    EXPECT_NE(WEXITSTATUS(status), 4) << "the reader ran out of memory";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the damaged entry is refused";
}
