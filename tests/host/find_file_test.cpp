#include "find_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host_test_support.h"

using capacimo::host::ffArchive;
using capacimo::host::ffDirectory;
using capacimo::host::ffHidden;
using capacimo::host::ffReadOnly;
using capacimo::host::ffSystem;
using capacimo::host::TFindFile;
using host_test::ScratchDir;
using host_test::WriteFile;

namespace {

std::vector<std::string> Names(const TFindFile& find) {
    std::vector<std::string> names;
    for (const auto& path : find.Files()) names.push_back(std::filesystem::path(path).filename().string());
    return names;
}

TFindFile LauncherSearch(const std::string& directory) {
    TFindFile find;
    find.Directory = directory;
    find.Filter = "*.so";
    find.Attributes = ffReadOnly | ffHidden | ffArchive;
    return find;
}

TEST(FindFileSearch, FindsMatchingFilesWithFullPathsInNameOrder) {
    ScratchDir dir;
    WriteFile(dir.path() / "b.so", "x");
    WriteFile(dir.path() / "A.so", "x");
    WriteFile(dir.path() / "c.SO", "x");
    WriteFile(dir.path() / "notes.txt", "x");
    WriteFile(dir.path() / "unit.so.1", "x");
    WriteFile(dir.path() / "unitso", "x");
    TFindFile find = LauncherSearch(dir.str());  // no trailing separator
    find.Execute();
    ASSERT_EQ(find.Files().size(), 3u);
    EXPECT_EQ(find.Files()[0], (dir.path() / "A.so").string());
    EXPECT_EQ(Names(find), (std::vector<std::string>{"A.so", "b.so", "c.SO"}));
}

TEST(FindFileSearch, HiddenFilesFollowTheMask) {
    ScratchDir dir;
    WriteFile(dir.path() / ".hidden.so", "x");
    TFindFile find = LauncherSearch(dir.str());
    find.Execute();
    EXPECT_EQ(Names(find), std::vector<std::string>{".hidden.so"});

    find.Attributes = ffReadOnly | ffArchive;
    find.Execute();
    EXPECT_TRUE(find.Files().empty());
}

TEST(FindFileSearch, DirectoriesNamedLikeLibrariesArePassedOverUnlessAsked) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "folder.so");
    WriteFile(dir.path() / "real.so", "x");
    TFindFile find = LauncherSearch(dir.str());
    find.Execute();
    EXPECT_EQ(Names(find), std::vector<std::string>{"real.so"});

    find.Attributes |= ffDirectory;
    find.Execute();
    EXPECT_EQ(Names(find), (std::vector<std::string>{"folder.so", "real.so"}));
}

TEST(FindFileSearch, FifosAndSocketsAreSystemEntries) {
    ScratchDir dir;
    host_test::MakeFifo(dir.path() / "pipe.so");
    host_test::SocketFile socket(dir.path() / "sock.so");
    WriteFile(dir.path() / "real.so", "x");
    TFindFile find = LauncherSearch(dir.str());
    find.Execute();  // must return: a FIFO is never opened
    EXPECT_EQ(Names(find), std::vector<std::string>{"real.so"});

    find.Attributes |= ffSystem;
    find.Execute();
    EXPECT_EQ(Names(find), (std::vector<std::string>{"pipe.so", "real.so", "sock.so"}));
}

TEST(FindFileSearch, SymlinksCountAsWhatTheyPointTo) {
    ScratchDir dir;
    WriteFile(dir.path() / "target.bin", "x");
    std::filesystem::create_symlink(dir.path() / "target.bin", dir.path() / "link.so");
    std::filesystem::create_symlink(dir.path() / "missing.bin", dir.path() / "dangling.so");
    TFindFile find = LauncherSearch(dir.str());
    find.Execute();
    EXPECT_EQ(Names(find), std::vector<std::string>{"link.so"});
}

TEST(FindFileSearch, EachExecuteReplacesTheResult) {
    ScratchDir one;
    ScratchDir two;
    WriteFile(one.path() / "one.so", "x");
    WriteFile(two.path() / "two.so", "x");
    TFindFile find = LauncherSearch(one.str());
    find.Execute();
    find.Directory = two.str();
    find.Execute();
    EXPECT_EQ(Names(find), std::vector<std::string>{"two.so"});

    find.Directory.clear();
    find.Execute();
    EXPECT_TRUE(find.Files().empty());
}

TEST(FindFileSearch, DefaultsFindEveryFileButNoDirectory) {
    ScratchDir dir;
    WriteFile(dir.path() / "plain", "x");
    WriteFile(dir.path() / ".dot", "x");
    std::filesystem::create_directories(dir.path() / "sub.d");
    TFindFile find;
    find.Directory = dir.str();
    find.Execute();
    EXPECT_EQ(Names(find), (std::vector<std::string>{".dot", "plain"}));
}

}  // namespace
