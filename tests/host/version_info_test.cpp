// Version information, the error-box text rule and the splash's minimum time.
#include "version_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host_test_support.h"
#include "splash.h"

using namespace capacimo::host;

using host_test::VersionBlockOf;

namespace {

TEST(VersionDigits, FullAndShortForm) {
    const VersionBlock block = VersionBlockOf(1, 0, 2, 0);
    EXPECT_EQ(GetVersionDigits(false, block), "1.0.2.0");
    EXPECT_EQ(GetVersionDigits(true, block), "1.0");
}

TEST(VersionDigits, UnknownWithoutInformation) {
    EXPECT_EQ(GetVersionDigits(false, VersionBlock{}), "Unknown");
    EXPECT_EQ(GetVersionDigits(true, VersionBlock{}), "Unknown");
    VersionBlock noFixed = VersionBlockOf(1, 2, 3, 4);
    noFixed.hasFixedInfo = false;
    EXPECT_EQ(GetVersionDigits(false, noFixed), "Unknown");
}

TEST(FileVersionText, FourPartsOrMaskedBuild) {
    const VersionBlock block = VersionBlockOf(1, 0, 2, 7);
    EXPECT_EQ(GetFileVersionText(false, block), "1.0.2.7");
    EXPECT_EQ(GetFileVersionText(true, block), "1.0.2.x");
    EXPECT_EQ(GetFileVersionText(false, VersionBlock{}), "");
}

TEST(VersionStrings, TranslationKeyPutsTheLanguageFirst) {
    EXPECT_EQ(TranslationKey(0x0409, 1252), "040904e4");
    EXPECT_EQ(TranslationKey(0x0407, 0x04B0), "040704b0");
}

TEST(VersionStrings, LooksUpTheFirstTranslationsTable) {
    VersionBlock block = VersionBlockOf(1, 0, 0, 0);
    block.hasTranslation = true;
    block.language = 0x0407;
    block.codePage = 0x04B0;
    block.stringTables["040904e4"] = {{"CompanyName", "wrong table"}};
    block.stringTables["040704b0"] = {{"CompanyName", "Ostrelwerk"}, {"Comments", ""}};
    EXPECT_EQ(GetVersionString("CompanyName", block), "Ostrelwerk");
    EXPECT_EQ(GetVersionString("Comments", block), "");  // present but empty
    EXPECT_EQ(GetVersionString("ProductName", block), "Unknown");

    block.codePage = 1252;  // no table for this translation
    EXPECT_EQ(GetVersionString("CompanyName", block), "Unknown");
    block.hasTranslation = false;
    EXPECT_EQ(GetVersionString("CompanyName", block), "Unknown");
    EXPECT_EQ(GetVersionString("CompanyName", VersionBlock{}), "Unknown");
}

TEST(VersionStrings, TheProgramCarriesTheBuildsVersionAndProductData) {
    const VersionBlock& block = ProgramVersionBlock();
    EXPECT_TRUE(block.VerInfoPresent);
    EXPECT_EQ(GetVersionDigits(false, block), HOST_VERSION_TEXT ".0");
    EXPECT_EQ(GetFileVersionText(false), HOST_VERSION_TEXT ".0");
    EXPECT_EQ(GetVersionString("CompanyName"), "Ostrelwerk");
    EXPECT_EQ(GetVersionString("ProductName"), "Ostrel Capacimo");
    EXPECT_EQ(GetVersionString("InternalName"), "Capacimo");
    EXPECT_EQ(GetVersionString("NoSuchString"), "Unknown");
}

// The splash wait, driven by a fake millisecond counter.
class FakeClock {
public:
    FakeClock(std::uint32_t start, std::uint32_t step) : now_(start), step_(step) {}
    std::uint32_t Read() {
        const std::uint32_t value = now_;
        now_ += step_;
        return value;
    }
    std::uint32_t now_;
    std::uint32_t step_;
};

int Wait(std::uint32_t start, FakeClock& clock, std::vector<std::uint32_t>* seen = nullptr) {
    int idles = 0;
    WaitForMinimumTime(
        start, kSplashMinimumMs,
        [&] {
            const std::uint32_t t = clock.Read();
            if (seen) seen->push_back(t);
            return t;
        },
        [&] { ++idles; });
    return idles;
}

TEST(SplashMinimumTime, WaitsUntilAFullSecondHasPassed) {
    FakeClock clock(5000, 10);
    std::vector<std::uint32_t> seen;
    const int idles = Wait(5000, clock, &seen);
    EXPECT_EQ(kSplashMinimumMs, 1000u);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 6000u);            // stopped at the first reading >= 1000 ms
    EXPECT_EQ(seen[seen.size() - 2], 5990u);  // 990 ms was not enough
    EXPECT_EQ(idles, static_cast<int>(seen.size()) - 1);
}

TEST(SplashMinimumTime, NoWaitWhenLoadingTookLonger) {
    FakeClock clock(5000 + 1500, 1);
    EXPECT_EQ(Wait(5000, clock), 0);
    FakeClock exact(5000 + 1000, 1);
    EXPECT_EQ(Wait(5000, exact), 0);
}

TEST(SplashMinimumTime, SurvivesTheCounterWrappingAround) {
    const std::uint32_t start = 0xFFFFFF00u;  // 256 ms before the wrap
    FakeClock clock(start, 8);
    std::vector<std::uint32_t> seen;
    const int idles = Wait(start, clock, &seen);
    EXPECT_EQ(seen.back(), start + 1000u);  // 744 after the wrap
    EXPECT_EQ(seen.back(), 744u);
    EXPECT_EQ(idles, 125);
}

}  // namespace
