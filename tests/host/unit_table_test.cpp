#include "unit_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host_test_support.h"

using capacimo::host::CUnitTable;
using capacimo::host::StripUnitName;
using capacimo::host::UnitEntry;
using host_test::CallsOf;
using host_test::IsLoaded;
using host_test::PlaceFixture;
using host_test::ScratchDir;
using host_test::WriteFile;
namespace fs = std::filesystem;

namespace {

// A unit table whose messages are collected instead of shown.
class UnitTableTest : public testing::Test {
protected:
    UnitTableTest()
        : table(CUnitTable::Sinks{[this](const std::string& name) { accepted.push_back(name); },
                                  [this](const std::string& line) { diagnostics.push_back(line); },
                                  [this](const std::string& text) { boxes.push_back(text); }}) {}

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : table.Entries()) names.push_back(entry.name);
        return names;
    }

    ScratchDir dir;
    std::vector<std::string> accepted;
    std::vector<std::string> diagnostics;
    std::vector<std::string> boxes;
    CUnitTable table;
};

TEST(StripUnitName, RemovesControlCodesAndBlanksAtBothEndsOnly) {
    EXPECT_EQ(StripUnitName("  Scribent S \t\r\n"), "Scribent S");
    EXPECT_EQ(StripUnitName(std::string("\x01\x1f X \x20", 6)), "X");
    EXPECT_EQ(StripUnitName("   "), "");
    EXPECT_EQ(StripUnitName(""), "");
    // Bytes above 127 (UTF-8 letters) are text, not blanks.
    EXPECT_EQ(StripUnitName("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
}

TEST_F(UnitTableTest, AcceptsAUnitAndKeepsItLoaded) {
    const fs::path path = PlaceFixture("fx_alpha", dir.path(), "alpha.so");
    EXPECT_TRUE(table.LoadUnit(path.string()));
    ASSERT_EQ(table.Count(), 1u);
    const auto& entry = table.Entries()[0];
    EXPECT_EQ(entry.name, "Alpha");
    EXPECT_TRUE(entry.library && entry.library->isLoaded());
    EXPECT_NE(entry.GetUnitName, nullptr);
    EXPECT_NE(entry.InitDll, nullptr);
    EXPECT_NE(entry.CloseDll, nullptr);
    EXPECT_NE(entry.ExecuteDLL, nullptr);
    EXPECT_EQ(accepted, std::vector<std::string>{"Alpha"});
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_TRUE(IsLoaded(path));
}

TEST_F(UnitTableTest, StripsSurroundingBlanksFromTheName) {
    EXPECT_TRUE(table.LoadUnit(PlaceFixture("fx_padded", dir.path(), "padded.so").string()));
    EXPECT_EQ(Names(), std::vector<std::string>{"Padded Unit"});
}

TEST_F(UnitTableTest, LongNamesAreCutAtTheSizeTheHostPasses) {
    EXPECT_TRUE(table.LoadUnit(PlaceFixture("fx_long", dir.path(), "long.so").string()));
    ASSERT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.Entries()[0].name, std::string(254, 'L'));
}

// A unit that ignores the size it was given and writes no terminator: the
// host survives it, and its own terminator at index 255 ends the name.
TEST_F(UnitTableTest, ANameWrittenPastTheSizeIsCutAtTheHostsTerminator) {
    for (const char* bytes : {"255", "256", "300", "4000"}) {
        SCOPED_TRACE(bytes);
        CUnitTable fresh({{}, {}, [](const std::string&) {}});
        const std::string fixture = std::string("fx_writes") + bytes;
        EXPECT_TRUE(fresh.LoadUnit(PlaceFixture(fixture.c_str(), dir.path(), fixture + ".so").string()));
        ASSERT_EQ(fresh.Count(), 1u);
        EXPECT_EQ(fresh.Entries()[0].name, std::string(255, 'W'));
    }
}

TEST_F(UnitTableTest, AFailureRaisedWhileNamingIsShownAndTheFileSkipped) {
    const fs::path path = PlaceFixture("fx_namethrows", dir.path(), "candidate.so");
    EXPECT_FALSE(table.LoadUnit(path.string()));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(boxes, std::vector<std::string>{"name lookup failed"});
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find(path.string()), std::string::npos) << diagnostics[0];
    EXPECT_FALSE(IsLoaded(path));
}

// Every kind of candidate that is no unit: nothing kept, nothing left
// loaded, one diagnostic line naming the file, no message box.
struct BadCandidate {
    const char* label;
    const char* fixture;  // a fixture library, or nullptr for a file written by the test
    std::string content;
};

void PrintTo(const BadCandidate& bad, std::ostream* out) { *out << bad.label; }

class RejectedCandidate : public UnitTableTest, public testing::WithParamInterface<BadCandidate> {};

TEST_P(RejectedCandidate, IsSkippedUnloadedAndReportedOnce) {
    const BadCandidate& bad = GetParam();
    const fs::path path = bad.fixture != nullptr ? PlaceFixture(bad.fixture, dir.path(), "candidate.so")
                                                 : WriteFile(dir.path() / "candidate.so", bad.content);
    EXPECT_TRUE(table.LoadUnit(path.string()) == false);
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_TRUE(accepted.empty());
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0].find(path.string()), std::string::npos) << diagnostics[0];
    EXPECT_EQ(diagnostics[0].find('\n'), std::string::npos);
    EXPECT_FALSE(IsLoaded(path));
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, RejectedCandidate,
    testing::Values(BadCandidate{"NoEntryPoints", "fx_noentries", {}}, BadCandidate{"ThreeOfFour", "fx_three", {}},
                    BadCandidate{"BlankName", "fx_blank", {}}, BadCandidate{"ZeroLength", nullptr, {}},
                    BadCandidate{"Garbage", nullptr,
                                 std::string("\x7f"
                                             "ELF") +
                                     std::string(40, '\0') + "garbage"},
                    BadCandidate{"Text", nullptr, "just some text\n"}),
    [](const testing::TestParamInfo<BadCandidate>& candidate) { return std::string(candidate.param.label); });

TEST_F(UnitTableTest, RejectingOneCandidateKeepsTheUnitsBeforeIt) {
    PlaceFixture("fx_alpha", dir.path(), "a.so");
    PlaceFixture("fx_blank", dir.path(), "b.so");
    PlaceFixture("fx_gamma", dir.path(), "c.so");
    EXPECT_TRUE(table.SearchUnits(dir.str()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(diagnostics.size(), 1u);
    EXPECT_TRUE(IsLoaded(dir.path() / "a.so"));
    EXPECT_FALSE(IsLoaded(dir.path() / "b.so"));
}

TEST_F(UnitTableTest, SearchesTheProgramDirectoryFirstThenDLLs) {
    PlaceFixture("fx_gamma", dir.path(), "z.so");
    PlaceFixture("fx_alpha", dir.Units(), "a.so");
    PlaceFixture("fx_beta", dir.Units(), "b.so");
    PlaceFixture("fx_twin", dir.Units() / "nested", "deep.so");
    EXPECT_TRUE(table.SearchUnits(dir.str() + "/"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Gamma", "Alpha", "beta"}));
    EXPECT_EQ(accepted, Names());
}

// Entries named like units that are no files are each skipped with a line
// that names them and says what they are.
TEST_F(UnitTableTest, FindsHiddenAndUpperCaseFilesAndNamesEachNonFile) {
    PlaceFixture("fx_alpha", dir.Units(), ".hidden.so");
    PlaceFixture("fx_beta", dir.Units(), "UPPER.SO");
    fs::create_directories(dir.Units() / "folder.so");
    host_test::MakeFifo(dir.Units() / "pipe.so");
    fs::create_symlink("nowhere.so", dir.Units() / "dangling.so");
    fs::create_symlink("loop.so", dir.Units() / "loop.so");
    EXPECT_TRUE(table.SearchUnits(dir.str()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "beta"}));
    const std::string units = dir.Units().string() + "/";
    EXPECT_EQ(diagnostics, (std::vector<std::string>{
                               "Capacimo: skipped " + units + "dangling.so: a symbolic link to nothing",
                               "Capacimo: skipped " + units + "folder.so: a directory, not a file",
                               "Capacimo: skipped " + units + "loop.so: a loop of symbolic links",
                               "Capacimo: skipped " + units + "pipe.so: a FIFO, not a file",
                           }));
}

TEST_F(UnitTableTest, LoadUnitRefusesWhatIsNotARegularFile) {
    const fs::path fifo = host_test::MakeFifo(dir.path() / "pipe.so");
    fs::create_directories(dir.path() / "folder.so");
    EXPECT_FALSE(table.LoadUnit(fifo.string()));  // must not block
    EXPECT_FALSE(table.LoadUnit((dir.path() / "folder.so").string()));
    EXPECT_FALSE(table.LoadUnit((dir.path() / "vanished.so").string()));
    EXPECT_EQ(table.Count(), 0u);
    EXPECT_EQ(diagnostics.size(), 3u);
}

TEST_F(UnitTableTest, NothingFoundIsFalse) {
    EXPECT_FALSE(table.SearchUnits(dir.str()));
    EXPECT_FALSE(table.SearchUnits((dir.path() / "absent").string()));
    EXPECT_EQ(table.Count(), 0u);
}

TEST_F(UnitTableTest, SameNameTwiceIsKeptTwiceAndTheFirstIsFound) {
    PlaceFixture("fx_twin", dir.path(), "twin.so");
    PlaceFixture("fx_twin", dir.Units(), "twin.so");
    EXPECT_TRUE(table.SearchUnits(dir.str()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Twin", "Twin"}));
    EXPECT_TRUE(IsLoaded(dir.path() / "twin.so") && IsLoaded(dir.Units() / "twin.so"));
    EXPECT_EQ(table.IndexOfName("twin"), 0);
    EXPECT_EQ(table.IndexOfName("TWIN"), 0);
    EXPECT_EQ(table.IndexOfName("Twins"), -1);
}

TEST_F(UnitTableTest, FreeAllUnitsUnloadsEveryLibraryAndKeepsTheEntries) {
    const fs::path a = PlaceFixture("fx_alpha", dir.path(), "a.so");
    const fs::path b = PlaceFixture("fx_beta", dir.Units(), "b.so");
    table.SearchUnits(dir.str());
    ASSERT_TRUE(IsLoaded(a));
    ASSERT_TRUE(IsLoaded(b));
    EXPECT_TRUE(table.FreeAllUnits());
    EXPECT_FALSE(IsLoaded(a));
    EXPECT_FALSE(IsLoaded(b));
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_TRUE(table.FreeAllUnits());  // nothing is unloaded twice
    EXPECT_TRUE(boxes.empty());
}

TEST(UnitTableLog, EachRejectedCandidateIsOneLineOnStderr) {
    ScratchDir dir;
    PlaceFixture("fx_alpha", dir.path(), "alpha.so");
    PlaceFixture("fx_three", dir.path(), "three.so");
    WriteFile(dir.Units() / "empty.so", "");
    WriteFile(dir.Units() / "garbage.so", "not a library at all");
    host_test::MakeFifo(dir.Units() / "pipe.so");
    CUnitTable table;  // default sinks
    testing::internal::CaptureStderr();
    table.SearchUnits(dir.str());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(table.Count(), 1u);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
    for (const char* name : {"three.so", "empty.so", "garbage.so", "pipe.so"})
        EXPECT_NE(log.find(name), std::string::npos) << log;
}

TEST(UnitTableLifetime, DestroyingTheTableUnloadsWhatIsStillLoaded) {
    ScratchDir dir;
    const fs::path a = PlaceFixture("fx_alpha", dir.path(), "a.so");
    {
        CUnitTable table(CUnitTable::Sinks{{}, [](const std::string&) {}, [](const std::string&) {}});
        table.SearchUnits(dir.str());
        ASSERT_TRUE(IsLoaded(a));
    }
    EXPECT_FALSE(IsLoaded(a));
}

// One run of a unit: InitDll(parent, -1, 0), ExecuteDLL only after a true
// InitDll, CloseDll always; what escapes the unit goes to the error box.
class RunUnitTest : public UnitTableTest {
protected:
    const UnitEntry& Load(const char* fixture) {
        EXPECT_TRUE(table.LoadUnit(PlaceFixture(fixture, dir.path(), std::string(fixture) + ".so").string()));
        return table.Entries().back();
    }
    void ExpectCalls(const UnitEntry& unit, int init, int execute, int close) {
        const host_test::Calls calls = CallsOf(unit);
        EXPECT_EQ(calls.init, init);
        EXPECT_EQ(calls.execute, execute);
        EXPECT_EQ(calls.close, close);
    }
};

TEST_F(RunUnitTest, CallsAllThreeInOrderWithTheHostWindow) {
    const UnitEntry& module = Load("fx_alpha");
    table.RunUnit(0, 0xABCDEF);
    ExpectCalls(module, 1, 1, 1);
    const host_test::InitArguments args = host_test::LastInitOf(module);
    EXPECT_EQ(args.parent, UnitWindowHandle{0xABCDEF});
    EXPECT_EQ(args.reserved1, -1);
    EXPECT_EQ(args.reserved2, 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RunUnitTest, InitDllFalseSkipsExecuteButStillCloses) {
    const UnitEntry& module = Load("fx_initfalse");
    table.RunUnit(0, 1);
    ExpectCalls(module, 1, 0, 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RunUnitTest, ThrowingInitDllIsShownAndEndsTheRun) {
    const UnitEntry& module = Load("fx_thrower");
    host_test::ThrowIn(module, 1);
    table.RunUnit(0, 1);
    ExpectCalls(module, 1, 0, 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"InitDll exploded"});
}

TEST_F(RunUnitTest, ThrowingExecuteDllIsShownAndCloseStillRuns) {
    const UnitEntry& module = Load("fx_thrower");
    host_test::ThrowIn(module, 2);
    table.RunUnit(0, 1);
    ExpectCalls(module, 1, 1, 1);
    EXPECT_EQ(boxes, std::vector<std::string>{"ExecuteDLL exploded"});
}

TEST_F(RunUnitTest, ThrowingAnythingFromCloseDllIsCaught) {
    const UnitEntry& module = Load("fx_thrower");
    host_test::ThrowIn(module, 3);
    table.RunUnit(0, 1);
    ExpectCalls(module, 1, 1, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(boxes[0].empty());
    // The unit is still usable afterwards.
    host_test::ThrowIn(module, 0);
    table.RunUnit(0, 1);
    ExpectCalls(module, 2, 2, 2);
}

}  // namespace
