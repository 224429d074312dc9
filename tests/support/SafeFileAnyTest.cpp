// Atomic replacement and new files, on every platform (the Windows calls under Wine too).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/SafeFile.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SafeFileAnyTest, ReplacesWholeKeepsTheOldOnFailureAndNeverOverwritesANewFile) {
    const fs::path dir = fs::path(::testing::TempDir()) / "safe-file-any";
    fs::remove_all(dir);
    fs::create_directories(dir / "folder" / "inside");
    const std::string path = (dir / "profile.json").string();
    std::ofstream(path, std::ios::binary) << "an old text, longer than the new one";
    std::string error;
    ASSERT_TRUE(support::WriteFileAtomically(path, "new", error)) << error;
    EXPECT_EQ(Read(path), "new");
    // A folder in the way: the write fails and leaves no temporary file behind.
    EXPECT_FALSE(support::WriteFileAtomically((dir / "folder").string(), "x", error));
    EXPECT_TRUE(fs::is_directory(dir / "folder" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    EXPECT_FALSE(support::WriteFileAtomically((dir / "missing" / "x.json").string(), "x", error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;

    support::OutputFile file;
    EXPECT_FALSE(support::CreateNewFile(path, file, error));
    EXPECT_EQ(error, path + ": exists already, and is not replaced");
    EXPECT_EQ(Read(path), "new");
    const std::string fresh = (dir / "run.trace").string();
    ASSERT_TRUE(support::CreateNewFile(fresh, file, error)) << error;
    std::fputs("line\n", file.get());
    file.reset();
    EXPECT_EQ(Read(fresh), "line\n");
    fs::remove_all(dir);
}

}  // namespace
