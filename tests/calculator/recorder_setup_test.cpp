#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "calculator/recorder_setup.h"

namespace capacimo {
namespace {

TEST(RecorderSetupInit, FillsDeviceRecordAndLeavesConfigurationOff) {
    RecorderSetup s;
    std::memset(&s, 0xAB, sizeof s);  // garbage must not survive
    initRecorderSetup(s);

    EXPECT_EQ(s.device.type, 16);
    EXPECT_EQ(s.device.length, 128);
    EXPECT_STREQ(s.device.deviceCode, "KTV00xA");
    EXPECT_STREQ(s.device.version, "00.00.00");
    EXPECT_STREQ(s.device.serialNumber, "00000000000");
    EXPECT_EQ(std::u16string(wideText(s.device.deviceName)), u"Scribent S");
    const std::uint16_t caps[8] = {40, 14, 8, 12, 0, 10, 8, 100};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s.device.capacities[i], caps[i]) << i;
    EXPECT_EQ(s.device.configuredFlag, 1);
    EXPECT_EQ(s.device.hasMath, 0);
    // The tail of the wide name is zero-filled.
    for (int i = 10; i < 31; ++i) EXPECT_EQ(s.device.deviceName[i], 0);

    for (int i = 0; i < kAnalogChannels; ++i) {
        const AnalogChannel& c = s.analog[i];
        EXPECT_EQ(c.index, i);
        EXPECT_EQ(c.kind, 0);
        EXPECT_EQ(c.totalize, 0);
        EXPECT_EQ(std::u16string(wideText(c.name)), u"Analog");
        EXPECT_EQ(std::u16string(wideText(c.unit)), u"%");
        EXPECT_EQ(c.rangeEnd, 100.0f);
    }
    EXPECT_EQ(s.math[7].type, 17);  // math records carry the analog type in the setup
    EXPECT_EQ(s.math[7].length, 116);
    EXPECT_EQ(std::u16string(wideText(s.digital[13].onText)), u"on");
    EXPECT_EQ(s.digital[13].index, 13);
    for (const ChannelGroup& g : s.groups) {
        EXPECT_EQ(std::u16string(wideText(g.name)), u"Group");
        for (std::int16_t ch : g.channels) EXPECT_EQ(ch, 0);
    }
    EXPECT_EQ(s.limits[99].index, 99);
    EXPECT_EQ(std::u16string(wideText(s.limits[99].name)), u"Limit");
    EXPECT_EQ(s.limits[99].lowerWord, 0u);
    EXPECT_EQ(s.analysis.type, 22);
    for (std::uint16_t code : s.analysis.codes) EXPECT_EQ(code, 0);
}

TEST(CodeTables, IntervalTextsFollowTheUnitRule) {
    EXPECT_EQ(intervalText(1), "1s");
    EXPECT_EQ(intervalText(59), "59s");
    EXPECT_EQ(intervalText(60), "1min");
    EXPECT_EQ(intervalText(1800), "30min");
    EXPECT_EQ(intervalText(3599), "59min");
    EXPECT_EQ(intervalText(3600), "1h");
    EXPECT_EQ(intervalText(43200), "12h");
}

TEST(CodeTables, StorageCycles) {
    EXPECT_EQ(storageCyclePeriod(0), -1);
    EXPECT_EQ(storageCyclePeriod(1), 0);
    EXPECT_EQ(storageCyclePeriod(2), 1);
    EXPECT_EQ(storageCyclePeriod(11), 60);
    EXPECT_EQ(storageCyclePeriod(18), 3600);
    EXPECT_EQ(storageCyclePeriod(19), -1);
    EXPECT_EQ(storageCyclePeriod(-1), -1);
    const char* texts[] = {"Off", "100ms", "1s",   "2s",   "3s",   "4s",   "5s",    "10s",   "15s", "20s",
                           "30s", "1min",  "2min", "3min", "4min", "5min", "10min", "30min", "1h"};
    for (int code = 0; code < kStorageCycleCodeCount; ++code) EXPECT_EQ(storageCycleText(code), texts[code]);
    EXPECT_EQ(storageCycleText(19), "");
}

TEST(CodeTables, Analyses) {
    EXPECT_EQ(analysisPeriod(0), 0);
    EXPECT_EQ(analysisPeriod(1), 0);
    EXPECT_EQ(analysisPeriod(2), 60);
    EXPECT_EQ(analysisPeriod(16), 43200);
    EXPECT_EQ(analysisPeriod(19), 2592000);
    EXPECT_EQ(analysisPeriod(20), 31536000);
    EXPECT_EQ(analysisPeriod(21), 0);
    EXPECT_EQ(analysisText(0), "no");
    EXPECT_EQ(analysisText(1), "");
    EXPECT_EQ(analysisText(2), "1min");
    EXPECT_EQ(analysisText(8), "15min");
    EXPECT_EQ(analysisText(14), "6h");
    EXPECT_EQ(analysisText(17), "daily analysis");
    EXPECT_EQ(analysisText(20), "annual analysis");
}

}  // namespace
}  // namespace capacimo
