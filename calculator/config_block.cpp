#include "calculator/config_block.h"

#include <array>
#include <cstring>

namespace capacimo {
namespace {

constexpr std::uint16_t kStreamStart = 0xFE01;
constexpr std::uint16_t kStreamEnd = 0xFE09;
constexpr std::uint16_t kCrcInitial = 0xFFFF;

// Record type codes of the image; fixed by the record kind.
constexpr std::uint8_t kDeviceType = 16;
constexpr std::uint8_t kAnalogType = 17;
constexpr std::uint8_t kDigitalType = 18;
constexpr std::uint8_t kMathType = 19;
constexpr std::uint8_t kGroupType = 20;
constexpr std::uint8_t kAnalysisType = 22;

// The bits of a float as they are stored. Written with memcpy rather than
// std::bit_cast because the web edition's standard library lacks bit_cast.
std::uint32_t floatBits(float v) {
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}
constexpr std::uint8_t kLimitType = 23;

constexpr std::array<std::uint16_t, 256> makeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned reg = i << 8;
        for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
        table[i] = static_cast<std::uint16_t>(reg);
    }
    return table;
}

constexpr auto kCrcTable = makeCrcTable();

// The recorder stores the plain/measured sub-kinds the other way round.
std::uint8_t imageSubKind(std::uint8_t subKind) {
    if (subKind == 0) return 1;
    if (subKind == 1) return 0;
    return subKind;
}

}  // namespace

std::uint16_t crc16(const std::uint8_t* bytes, std::size_t count, std::uint16_t initial) {
    std::uint16_t reg = initial;
    for (std::size_t i = 0; i < count; ++i) {
        reg = static_cast<std::uint16_t>(kCrcTable[((reg >> 8) ^ bytes[i]) & 0xFF] ^ (reg << 8));
    }
    return reg;
}

CConfigBlock::CConfigBlock() {
    std::memset(&working_, 0, sizeof working_);
    std::memset(buffer_, 0, sizeof buffer_);
}

void CConfigBlock::setWorkingSetup(const RecorderSetup& setup) { working_ = setup; }

void CConfigBlock::put8(std::uint8_t v) { buffer_[position_++] = v; }

void CConfigBlock::put16(std::uint16_t v) {
    put8(static_cast<std::uint8_t>(v >> 8));
    put8(static_cast<std::uint8_t>(v));
}

void CConfigBlock::put32(std::uint32_t v) {
    put16(static_cast<std::uint16_t>(v >> 16));
    put16(static_cast<std::uint16_t>(v));
}

void CConfigBlock::putFloat(float v) { put32(floatBits(v)); }

void CConfigBlock::putZeros(std::size_t n) {
    std::memset(buffer_ + position_, 0, n);
    position_ += n;
}

template <std::size_t N>
void CConfigBlock::putNarrow(const char (&text)[N]) {
    for (char ch : text) put8(static_cast<std::uint8_t>(ch));
}

template <std::size_t N>
void CConfigBlock::putWide(const char16_t (&text)[N]) {
    for (char16_t unit : text) put16(static_cast<std::uint16_t>(unit));
}

void CConfigBlock::poke16(std::size_t at, std::uint16_t v) {
    buffer_[at] = static_cast<std::uint8_t>(v >> 8);
    buffer_[at + 1] = static_cast<std::uint8_t>(v);
}

std::size_t CConfigBlock::beginRecord(std::uint8_t type) {
    const std::size_t start = position_;
    put8(type);
    put16(0);
    return start;
}

void CConfigBlock::endRecord(std::size_t start) { poke16(start + 1, static_cast<std::uint16_t>(position_ - start)); }

void CConfigBlock::writeDevice(const DeviceRecord& d) {
    const std::size_t start = beginRecord(kDeviceType);
    putNarrow(d.deviceCode);
    putNarrow(d.version);
    putNarrow(d.serialNumber);
    putWide(d.deviceName);
    for (std::uint16_t c : d.capacities) put16(c);
    for (std::uint8_t l : d.textLimits) put8(l);
    put8(1);
    put8(d.hasMath);
    put8(0);
    endRecord(start);
}

void CConfigBlock::writeAnalog(const AnalogChannel& c) {
    const std::size_t start = beginRecord(kAnalogType);
    put16(c.index);
    put8(c.kind);
    put8(imageSubKind(c.subKind));
    putWide(c.name);
    putWide(c.unit);
    put16(c.option);
    putMeasuringRange(c);
    put16(0);
    endRecord(start);
}

template <typename Channel>
void CConfigBlock::putMeasuringRange(const Channel& c) {
    putFloat(c.rangeStart);
    putFloat(c.rangeEnd);
    put8(c.totalize);
    putWide(c.totalUnit);
}

template <typename Channel>
void CConfigBlock::putStateChannel(const Channel& c) {
    put16(c.index);
    put8(c.kind);
    putWide(c.name);
    putWide(c.unit);
    put16(c.option);
    putWide(c.offText);
    putWide(c.onText);
}

void CConfigBlock::writeDigital(const DigitalChannel& c) {
    const std::size_t start = beginRecord(kDigitalType);
    putStateChannel(c);
    put16(0);
    endRecord(start);
}

void CConfigBlock::writeMath(const MathChannel& c) {
    const std::size_t start = beginRecord(kMathType);
    putStateChannel(c);    // a math channel starts like a digital one
    putMeasuringRange(c);  // and ends like an analog one
    put16(0);
    endRecord(start);
}

void CConfigBlock::writeGroup(const ChannelGroup& g) {
    const std::size_t start = beginRecord(kGroupType);
    put16(g.index);
    putWide(g.name);
    for (std::int16_t ch : g.channels) put16(static_cast<std::uint16_t>(ch));
    put16(0);
    endRecord(start);
}

void CConfigBlock::writeLimit(const LimitRecord& l) {
    const std::size_t start = beginRecord(kLimitType);
    put16(l.index);
    put16(l.mode);
    putWide(l.name);
    putZeros(8);  // the limit values are not part of the image
    put16(0);
    endRecord(start);
}

void CConfigBlock::writeAnalysis(const AnalysisSettings& a) {
    const std::size_t start = beginRecord(kAnalysisType);
    for (std::uint16_t code : a.codes) put16(code);
    for (std::uint8_t flag : a.flags) put8(flag);
    putZeros(4);
    endRecord(start);
}

std::uint16_t CConfigBlock::encodeSetupImage(const RecorderSetup& setup) {
    position_ = 0;
    put16(kStreamStart);
    put16(static_cast<std::uint16_t>(sequenceNumber_));
    put16(0);  // image length, filled in once known

    writeDevice(setup.device);
    for (const AnalogChannel& c : setup.analog) writeAnalog(c);
    for (const DigitalChannel& c : setup.digital) writeDigital(c);
    for (const MathChannel& c : setup.math) writeMath(c);
    for (const ChannelGroup& g : setup.groups) writeGroup(g);
    for (const LimitRecord& l : setup.limits) writeLimit(l);
    writeAnalysis(setup.analysis);

    // The CRC covers everything so far, with the head's length field still 0.
    put16(crc16(buffer_, position_, kCrcInitial));
    const std::size_t endLength = position_;
    put16(0);
    put16(kStreamEnd);

    imageLength_ = static_cast<std::uint16_t>(position_);
    poke16(endLength, imageLength_);
    poke16(4, imageLength_);
    return imageLength_;
}

}  // namespace capacimo
