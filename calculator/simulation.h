// Replays two hours of the recorder writing its memory. Every group writes one
// record per storage cycle (ten a second in the 100 ms cycle), every active
// signal analysis one record per analysis period; each record is sized by the
// recorder's rules and packed into 8192-byte blocks. The result is W, the bytes
// that two hours of operation occupy.
#pragma once

#include <cstdint>

#include "calculator/config_block.h"
#include "calculator/recorder_setup.h"

namespace capacimo {

class CCapacimo {
public:
    static constexpr std::int32_t kBlockSize = 8192;
    static constexpr std::int32_t kBlockHeader = 41;
    static constexpr std::int32_t kRunSeconds = 7200;
    static constexpr int kFastRecordsPerSecond = 10;

    // Binds the encoder whose working setup the run reads, and takes the ten
    // storage-cycle codes, group 1 first.
    void setGroupCycles(const CConfigBlock* encoder, const StorageCycleCodes& codes);

    // Runs 7200 seconds and returns the bytes written (at least one block header).
    // Without a bound encoder nothing is written.
    std::int32_t simulate();

    // Payload of one record of a group, by its slots' channels and the cycle.
    static std::int32_t groupPayload(const RecorderSetup& setup, int group, bool fast);
    // Payload of one analysis record; the same for all four analyses.
    static std::int32_t analysisPayload(const RecorderSetup& setup);

    std::int32_t blockFill() const { return blockFill_; }
    std::int32_t closedTotal() const { return closedTotal_; }

private:
    // Stored sizes of one payload for the three time widths (1, 2, 5 bytes).
    struct RecordSizes {
        std::int32_t width1 = 0;
        std::int32_t width2 = 0;
        std::int32_t width5 = 0;
    };
    static RecordSizes recordSizes(std::int32_t payload);

    void startBlock() { blockFill_ = kBlockHeader; }
    // Accounts count records of one payload, all written at the same second.
    void writeRecords(std::int32_t second, const RecordSizes& sizes, int count);

    std::int32_t blockFill_ = 0;
    std::int32_t closedTotal_ = 0;
    const CConfigBlock* encoder_ = nullptr;
    StorageCycleCodes codes_{};
    std::int32_t previousRecordTime_ = 0;
};

}  // namespace capacimo
