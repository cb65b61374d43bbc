// Replays two hours of the recorder writing its memory. Every group writes one
// record per storage cycle (ten a second in the 100 ms cycle), every active
// signal analysis one record per analysis period; each record is sized by the
// recorder's rules and packed into 8192-byte blocks. The result is W, the bytes
// that two hours of operation occupy.
#pragma once

#include <array>
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

    // The writers of a run: groups 1 to 10 are writers 0 to 9, analyses 1 to 4
    // are writers 10 to 13. Within one second they write in this order.
    static constexpr int kWriters = kGroups + kAnalyses;
    static constexpr int kFirstAnalysisWriter = kGroups;

    // What one writer wrote during a run: its records and the bytes they occupy
    // as stored, each record with the time width it was written with.
    struct WriterTally {
        std::int32_t records = 0;
        std::int64_t bytes = 0;
    };

    // Binds the encoder whose working setup the run reads, and takes the ten
    // storage-cycle codes, group 1 first.
    void setGroupCycles(const CConfigBlock* encoder, const StorageCycleCodes& codes);

    // Runs 7200 seconds and returns the bytes written (at least one block header).
    // Without a bound encoder nothing is written.
    std::int32_t simulate();

    // What a setup decides about the records of a run, the groups' storage
    // cycles apart: each group's payload in a whole-second cycle and in the
    // 100 ms cycle, the analyses' payload and each analysis's period (0: off).
    struct Records {
        std::array<std::int32_t, kGroups> groupPayloads{};
        std::array<std::int32_t, kGroups> fastGroupPayloads{};
        std::int32_t analysisPayload = 0;
        std::array<std::int32_t, kAnalyses> analysisPeriods{};
    };
    // With `only`, just the payloads the groups write with those codes.
    static Records recordsOf(const RecorderSetup& setup, const StorageCycleCodes* only = nullptr);

    // Where W must lie, from the records of a run alone, without replaying
    // it: what simulate() gives for a setup with these records and these
    // storage-cycle codes lies within [least, most].
    struct WrittenRange {
        std::int32_t least = 0;
        std::int32_t most = 0;
    };
    static WrittenRange writtenRange(const Records& records, const StorageCycleCodes& codes);

    // Payload of one record of a group, by its slots' channels and the cycle.
    static std::int32_t groupPayload(const RecorderSetup& setup, int group, bool fast);
    // Payload of one analysis record; the same for all four analyses.
    static std::int32_t analysisPayload(const RecorderSetup& setup);

    // The state the last run ended in: the fill of the open block (its header
    // included), the fills of the closed blocks added up, and how many closed.
    std::int32_t blockFill() const { return blockFill_; }
    std::int32_t closedTotal() const { return closedTotal_; }
    int closedBlocks() const { return closedBlocks_; }
    // Per writer, what the last run wrote; all zero for a writer that wrote nothing.
    const std::array<WriterTally, kWriters>& writerTallies() const { return tallies_; }

private:
    std::int32_t blockFill_ = 0;
    std::int32_t closedTotal_ = 0;
    int closedBlocks_ = 0;
    std::array<WriterTally, kWriters> tallies_{};
    const CConfigBlock* encoder_ = nullptr;
    StorageCycleCodes codes_{};
};

}  // namespace capacimo
