#include <gtest/gtest.h>

#include "TempFolder.h"
#include "platform/FileManager.h"
#include "platform/Places.h"
#include "platform/Url.h"
#include "support/FsyncRecorder.h"

using namespace platform;

TEST(FileManager, CopyNeverReplacesAnExistingFile) {
    TempFolder dir;
    ASSERT_TRUE(FileManager::writeFile(dir.file("a.db3"), "delivered"));
    ASSERT_TRUE(FileManager::copyItem(dir.file("a.db3"), dir.file("b.db3")));
    EXPECT_EQ(FileManager::contents(dir.file("b.db3")), "delivered");

    ASSERT_TRUE(FileManager::writeFile(dir.file("b.db3"), "written by earlier runs"));
    Error error;
    EXPECT_FALSE(FileManager::copyItem(dir.file("a.db3"), dir.file("b.db3"), &error));
    EXPECT_EQ(error.code(), EEXIST);
    EXPECT_FALSE(error.localizedDescription().empty());
    EXPECT_EQ(FileManager::contents(dir.file("b.db3")), "written by earlier runs");

    EXPECT_FALSE(FileManager::copyItem(dir.file("missing"), dir.file("c"), &error));
    EXPECT_EQ(error.code(), ENOENT);
    EXPECT_FALSE(FileManager::fileExists(dir.file("c")));

    // The copy is put in place whole: no working file stays behind, after a
    // copy as after a refusal.
    EXPECT_EQ(FileManager::contentsOfDirectory(dir.path()), (std::vector<std::string>{"a.db3", "b.db3"}));
}

TEST(FileManager, AReplacingCopyIsOnTheDiskWithItsNewNameWhenItAnswers) {
    TempFolder dir;
    ASSERT_TRUE(FileManager::writeFile(dir.file("trekora.db3"), "old"));
    ASSERT_TRUE(FileManager::writeFile(dir.file("copy.db3"), "restored"));
    FsyncRecorder::clear();
    ASSERT_TRUE(FileManager::copyItemReplacing(dir.file("copy.db3"), dir.file("trekora.db3")));
    EXPECT_EQ(FileManager::contents(dir.file("trekora.db3")), "restored");
    // The rename is in the folder: a power cut before the folder is on the
    // disk could bring the old file back.
    EXPECT_GE(FsyncRecorder::lastFlushOf(dir.path()), 0);
}

TEST(FileManager, MoveRemoveAndDirectories) {
    TempFolder dir;
    ASSERT_TRUE(FileManager::createDirectory(dir.file("out/deep")));
    EXPECT_TRUE(FileManager::isDirectory(dir.file("out/deep")));
    ASSERT_TRUE(FileManager::writeFile(dir.file("out/x.zip"), "zip"));
    ASSERT_TRUE(FileManager::writeFile(dir.file("out/a.txt"), "a", true));
    EXPECT_EQ(FileManager::contentsOfDirectory(dir.file("out")),
              (std::vector<std::string>{"a.txt", "deep", "x.zip"}));

    EXPECT_FALSE(FileManager::moveItem(dir.file("out/x.zip"), dir.file("out/a.txt")));
    EXPECT_EQ(FileManager::contents(dir.file("out/a.txt")), "a");
    ASSERT_TRUE(FileManager::moveItem(dir.file("out/x.zip"), dir.file("moved.zip")));
    EXPECT_FALSE(FileManager::fileExists(dir.file("out/x.zip")));
    EXPECT_EQ(FileManager::fileSize(dir.file("moved.zip")), 3u);
    EXPECT_TRUE(FileManager::modificationDate(dir.file("moved.zip")));

    ASSERT_TRUE(FileManager::removeItem(dir.file("out")));
    EXPECT_FALSE(FileManager::fileExists(dir.file("out")));
    EXPECT_FALSE(FileManager::removeItem(dir.file("out")));
    EXPECT_FALSE(FileManager::contentsOfDirectory(dir.file("out")));
}

TEST(FileManager, AppendCreatesThenAppends) {
    TempFolder dir;
    std::string log = dir.file("trekora.log");
    ASSERT_TRUE(FileManager::appendToFile(log, "prvý riadok\n"));
    ASSERT_TRUE(FileManager::appendToFile(log, "druhý\n"));
    EXPECT_EQ(FileManager::contents(log), "prvý riadok\ndruhý\n");
    EXPECT_FALSE(FileManager::appendToFile(dir.file("no/such/folder/x"), "x"));
}

TEST(FileManager, PathComponents) {
    EXPECT_EQ(FileManager::appendingPathComponent("/a/b", "c.db3"), "/a/b/c.db3");
    EXPECT_EQ(FileManager::appendingPathComponent("/a/b/", "c.db3"), "/a/b/c.db3");
    EXPECT_EQ(FileManager::lastPathComponent("/a/b/c.db3"), "c.db3");
    EXPECT_EQ(FileManager::lastPathComponent("/a/b/"), "b");
    EXPECT_EQ(FileManager::deletingLastPathComponent("/a/b/c.db3"), "/a/b");
    EXPECT_EQ(FileManager::deletingLastPathComponent("/a"), "/");
}

TEST(Places, DocumentsAndResourcesAreSettable) {
    TempFolder dir;
    Places::setDocumentsDirectory(dir.file("Documents"));
    EXPECT_EQ(Places::documentsDirectory(), dir.file("Documents"));
    EXPECT_TRUE(FileManager::isDirectory(dir.file("Documents")));
    EXPECT_EQ(Places::documentsUrl().path(), dir.file("Documents") + "/");

    ASSERT_TRUE(FileManager::createDirectory(dir.file("res")));
    ASSERT_TRUE(FileManager::writeFile(dir.file("res/zvuk2.mp3"), "id3"));
    Places::setResourcesDirectory(dir.file("res"));
    EXPECT_EQ(Places::resourcePath("zvuk2", "mp3"), dir.file("res/zvuk2.mp3"));
    EXPECT_EQ(Places::resourcePath("zvuk2.mp3"), dir.file("res/zvuk2.mp3"));
    EXPECT_FALSE(Places::resourcePath("zvuk3", "mp3"));

    Places::setDocumentsDirectory("");
    Places::setResourcesDirectory("");
    EXPECT_NE(Places::resourcesDirectory(), dir.file("res"));
    EXPECT_NE(Places::defaultDocumentsDirectory().find("trekora/Documents"), std::string::npos);
}

TEST(Places, BuildResourcesHoldTheDatabase) {
    EXPECT_TRUE(Places::resourcePath("trekora.db3"));
}

TEST(Url, FileUrlsArePercentEncoded) {
    Url u = Url::fileUrl("/home/ján/Documents/Dodávka č. 2.zip");
    EXPECT_EQ(u.absoluteString(),
              "file:///home/j%C3%A1n/Documents/Dod%C3%A1vka%20%C4%8D.%202.zip");
    EXPECT_TRUE(u.isFileUrl());
    EXPECT_EQ(u.path(), "/home/ján/Documents/Dodávka č. 2.zip");
    EXPECT_EQ(u.lastPathComponent(), "Dodávka č. 2.zip");
    EXPECT_EQ(u.deletingLastPathComponent().path(), "/home/ján/Documents/");
    EXPECT_EQ(Url::fileUrl("/d/").appendingPathComponent("trekora.db3").path(), "/d/trekora.db3");
}

TEST(Url, ParsesWebAddressesAndRejectsMalformedText) {
    auto u = Url::parse("HTTP://127.0.0.1:8080/trekora_data/export_akcen.db3?x=1#top");
    ASSERT_TRUE(u);
    EXPECT_EQ(u->scheme(), "http");
    EXPECT_EQ(u->host(), "127.0.0.1");
    EXPECT_EQ(u->port(), 8080);
    EXPECT_EQ(u->path(), "/trekora_data/export_akcen.db3");
    EXPECT_EQ(u->query(), "x=1");
    EXPECT_EQ(u->lastPathComponent(), "export_akcen.db3");
    EXPECT_EQ(u->appendingPathComponent("a b").absoluteString(),
              "HTTP://127.0.0.1:8080/trekora_data/export_akcen.db3/a%20b?x=1#top");
    auto v6 = Url::parse("http://[::1]:9/x");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->host(), "::1");
    EXPECT_EQ(v6->port(), 9);

    EXPECT_FALSE(Url::parse(""));
    EXPECT_FALSE(Url::parse("http://host/a b"));
    EXPECT_FALSE(Url::parse("http://host/č"));
    EXPECT_FALSE(Url::parse("http://host/%zz"));
    EXPECT_FALSE(Url::parse("http://host:99999/"));
    EXPECT_EQ(Url::percentDecode("a%2Fb%"), "a/b%");
}
