// Guarded reading: regular files within the limit are read whole; everything
// that could block the reader or feed it without end is refused at once.
#include "platform/foundation/GuardedFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <thread>
#include <vector>

#include "TempDirectory.h"
#include "platform/foundation/SystemError.h"

namespace corvanta::platform {
namespace {

namespace fs = std::filesystem;
using testing::TempDirectory;

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(GuardedFileTest, ReadsRegularFilesAndLinksToThemUpToTheLimit) {
    TempDirectory dir;
    writeFile(dir.path() / "exact", std::string(100, 'x'));
    const FileContents exact = readRegularFile(dir.path() / "exact", 100);
    ASSERT_TRUE(exact.ok()) << exact.errorDescription;
    EXPECT_EQ(*exact.bytes, std::string(100, 'x'));
    // Room after the bytes for a parser that reads past them, zeroed.
    const FileContents spare = readRegularFile(dir.path() / "exact", 100, 64);
    ASSERT_TRUE(spare.ok());
    EXPECT_EQ(*spare.bytes, std::string(100, 'x'));
    ASSERT_GE(spare.bytes->capacity(), 164u);
    EXPECT_EQ(std::string_view(spare.bytes->data() + 100, 64), std::string(64, '\0'));

    writeFile(dir.path() / "empty", "");
    EXPECT_EQ(readRegularFile(dir.path() / "empty", 100).bytes, "");

    fs::create_symlink(dir.path() / "exact", dir.path() / "link");
    EXPECT_EQ(readRegularFile(dir.path() / "link", 100).bytes, std::string(100, 'x'));

    const FileContents over = readRegularFile(dir.path() / "exact", 99);
    EXPECT_FALSE(over.ok());
    EXPECT_EQ(over.error, FileReadError::tooLarge);
    EXPECT_NE(over.errorDescription.find("99 bytes"), std::string::npos) << over.errorDescription;
}

// Each of these would block a plain open or read, or never end: all must be
// refused without waiting (a hang fails the test by its time-out).
TEST(GuardedFileTest, FifosDevicesFoldersAndLinksToThemAreRefusedAtOnce) {
    TempDirectory dir;
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir.path() / "fifo", dir.path() / "link-to-fifo");
    fs::create_directory(dir.path() / "folder");
    fs::create_symlink("/dev/zero", dir.path() / "link-to-zero");
    for (const fs::path& path :
         {dir.path() / "fifo", dir.path() / "link-to-fifo", dir.path() / "folder",
          fs::path("/dev/zero"), dir.path() / "link-to-zero"}) {
        const FileContents contents = readRegularFile(path, 1 << 20);
        EXPECT_FALSE(contents.ok()) << path;
        EXPECT_EQ(contents.error, FileReadError::notRegular) << path;
        EXPECT_EQ(contents.errorDescription, "not a regular file");
    }
}

TEST(GuardedFileTest, MissingFilesAndDanglingLinksAreAbsent) {
    TempDirectory dir;
    fs::create_symlink(dir.path() / "nowhere", dir.path() / "dangling");
    writeFile(dir.path() / "plain", "x");
    for (const fs::path& path :
         {dir.path() / "missing", dir.path() / "dangling", dir.path() / "plain" / "below"})
        EXPECT_EQ(readRegularFile(path, 10).error, FileReadError::absent) << path;
}

// A sparse file claims a huge size without using the disk: it must be refused
// from its size alone, before any buffer is allocated for it.
TEST(GuardedFileTest, AHugeSparseFileIsRefusedFromItsSize) {
    TempDirectory dir;
    const fs::path huge = dir.path() / "huge";
    writeFile(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), off_t(64) << 30), 0);
    const GuardedFile file = GuardedFile::open(huge, 64 << 20);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.error(), FileReadError::tooLarge);
}

TEST(GuardedFileTest, AFileThatGrowsWhileOpenIsReadWithinTheLimitOnly) {
    TempDirectory dir;
    const fs::path path = dir.path() / "growing";
    writeFile(path, "abc");
    GuardedFile file = GuardedFile::open(path, 100);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.size(), 3u);
    std::ofstream(path, std::ios::binary | std::ios::app) << "def";
    // Asking for one byte more than the size seen at open tells the growth.
    char buffer[4] = {};
    EXPECT_EQ(file.readInto(buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(file.readInto(buffer, sizeof buffer), 2u);
    EXPECT_EQ(file.readInto(buffer, sizeof buffer), 0u);
}

TEST(GuardedFileTest, UnreadableFilesReportTheSystemError) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempDirectory dir;
    const fs::path path = dir.path() / "secret";
    writeFile(path, "x");
    fs::permissions(path, fs::perms::none);
    const FileContents contents = readRegularFile(path, 10);
    EXPECT_EQ(contents.error, FileReadError::failed);
    EXPECT_FALSE(contents.errorDescription.empty());
}

// Files are read on worker threads and the main thread at once; each must
// get its own text, unknown numbers included.
TEST(GuardedFileTest, SystemErrorTextsAreTheirOwnOnEveryThread) {
    EXPECT_EQ(systemErrorText(ENOENT), "No such file or directory");
    const std::vector<int> codes = {ENOENT, EACCES, ELOOP, 123456, -7};
    std::vector<std::string> expected;
    for (const int code : codes) expected.push_back(systemErrorText(code));
    EXPECT_NE(expected[3].find("123456"), std::string::npos) << expected[3];
    std::atomic<int> mismatches = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5000; ++i) {
                const std::size_t k = static_cast<std::size_t>(i + t) % codes.size();
                if (systemErrorText(codes[k]) != expected[k])
                    ++mismatches;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, 0);
}

TEST(GuardedFileTest, SvgsThatNameOtherFilesAreTold) {
    const char* const selfContained[] = {
        R"svg(<svg><path d="M0 0h1"/></svg>)svg",
        R"svg(<svg><use xlink:href="#a"/><use href = '#b'/><rect fill="url(#grad)"/></svg>)svg",
        R"svg(<svg><image href="data:image/png;base64,iVBORw0KGgo="/></svg>)svg",
        R"svg(<svg><image xlink:href=" DATA:image/png;base64,AAAA"/></svg>)svg",
        R"svg(<svg><style>.a{fill:url( '#g' )}</style><a hreflang="en"/></svg>)svg",
    };
    for (const char* svg : selfContained) EXPECT_FALSE(svgReferencesOtherFiles(svg)) << svg;

    const char* const external[] = {
        R"svg(<svg><image href="/tmp/fifo"/></svg>)svg",
        R"svg(<svg><image xlink:href='icon.png'/></svg>)svg",
        R"svg(<svg><image xlink:href="file:///dev/zero"/></svg>)svg",
        R"svg(<svg><image href="&#47;tmp/fifo"/></svg>)svg",
        R"svg(<svg><image href="&path;"/></svg>)svg",
        R"svg(<svg><rect style="fill:url(other.svg#g)"/></svg>)svg",
        R"svg(<!DOCTYPE svg [<!ENTITY e SYSTEM "/dev/zero">]><svg>&e;</svg>)svg",
    };
    for (const char* svg : external) EXPECT_TRUE(svgReferencesOtherFiles(svg)) << svg;
}

// The logo and the tray icon are handed to the renderer as bytes read this way.
TEST(GuardedFileTest, OnlySelfContainedSvgFilesAreHandedOn) {
    TempDirectory dir;
    const std::string plain = R"(<svg xmlns="http://www.w3.org/2000/svg"><rect width="2"/></svg>)";
    writeFile(dir.path() / "plain.svg", plain);
    writeFile(dir.path() / "outside.svg",
              R"(<svg xmlns="http://www.w3.org/2000/svg"><image href="/etc/passwd"/></svg>)");
    writeFile(dir.path() / "packed.svgz", std::string("\x1f\x8b\x08", 3));
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.svg").c_str(), 0600), 0);
    EXPECT_EQ(readSelfContainedSvg(dir.path() / "plain.svg", 1 << 20), plain);
    EXPECT_FALSE(readSelfContainedSvg(dir.path() / "plain.svg", 8));
    for (const char* name : {"outside.svg", "packed.svgz", "fifo.svg", "missing.svg"})
        EXPECT_FALSE(readSelfContainedSvg(dir.path() / name, 1 << 20)) << name;
}

}  // namespace
}  // namespace corvanta::platform
