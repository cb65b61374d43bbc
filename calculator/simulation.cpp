#include "calculator/simulation.h"

#include <algorithm>
#include <limits>

namespace capacimo {
namespace {

// Record-size rules of the recorder: a record is its time stamp (1, 2 or 5
// bytes, by the distance to the previous record), its payload and one byte
// more; short records carry a 2-byte frame, long ones a 6-byte frame.
constexpr std::int32_t storedSize(std::int32_t timeWidth, std::int32_t payload) {
    const std::int32_t length = (timeWidth + payload + 1) % 65536;
    return length < 256 ? length + 2 : length + 6;
}

// Bytes of one analog-like value: 5 normally; totalizers of sub-kind 4 carry 9;
// in the 100 ms cycle every value is 5 bytes.
std::int32_t analogValueBytes(std::uint8_t subKind, bool fast) {
    if (fast) return 5;
    switch (subKind) {
    case 0: case 1: case 2: case 3: case 6: return 5;
    case 4: return 9;
    default: return 0;
    }
}

std::int32_t mathValueBytes(std::uint8_t kind, bool fast) {
    switch (kind) {
    case 1: case 2: case 3: case 4: return 5;
    case 5: return fast ? 5 : 9;
    case 6: return fast ? 2 : 1;
    default: return 0;
    }
}

std::int32_t digitalValueBytes(std::uint8_t kind, bool fast) {
    switch (kind) {
    case 1: case 2: case 5: return fast ? 2 : 1;
    default: return 0;
    }
}

// A writer is a group or an analysis that produces records during the run.
struct Writer {
    std::uint32_t due;      // next second it writes
    std::uint32_t period;   // seconds between records
    int records;            // records per due second
};

}  // namespace

void CCapacimo::setGroupCycles(const CConfigBlock* encoder, const StorageCycleCodes& codes) {
    encoder_ = encoder;
    codes_ = codes;
}

std::int32_t CCapacimo::groupPayload(const RecorderSetup& setup, int group, bool fast) {
    std::int32_t payload = 0;
    for (std::int16_t ch : setup.groups[group].channels) {
        if (ch >= kFirstAnalogIndex && ch < kFirstDigitalIndex) {
            payload += analogValueBytes(setup.analog[ch].subKind, fast);
        } else if (ch >= kFirstDigitalIndex && ch < kFirstMathIndex) {
            payload += digitalValueBytes(setup.digital[ch - kFirstDigitalIndex].kind, fast);
        } else if (ch >= kFirstMathIndex && ch < kFirstMathIndex + kMathChannels) {
            payload += mathValueBytes(setup.math[ch - kFirstMathIndex].kind, fast);
        }
    }
    return payload;
}

std::int32_t CCapacimo::analysisPayload(const RecorderSetup& setup) {
    std::int32_t payload = 21;
    for (const AnalogChannel& c : setup.analog) {
        if (c.kind != 0) payload += c.totalize ? 47 : 30;
    }
    for (const MathChannel& c : setup.math) {
        if (c.kind >= 1 && c.kind <= 5) payload += c.totalize ? 47 : 30;
        else if (c.kind >= 7) payload += 18;
    }
    for (const DigitalChannel& c : setup.digital) {
        if (c.kind >= 3 && c.kind <= 6) payload += 18;
    }
    return payload;
}

CCapacimo::RecordSizes CCapacimo::recordSizes(std::int32_t payload) {
    return {storedSize(1, payload), storedSize(2, payload), storedSize(5, payload)};
}

void CCapacimo::writeRecords(std::int32_t second, const RecordSizes& sizes, int count) {
    // The time stamp takes 1 byte for a gap below 128 s, 2 below 16384 s, else 5.
    const std::int32_t delta = second - previousRecordTime_;
    previousRecordTime_ = second;
    std::int32_t size = delta < 128 ? sizes.width1 : delta < 0x4000 ? sizes.width2 : sizes.width5;
    for (int r = 0; r < count; ++r) {
        if (blockFill_ + size > kBlockSize) {
            closedTotal_ += blockFill_;
            startBlock();
            size = sizes.width1;  // the first record of a block carries its time in one byte
        }
        blockFill_ += size;
        size = sizes.width1;  // further records of the same second have delta 0
    }
}

std::int32_t CCapacimo::simulate() {
    previousRecordTime_ = 0;
    closedTotal_ = 0;
    startBlock();
    if (encoder_ == nullptr) return blockFill_;
    const RecorderSetup& setup = encoder_->workingSetup();

    // Groups first in group order, then the analyses: the order decides where
    // block boundaries fall. Writers that produce nothing are left out; a record
    // of payload 0 would change nothing anyway.
    Writer writers[kGroups + kAnalyses];
    RecordSizes sizes[kGroups + kAnalyses];
    int count = 0;
    for (int g = 0; g < kGroups; ++g) {
        const int code = codes_[g];
        const int period = storageCyclePeriod(code);
        if (code == kStorageCycleOff || period < 0) continue;
        const bool fast = code == kStorageCycleFast;
        const std::int32_t payload = groupPayload(setup, g, fast);
        if (payload <= 0) continue;
        sizes[count] = recordSizes(payload);
        writers[count++] = {0, fast ? 1u : static_cast<std::uint32_t>(period), fast ? kFastRecordsPerSecond : 1};
    }
    const std::int32_t analysis = analysisPayload(setup);
    for (int k = 0; k < kAnalyses; ++k) {
        const std::int32_t period = analysisPeriod(setup.analysis.codes[k] & 0xFF);
        if (period == 0) continue;
        sizes[count] = recordSizes(analysis);
        writers[count++] = {0, static_cast<std::uint32_t>(period), 1};
    }

    // Step from one due second to the next instead of visiting all 7200: the
    // seconds in between write nothing.
    std::uint32_t t = 1;
    while (count > 0 && t <= static_cast<std::uint32_t>(kRunSeconds)) {
        std::uint32_t next = std::numeric_limits<std::uint32_t>::max();
        for (int i = 0; i < count; ++i) {
            Writer& w = writers[i];
            if (w.due <= t) {
                writeRecords(static_cast<std::int32_t>(t), sizes[i], w.records);
                w.due += w.period;
            }
            next = std::min(next, w.due);
        }
        t = std::max(t + 1, next);
    }

    return closedTotal_ != 0 ? closedTotal_ : blockFill_;
}

}  // namespace capacimo
