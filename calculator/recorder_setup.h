// The recorder's setup as the "Scribent S" keeps it: a fixed sequence of typed
// records, held here as one plain value that is always copied as a whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace capacimo {

// The recorder model this calculator describes, as its device name and the
// unit's name give it: the dialog's title, setup files and reports name it too.
inline constexpr std::string_view kModelName = "Scribent S";

// Sizes of the recorder.
inline constexpr int kAnalogChannels = 40;
inline constexpr int kDigitalChannels = 14;
inline constexpr int kMathChannels = 8;
inline constexpr int kGroups = 10;
inline constexpr int kSlotsPerGroup = 8;
inline constexpr int kLimitRecords = 100;
inline constexpr int kAnalyses = 4;

// One index space for all channels, used by the group slots.
inline constexpr int kFirstAnalogIndex = 0;
inline constexpr int kFirstDigitalIndex = 40;
inline constexpr int kFirstMathIndex = 54;
inline constexpr int kEmptySlot = -1;

// Channel kinds as the recorder codes them.
namespace analog_kind {
inline constexpr std::uint8_t kOff = 0;
inline constexpr std::uint8_t kMeasured = 1;         // instantaneous value, optionally totalized
inline constexpr std::uint8_t kImpulseCounter = 36;  // always totalized, sub-kind 5
inline constexpr std::uint8_t kSubKindPlain = 0;
inline constexpr std::uint8_t kSubKindImpulse = 5;
}  // namespace analog_kind

namespace digital_kind {
inline constexpr std::uint8_t kOff = 0;
inline constexpr std::uint8_t kEvent = 2;            // on/off event or control input
inline constexpr std::uint8_t kCounter = 3;          // impulse counter or operation time
inline constexpr std::uint8_t kEventWithOpTime = 5;  // on/off event with operating time
}  // namespace digital_kind

namespace math_kind {
inline constexpr std::uint8_t kOff = 0;
inline constexpr std::uint8_t kInstantValue = 2;  // optionally totalized
inline constexpr std::uint8_t kState = 6;         // on/off event
inline constexpr std::uint8_t kCounter = 7;       // counter or operation time
}  // namespace math_kind

struct DeviceRecord {
    std::uint8_t type;
    std::uint16_t length;
    char deviceCode[8];
    char version[15];
    char serialNumber[13];
    char16_t deviceName[31];
    std::uint16_t capacities[8];
    std::uint8_t textLimits[6];
    std::uint8_t configuredFlag;  // always 1 in the image
    std::uint8_t hasMath;
    std::uint8_t spareFlag;
};

struct AnalogChannel {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t index;
    std::uint8_t kind;
    std::uint8_t subKind;
    char16_t name[17];
    char16_t unit[7];
    std::uint16_t option;
    float rangeStart;
    float rangeEnd;
    std::uint8_t totalize;
    char16_t totalUnit[7];
    std::uint16_t trailer;
};

struct DigitalChannel {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t index;
    std::uint8_t kind;
    char16_t name[17];
    char16_t unit[7];
    std::uint16_t option;
    char16_t offText[7];
    char16_t onText[7];
    std::uint16_t trailer;
};

struct MathChannel {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t index;
    std::uint8_t kind;
    char16_t name[17];
    char16_t unit[7];
    std::uint16_t option;
    char16_t offText[7];
    char16_t onText[7];
    float rangeStart;
    float rangeEnd;
    std::uint8_t totalize;
    char16_t totalUnit[7];
    std::uint16_t trailer;
};

struct ChannelGroup {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t index;
    char16_t name[21];
    std::int16_t channels[kSlotsPerGroup];  // channel indices, -1 = empty slot
    std::uint16_t trailer;
};

struct LimitRecord {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t index;
    std::uint16_t mode;
    char16_t name[17];
    std::uint32_t lowerWord;
    std::uint32_t upperWord;
    std::uint16_t trailer;
};

struct AnalysisSettings {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t codes[kAnalyses];  // analysis codes of "Analysis 1" .. "Analysis 4", 0 = none
    std::uint8_t flags[kAnalyses];
    std::uint32_t trailer;
};

struct RecorderSetup {
    DeviceRecord device;
    AnalogChannel analog[kAnalogChannels];
    DigitalChannel digital[kDigitalChannels];
    MathChannel math[kMathChannels];
    ChannelGroup groups[kGroups];
    LimitRecord limits[kLimitRecords];
    AnalysisSettings analysis;
};

static_assert(std::is_trivially_copyable_v<RecorderSetup>);
static_assert(std::is_standard_layout_v<RecorderSetup>);

// Storage-cycle codes of the ten groups, group 1 first. Kept beside the setup.
using StorageCycleCodes = std::array<std::uint8_t, kGroups>;

// Zero-fills the setup and gives every record its values after creation:
// every channel off, names "Analog", "Digital", "Math", "Group", "Limit".
void initRecorderSetup(RecorderSetup& setup);

// Storage cycles: code 0 is off, 1 is 100 ms (ten records a second), 2..18 are
// whole seconds from 1 s to 1 h.
inline constexpr int kStorageCycleCodeCount = 19;
inline constexpr std::uint8_t kStorageCycleOff = 0;
inline constexpr std::uint8_t kStorageCycleFast = 1;
// Period in seconds: -1 for off, 0 for 100 ms, -1 for codes the recorder does not know.
int storageCyclePeriod(int code);
// "Off", "100ms", "1s" .. "1h"; empty for an unknown code.
std::string storageCycleText(int code);

// Analyses: code 0 is none; 2..16 are the intervals of "Analysis 1", 17..20
// the daily, weekly, monthly (30 days) and annual (365 days) analyses.
inline constexpr int kAnalysisCodeCount = 21;
inline constexpr int kFirstIntervalAnalysisCode = 2;
inline constexpr int kLastIntervalAnalysisCode = 16;
inline constexpr int kFirstCalendarAnalysisCode = 17;
inline constexpr int kLastCalendarAnalysisCode = 20;
// Period in seconds; 0 for none, for code 1 and for unknown codes.
std::int32_t analysisPeriod(int code);
// "no", "1min" .. "12h", "daily analysis" .. "annual analysis"; empty for code 1 and unknown codes.
std::string analysisText(int code);

// "30s", "1min", "12h": seconds below a minute in s, below an hour in whole
// minutes, otherwise in whole hours, with no blank.
std::string intervalText(std::int32_t seconds);

// Length of a zero-terminated wide text held in a fixed array.
template <std::size_t N>
std::u16string_view wideText(const char16_t (&text)[N]) {
    std::size_t n = 0;
    while (n < N && text[n] != u'\0') ++n;
    return {text, n};
}

}  // namespace capacimo
