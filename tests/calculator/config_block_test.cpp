#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "calculator/config_block.h"

namespace capacimo {
namespace {

std::vector<std::uint8_t> encode(const RecorderSetup& s) {
    auto block = std::make_unique<CConfigBlock>();
    const std::uint16_t length = block->encodeSetupImage(s);
    EXPECT_EQ(block->imageLength(), length);
    auto image = block->image();
    return {image.begin(), image.end()};
}

RecorderSetup zeroSetup() {
    RecorderSetup s;
    std::memset(&s, 0, sizeof s);
    return s;
}

RecorderSetup initialSetup() {
    RecorderSetup s;
    initRecorderSetup(s);
    return s;
}

std::uint16_t be16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}

// Offsets of the first record of each kind.
constexpr std::size_t kDevice = 6;
constexpr std::size_t kAnalog = kDevice + 126;
constexpr std::size_t kDigital = kAnalog + 40 * 82;
constexpr std::size_t kMath = kDigital + 14 * 86;
constexpr std::size_t kGroup = kMath + 8 * 109;
constexpr std::size_t kLimit = kGroup + 10 * 65;
constexpr std::size_t kAnalysis = kLimit + 100 * 51;

TEST(Crc16, KnownCheckValue) {
    const char* check = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t*>(check), 9, 0xFFFF), 0x29B1);
    const std::uint8_t zero = 0;
    EXPECT_EQ(crc16(&zero, 1, 0), 0);
}

TEST(SetupImage, HeadEndAndLengthAreFixed) {
    auto block = std::make_unique<CConfigBlock>();
    EXPECT_EQ(block->imageLength(), 0);
    EXPECT_EQ(block->sequenceNumber(), -1);
    for (const RecorderSetup& s : {zeroSetup(), initialSetup()}) {
        const auto img = encode(s);
        ASSERT_EQ(img.size(), 11263u);
        EXPECT_EQ(std::vector<std::uint8_t>(img.begin(), img.begin() + 6),
                  (std::vector<std::uint8_t>{0xFE, 0x01, 0xFF, 0xFF, 0x2B, 0xFF}));
        EXPECT_EQ(std::vector<std::uint8_t>(img.end() - 4, img.end()),
                  (std::vector<std::uint8_t>{0x2B, 0xFF, 0xFE, 0x09}));
    }
}

TEST(SetupImage, AllZeroSetupHasKnownCrc) {
    const auto img = encode(zeroSetup());
    EXPECT_EQ(be16(img, img.size() - 6), 0xBE12);
    EXPECT_EQ(img[kAnalog + 6], 1);  // sub-kind 0 is written as 1
    EXPECT_EQ(img[kDevice + 123], 1);
}

TEST(SetupImage, RecordTypesAndLengths) {
    const auto img = encode(initialSetup());
    const struct {
        std::size_t at;
        std::uint8_t type;
        std::uint16_t length;
        int count;
    } kinds[] = {{kDevice, 16, 126, 1}, {kAnalog, 17, 82, 40}, {kDigital, 18, 86, 14}, {kMath, 19, 109, 8},
                 {kGroup, 20, 65, 10},  {kLimit, 23, 51, 100}, {kAnalysis, 22, 19, 1}};
    for (const auto& k : kinds) {
        for (int i = 0; i < k.count; ++i) {
            const std::size_t at = k.at + static_cast<std::size_t>(i) * k.length;
            ASSERT_EQ(img[at], k.type) << "record " << i << " at " << at;
            ASSERT_EQ(be16(img, at + 1), k.length);
            if (k.count > 1) {
                ASSERT_EQ(be16(img, at + 3), i);
            }
        }
    }
}

TEST(SetupImage, FieldEncoding) {
    RecorderSetup s = initialSetup();
    s.analog[0].subKind = 5;
    s.analog[1].subKind = 1;
    s.analog[2].rangeEnd = 100.0f;
    s.groups[0].channels[0] = -1;
    s.groups[0].channels[1] = 54;
    s.analysis.codes[3] = 20;
    s.device.hasMath = 1;
    s.limits[0].lowerWord = 0xDEADBEEF;  // limit values never enter the image
    const auto img = encode(s);

    EXPECT_EQ(img[kAnalog + 6], 5);
    EXPECT_EQ(img[kAnalog + 82 + 6], 0);  // 1 is written as 0
    EXPECT_EQ(img[kAnalog + 2 * 82 + 6], 1);
    // 100.0f is 0x42C80000, big-endian.
    EXPECT_EQ(std::vector<std::uint8_t>(img.begin() + kAnalog + 2 * 82 + 61, img.begin() + kAnalog + 2 * 82 + 65),
              (std::vector<std::uint8_t>{0x42, 0xC8, 0x00, 0x00}));
    // "Group" in a 21-unit field: five big-endian units, then 32 zero bytes.
    const std::vector<std::uint8_t> group(img.begin() + kGroup + 5, img.begin() + kGroup + 47);
    std::vector<std::uint8_t> expected{0x00, 0x47, 0x00, 0x72, 0x00, 0x6F, 0x00, 0x75, 0x00, 0x70};
    expected.resize(42, 0);
    EXPECT_EQ(group, expected);
    EXPECT_EQ(be16(img, kGroup + 47), 0xFFFF);
    EXPECT_EQ(be16(img, kGroup + 49), 54);
    EXPECT_EQ(be16(img, kAnalysis + 3 + 6), 20);
    EXPECT_EQ(img[kDevice + 124], 1);
    EXPECT_EQ(std::memcmp(&img[kDevice + 3], "KTV00xA", 8), 0);
    for (std::size_t i = kLimit + 41; i < kLimit + 49; ++i) EXPECT_EQ(img[i], 0);
}

TEST(SetupImage, CrcCoversContentButNotTheHeadLength) {
    const auto base = encode(initialSetup());
    RecorderSetup changed = initialSetup();
    changed.math[3].totalize = 1;
    const auto img = encode(changed);
    ASSERT_EQ(img.size(), base.size());
    EXPECT_NE(be16(img, img.size() - 6), be16(base, base.size() - 6));

    // Recompute the CRC with the head's length field zeroed, as the encoder does.
    std::vector<std::uint8_t> copy(img.begin(), img.end() - 6);
    copy[4] = copy[5] = 0;
    EXPECT_EQ(crc16(copy.data(), copy.size(), 0xFFFF), be16(img, img.size() - 6));
}

TEST(SetupImage, WorkingCopyIsIndependent) {
    auto block = std::make_unique<CConfigBlock>();
    RecorderSetup s = initialSetup();
    s.analog[3].kind = 1;
    block->setWorkingSetup(s);
    s.analog[3].kind = 0;
    EXPECT_EQ(block->workingSetup().analog[3].kind, 1);
}

}  // namespace
}  // namespace capacimo
