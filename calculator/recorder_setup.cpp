#include "calculator/recorder_setup.h"

#include <algorithm>
#include <cstring>

namespace capacimo {
namespace {

// Copies text into a fixed array; the rest of the array stays zero, which also
// terminates the text when it is shorter than the array.
template <typename Char, std::size_t N>
void setText(Char (&field)[N], std::basic_string_view<Char> text) {
    std::fill(std::begin(field), std::end(field), Char{0});
    text = text.substr(0, N);
    std::copy(text.begin(), text.end(), field);
}

constexpr std::int32_t kStoragePeriods[kStorageCycleCodeCount] = {-1, 0,  1,   2,   3,   4,   5,   10,   15,  20,
                                                                  30, 60, 120, 180, 240, 300, 600, 1800, 3600};

constexpr std::int32_t kAnalysisPeriods[kAnalysisCodeCount] = {0,     0,     60,    120,   180,    240,     300,
                                                               600,   900,   1800,  3600,  7200,   10800,   14400,
                                                               21600, 28800, 43200, 86400, 604800, 2592000, 31536000};

// The head every channel record starts with, its name and option.
template <typename Channel>
void initChannel(Channel& c, std::uint8_t type, std::uint16_t length, int index, std::u16string_view name) {
    c.type = type;
    c.length = length;
    c.index = static_cast<std::uint16_t>(index);
    setText(c.name, name);
    c.option = 1;
}

// Digital and math channels show a state with these texts.
template <typename Channel>
void initStateTexts(Channel& c) {
    setText(c.offText, std::u16string_view(u"off"));
    setText(c.onText, std::u16string_view(u"on"));
}

}  // namespace

void initRecorderSetup(RecorderSetup& setup) {
    std::memset(&setup, 0, sizeof setup);

    DeviceRecord& d = setup.device;
    d.type = 16;
    d.length = 128;
    setText(d.deviceCode, std::string_view("KTV00xA"));
    setText(d.version, std::string_view("00.00.00"));
    setText(d.serialNumber, std::string_view("00000000000"));
    setText(d.deviceName, std::u16string_view(std::u16string(kModelName.begin(), kModelName.end())));  // ASCII
    const std::uint16_t capacities[8] = {kAnalogChannels, kDigitalChannels, kMathChannels, 12, 0,
                                         kGroups,         kSlotsPerGroup,   kLimitRecords};
    std::copy(std::begin(capacities), std::end(capacities), d.capacities);
    // Room for device name, channel name, serial, unit/off/on texts, group name, unit.
    const std::uint8_t textLimits[6] = {30, 16, 13, 6, 20, 6};
    std::copy(std::begin(textLimits), std::end(textLimits), d.textLimits);
    d.configuredFlag = 1;
    d.hasMath = 0;
    d.spareFlag = 0;

    for (int i = 0; i < kAnalogChannels; ++i) {
        AnalogChannel& c = setup.analog[i];
        initChannel(c, 17, 88, i, u"Analog");
        setText(c.unit, std::u16string_view(u"%"));
        c.rangeStart = 0.0f;
        c.rangeEnd = 100.0f;
    }
    for (int i = 0; i < kDigitalChannels; ++i) {
        initChannel(setup.digital[i], 18, 88, i, u"Digital");
        initStateTexts(setup.digital[i]);
    }
    for (int i = 0; i < kMathChannels; ++i) {
        MathChannel& c = setup.math[i];
        // The recorder keeps math records under the analog type code.
        initChannel(c, 17, 116, i, u"Math");
        initStateTexts(c);
        c.rangeStart = 0.0f;
        c.rangeEnd = 100.0f;
    }
    for (int i = 0; i < kGroups; ++i) {
        ChannelGroup& g = setup.groups[i];
        g.type = 20;
        g.length = 66;
        g.index = static_cast<std::uint16_t>(i);
        setText(g.name, std::u16string_view(u"Group"));
    }
    for (int i = 0; i < kLimitRecords; ++i) {
        LimitRecord& l = setup.limits[i];
        l.type = 23;
        l.length = 64;
        l.index = static_cast<std::uint16_t>(i);
        setText(l.name, std::u16string_view(u"Limit"));
    }
    setup.analysis.type = 22;
    setup.analysis.length = 20;
}

int storageCyclePeriod(int code) {
    if (code < 0 || code >= kStorageCycleCodeCount) return -1;
    return kStoragePeriods[code];
}

std::string storageCycleText(int code) {
    if (code == kStorageCycleOff) return "Off";
    if (code == kStorageCycleFast) return "100ms";
    if (code < 0 || code >= kStorageCycleCodeCount) return {};
    return intervalText(kStoragePeriods[code]);
}

std::int32_t analysisPeriod(int code) {
    if (code < 0 || code >= kAnalysisCodeCount) return 0;
    return kAnalysisPeriods[code];
}

std::string analysisText(int code) {
    switch (code) {
    case 0: return "no";
    case 17: return "daily analysis";
    case 18: return "weekly analysis";
    case 19: return "monthly analysis";
    case 20: return "annual analysis";
    default: break;
    }
    if (code < kFirstIntervalAnalysisCode || code > kLastIntervalAnalysisCode) return {};
    return intervalText(kAnalysisPeriods[code]);
}

std::string intervalText(std::int32_t seconds) {
    if (seconds < 60) return std::to_string(seconds) + "s";
    if (seconds >= 3600) return std::to_string(seconds / 3600) + "h";
    return std::to_string(seconds / 60) + "min";
}

}  // namespace capacimo
