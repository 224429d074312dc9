// Files written safely on Linux: permissions kept, and no planted link or name followed, as a
// program run by root in /tmp needs (SafeFileAnyTest has what holds on every platform).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/SafeFile.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder per test, world-writable and sticky like /tmp.
class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = ::testing::TempDir() + "safe-file-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        chmod(m_dir.c_str(), 01777);
        std::ofstream(Path("victim")) << "precious";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    std::size_t Entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()));
    }
    std::string m_dir;
};

TEST_F(SafeFileTest, ReplacingWritesTheWholeFileAndKeepsItsPermissions) {
    const std::string path = Path("profile.json");
    std::ofstream(path) << "old text that is longer than the new";
    chmod(path.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(support::WriteFileAtomically(path, "new", error)) << error;
    EXPECT_EQ(Read(path), "new");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), 2u) << "no temporary file is left";
}

// A link planted under the name the program writes: no kind of write reaches its target.
struct PlantedCase {
    const char* name;
    std::function<bool(const std::string& path, std::string& error)> write;
    bool succeeds;  // the write goes on, to a file of its own
};

TEST_F(SafeFileTest, APlantedLinkIsNeverFollowed) {
    const PlantedCase cases[] = {
        {"Replace",
         [](const std::string& path, std::string& error) {
             return support::WriteFileAtomically(path, "written", error);
         },
         true},
        {"CreateNew",
         [](const std::string& path, std::string& error) {
             support::OutputFile file;
             return support::CreateNewFile(path, file, error);
         },
         false},
        {"Append",
         [](const std::string& path, std::string& error) {
             support::OutputFile file;
             return support::OpenForAppend(path, file, error) &&
                    std::fputs("written", file.get()) >= 0;
         },
         false},
    };
    for (const PlantedCase& c : cases) {
        const std::string link = Path(std::string("link-") + c.name);
        ASSERT_EQ(symlink(Path("victim").c_str(), link.c_str()), 0);
        std::string error;
        EXPECT_EQ(c.write(link, error), c.succeeds) << c.name << ": " << error;
        EXPECT_EQ(Read(Path("victim")), "precious") << c.name;
        if (!c.succeeds) {
            EXPECT_NE(error.find(link), std::string::npos) << c.name;
        }
    }
}

TEST_F(SafeFileTest, AppendingTakesOnlyARegularFileOfOurOwn) {
    std::string error;
    support::OutputFile file;
    ASSERT_TRUE(support::OpenForAppend(Path("victim"), file, error)) << error;
    std::fputs(" more", file.get());
    file.reset();
    EXPECT_EQ(Read(Path("victim")), "precious more");

    // A FIFO would hold the program at the open, or take what it writes elsewhere.
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0666), 0);
    EXPECT_FALSE(support::OpenForAppend(Path("fifo"), file, error));
    EXPECT_EQ(error.rfind(Path("fifo") + ": ", 0), 0u) << error;
    // A reader on it: the open succeeds, and the kind is refused.
    const int reader = open(Path("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(support::OpenForAppend(Path("fifo"), file, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    close(reader);
    // A second name of another file, in a folder that others can write to.
    ASSERT_EQ(link(Path("victim").c_str(), Path("hard").c_str()), 0);
    EXPECT_FALSE(support::OpenForAppend(Path("hard"), file, error));
    EXPECT_NE(error.find("another name"), std::string::npos) << error;
}

}  // namespace
