// The recorder's setup image: the whole setup as one big-endian byte stream
// with a head, one record per setup item and an end carrying a CRC. The
// calculator needs only its length, which a medium must keep free for every
// setup image it stores; the encoder also holds the working copy of the setup
// that the memory write simulation reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "calculator/recorder_setup.h"

namespace capacimo {

// Base of the recorder's data records; only its destructor matters here.
class CDataHeader {
public:
    virtual ~CDataHeader() = default;
};

class CConfigBlock : public CDataHeader {
public:
    static constexpr std::size_t kBufferSize = 12896;
    // Every setup encodes to this many bytes: all fields have fixed widths.
    static constexpr std::uint16_t kImageLength = 11263;

    CConfigBlock();

    // Takes a complete copy of the setup; the simulation reads this copy.
    void setWorkingSetup(const RecorderSetup& setup);
    const RecorderSetup& workingSetup() const { return working_; }

    // Encodes the setup into the image buffer, stores and returns the length.
    std::uint16_t encodeSetupImage(const RecorderSetup& setup);

    // Length of the last encoded image, 0 before the first encoding.
    std::uint16_t imageLength() const { return imageLength_; }
    std::int16_t sequenceNumber() const { return sequenceNumber_; }
    // The last encoded image.
    std::span<const std::uint8_t> image() const { return {buffer_, imageLength_}; }

private:
    void put8(std::uint8_t v);
    void put16(std::uint16_t v);
    void put32(std::uint32_t v);
    void putFloat(float v);
    void putZeros(std::size_t n);
    template <std::size_t N>
    void putNarrow(const char (&text)[N]);
    template <std::size_t N>
    void putWide(const char16_t (&text)[N]);
    void poke16(std::size_t at, std::uint16_t v);
    // Index, kind, name, unit, option and state texts: the fields digital and
    // math channel records share.
    template <typename Channel>
    void putStateChannel(const Channel& c);
    // Range, totalization and its unit: the fields analog and math channel records end with.
    template <typename Channel>
    void putMeasuringRange(const Channel& c);
    // Starts a record with its type byte and a length placeholder; returns its start.
    std::size_t beginRecord(std::uint8_t type);
    void endRecord(std::size_t start);

    void writeDevice(const DeviceRecord& d);
    void writeAnalog(const AnalogChannel& c);
    void writeDigital(const DigitalChannel& c);
    void writeMath(const MathChannel& c);
    void writeGroup(const ChannelGroup& g);
    void writeLimit(const LimitRecord& l);
    void writeAnalysis(const AnalysisSettings& a);

    RecorderSetup working_;
    std::uint8_t buffer_[kBufferSize];
    std::size_t position_ = 0;
    std::uint16_t imageLength_ = 0;
    std::int16_t sequenceNumber_ = -1;
};

// CRC-16 with polynomial 0x1021, most significant bit first, no reflection and
// no final XOR; the image uses the initial value 0xFFFF.
std::uint16_t crc16(const std::uint8_t* bytes, std::size_t count, std::uint16_t initial);

}  // namespace capacimo
