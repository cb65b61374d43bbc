#include "calculator/simulation.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <span>
#include <vector>

namespace capacimo {
namespace {

using Bytes = std::int32_t;
using Second = std::int32_t;

// Record-size rules of the recorder: a record is its time stamp (1, 2 or 5
// bytes, by the distance to the previous record), its payload and one byte
// more; short records carry a 2-byte frame, long ones a 6-byte frame.
constexpr Bytes storedSize(std::int32_t timeWidth, std::int32_t payload) {
    const std::int32_t length = (timeWidth + payload + 1) % 65536;
    return length < 256 ? length + 2 : length + 6;
}

// The three time stamp widths. A record's time takes 1 byte for a gap below
// 128 s to the previous record, 2 below 16384 s, else 5.
enum TimeWidth { kTime1, kTime2, kTime5, kTimeWidths };
constexpr std::int32_t kTimeWidthBytes[kTimeWidths] = {1, 2, 5};
constexpr Second kOneByteGap = 128;  // the first gap that needs a wider time

constexpr TimeWidth timeWidthFor(Second gap) { return gap < kOneByteGap ? kTime1 : gap < 0x4000 ? kTime2 : kTime5; }

// Bytes of one analog-like value: 5 normally; totalizers of sub-kind 4 carry 9;
// in the 100 ms cycle every value is 5 bytes.
std::int32_t analogValueBytes(std::uint8_t subKind, bool fast) {
    if (fast) return 5;
    switch (subKind) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 6: return 5;
    case 4: return 9;
    default: return 0;
    }
}

std::int32_t mathValueBytes(std::uint8_t kind, bool fast) {
    switch (kind) {
    case 1:
    case 2:
    case 3:
    case 4: return 5;
    case 5: return fast ? 5 : 9;
    case 6: return fast ? 2 : 1;
    default: return 0;
    }
}

std::int32_t digitalValueBytes(std::uint8_t kind, bool fast) {
    switch (kind) {
    case 1:
    case 2:
    case 5: return fast ? 2 : 1;
    default: return 0;
    }
}

// A group or an analysis that writes records during the run. Every writer is
// due at second 1 and then at every multiple of its period; a group in the
// 100 ms cycle is due every second and writes ten records there.
struct Writer {
    int id;                     // group 0..9, analysis 10..13
    Second period;              // seconds from one due second to the next
    int records;                // records per due second
    Bytes stored[kTimeWidths];  // stored size of one record, by its time width

    // The seconds of the run in which the writer is due.
    std::int32_t dueSeconds() const {
        if (period > CCapacimo::kRunSeconds) return 1;
        return CCapacimo::kRunSeconds / period + (period > 1 ? 1 : 0);
    }
    // The bytes of one due second when every time is one byte wide.
    Bytes bytesPerDueSecond() const { return records * stored[kTime1]; }
};

// Bit i stands for writer i of the run's writer table.
using WriterMask = std::uint16_t;
static_assert(CCapacimo::kWriters <= 16);
constexpr WriterMask bit(int writer) { return static_cast<WriterMask>(1u << writer); }

// One run of two hours: the open block, the closed ones, and per writer the
// bytes its records took beyond their size with a one-byte time.
class Replay {
public:
    Replay(const Writer* writers, int count) : writers_(writers), count_(count) {}

    void run();

    Bytes blockFill() const { return fill_; }
    std::int32_t closedTotal() const { return closedTotal_; }
    int closedBlocks() const { return closedBlocks_; }
    CCapacimo::WriterTally tally(int index) const;

private:
    void writeInSpans(Second cycle);
    void writeDueSeconds();
    // Writes one second record by record, its writers in their order; the
    // first record's time has the given width, the others are 0 s after it.
    void writeSecond(WriterMask due, TimeWidth width);
    void writeRecords(int index, TimeWidth width);
    void closeBlock();

    const Writer* writers_;
    int count_;
    Bytes fill_ = CCapacimo::kBlockHeader;
    std::int32_t closedTotal_ = 0;
    int closedBlocks_ = 0;
    std::int64_t widerBytes_[CCapacimo::kWriters] = {};
};

void Replay::closeBlock() {
    closedTotal_ += fill_;
    ++closedBlocks_;
    fill_ = CCapacimo::kBlockHeader;
}

// A record that brings the block to exactly its size stays in it; one that
// does not fit closes the block and opens the next, where it is the block's
// first record and carries its time in one byte whatever the gap.
void Replay::writeRecords(int index, TimeWidth width) {
    const Writer& w = writers_[index];
    const Bytes plain = w.stored[kTime1];
    Bytes size = w.stored[width];
    if (fill_ + size + (w.records - 1) * plain <= CCapacimo::kBlockSize) {
        fill_ += size + (w.records - 1) * plain;
        widerBytes_[index] += size - plain;
        return;
    }
    for (int r = 0; r < w.records; ++r) {
        if (fill_ + size > CCapacimo::kBlockSize) {
            closeBlock();
            size = plain;
        }
        fill_ += size;
        widerBytes_[index] += size - plain;
        size = plain;
    }
}

void Replay::writeSecond(WriterMask due, TimeWidth width) {
    for (WriterMask rest = due; rest != 0; rest &= rest - 1) {
        writeRecords(std::countr_zero(rest), width);
        width = kTime1;
    }
}

// Some writer is due at least every 127 s, so no gap between two seconds with
// records reaches 128 s and every record's time is one byte wide. A second
// then adds the same bytes wherever it falls: the records of the writers due
// in it. Which writers are due repeats with the cycle, the least common
// multiple of the periods, so the bytes of any span of seconds follow from
// one table of one cycle's running byte count. From that table the run finds
// the second in which the open block runs full, takes every second before it
// as a whole, and writes only that second record by record.
void Replay::writeInSpans(Second cycle) {
    struct Offset {
        Bytes upTo = 0;      // bytes of the cycle's seconds 1 up to this one
        WriterMask due = 0;  // the writers due in this second
    };
    // Writers of the same period are due together; they enter the table as one.
    struct SamePeriod {
        Second period;
        Bytes bytes;
        WriterMask due;
    };
    SamePeriod periods[CCapacimo::kWriters];
    int count = 0;
    for (int i = 0; i < count_; ++i) {
        if (writers_[i].period > cycle) continue;
        SamePeriod* p =
            std::find_if(periods, periods + count, [&](const SamePeriod& c) { return c.period == writers_[i].period; });
        if (p == periods + count) periods[count++] = {writers_[i].period, 0, 0};
        p->bytes += writers_[i].bytesPerDueSecond();
        p->due |= bit(i);
    }
    std::vector<Offset> table(static_cast<std::size_t>(cycle) + 1);
    for (const SamePeriod& p : std::span(periods, count)) {
        for (Second o = p.period; o <= cycle; o += p.period) {
            table[o].upTo += p.bytes;
            table[o].due |= p.due;
        }
    }
    for (Second o = 1; o <= cycle; ++o) table[o].upTo += table[o - 1].upTo;
    const Bytes perCycle = table[cycle].upTo;
    // Bytes of every second from the start of the run up to t, as if none closed a block.
    auto bytesUpTo = [&](Second t) { return std::int64_t{t / cycle} * perCycle + table[t % cycle].upTo; };

    std::int64_t written = bytesUpTo(1);  // up to the last second written
    for (;;) {
        const std::int64_t room = written + (CCapacimo::kBlockSize - fill_);
        const std::int64_t cycles = room / perCycle;
        const Bytes inCycle = static_cast<Bytes>(room - cycles * perCycle);
        // The first second of a cycle whose running count exceeds what the block takes.
        const auto beyond = std::upper_bound(table.begin(), table.end(), inCycle,
                                             [](Bytes bytes, const Offset& o) { return bytes < o.upTo; });
        const Second o = static_cast<Second>(beyond - table.begin());
        const std::int64_t full = cycles * cycle + o;
        if (full > CCapacimo::kRunSeconds) {
            fill_ += static_cast<Bytes>(bytesUpTo(CCapacimo::kRunSeconds) - written);
            return;
        }
        fill_ += static_cast<Bytes>(cycles * perCycle + table[o - 1].upTo - written);
        writeSecond(table[o].due, kTime1);
        written = cycles * perCycle + table[o].upTo;
    }
}

// No writer is due more often than every 128 s, so the gap before a second
// decides its time width, and each second with records is written record by
// record. Such seconds are few: at most 57 for each writer.
void Replay::writeDueSeconds() {
    Second next[CCapacimo::kWriters];  // each writer's next due second, 0 when none is left
    for (int i = 0; i < count_; ++i) next[i] = writers_[i].period <= CCapacimo::kRunSeconds ? writers_[i].period : 0;
    Second previous = 1;
    for (;;) {
        Second t = CCapacimo::kRunSeconds + 1;
        for (int i = 0; i < count_; ++i) {
            if (next[i] != 0) t = std::min(t, next[i]);
        }
        if (t > CCapacimo::kRunSeconds) return;
        WriterMask due = 0;
        for (int i = 0; i < count_; ++i) {
            if (next[i] != t) continue;
            due |= bit(i);
            next[i] = t + writers_[i].period <= CCapacimo::kRunSeconds ? t + writers_[i].period : 0;
        }
        writeSecond(due, timeWidthFor(t - previous));
        previous = t;
    }
}

void Replay::run() {
    // Second 1: every writer is due, one second after the start.
    writeSecond(static_cast<WriterMask>(bit(count_) - 1), kTime1);

    Second shortest = CCapacimo::kRunSeconds + 1;
    std::int64_t cycle = 1;  // least common multiple of the periods, up to one beyond the run
    for (int i = 0; i < count_; ++i) {
        const Second p = writers_[i].period;
        if (p > CCapacimo::kRunSeconds) continue;
        shortest = std::min(shortest, p);
        cycle = std::min<std::int64_t>(std::lcm(cycle, p), CCapacimo::kRunSeconds + 1);
    }
    if (shortest > CCapacimo::kRunSeconds) return;  // no writer is due again
    if (shortest < kOneByteGap) {
        writeInSpans(static_cast<Second>(std::min<std::int64_t>(cycle, CCapacimo::kRunSeconds)));
    } else {
        writeDueSeconds();
    }
}

CCapacimo::WriterTally Replay::tally(int index) const {
    const Writer& w = writers_[index];
    const std::int32_t records = w.dueSeconds() * w.records;
    return {records, std::int64_t{records} * w.stored[kTime1] + widerBytes_[index]};
}

Writer makeWriter(int id, Second period, int records, std::int32_t payload) {
    Writer w{id, period, records, {}};
    for (int t = 0; t < kTimeWidths; ++t) w.stored[t] = storedSize(kTimeWidthBytes[t], payload);
    return w;
}

// The writers of a run with these records and cycle codes, in the order they
// write within a second, which decides where block boundaries fall: groups
// first in group order, then the analyses. Writers that produce nothing are
// left out; a record of payload 0 would change nothing anyway. Returns how
// many there are.
int writersOf(const CCapacimo::Records& records, const StorageCycleCodes& codes,
              Writer (&writers)[CCapacimo::kWriters]) {
    int count = 0;
    for (int g = 0; g < kGroups; ++g) {
        const int code = codes[g];
        const int period = storageCyclePeriod(code);
        if (code == kStorageCycleOff || period < 0) continue;
        const bool fast = code == kStorageCycleFast;
        const std::int32_t payload = fast ? records.fastGroupPayloads[g] : records.groupPayloads[g];
        if (payload <= 0) continue;
        writers[count++] =
            fast ? makeWriter(g, 1, CCapacimo::kFastRecordsPerSecond, payload) : makeWriter(g, period, 1, payload);
    }
    for (int k = 0; k < kAnalyses; ++k) {
        const std::int32_t period = records.analysisPeriods[k];
        if (period != 0) {
            writers[count++] = makeWriter(CCapacimo::kFirstAnalysisWriter + k, period, 1, records.analysisPayload);
        }
    }
    return count;
}

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
        if (c.kind >= 1 && c.kind <= 5) {
            payload += c.totalize ? 47 : 30;
        } else if (c.kind >= 7) {
            payload += 18;
        }
    }
    for (const DigitalChannel& c : setup.digital) {
        if (c.kind >= 3 && c.kind <= 6) payload += 18;
    }
    return payload;
}

CCapacimo::Records CCapacimo::recordsOf(const RecorderSetup& setup, const StorageCycleCodes* only) {
    Records r;
    for (int g = 0; g < kGroups; ++g) {
        const int code = only != nullptr ? (*only)[g] : -1;
        if (code != kStorageCycleOff && code != kStorageCycleFast) r.groupPayloads[g] = groupPayload(setup, g, false);
        if (only == nullptr || code == kStorageCycleFast) r.fastGroupPayloads[g] = groupPayload(setup, g, true);
    }
    r.analysisPayload = analysisPayload(setup);
    for (int k = 0; k < kAnalyses; ++k) r.analysisPeriods[k] = analysisPeriod(setup.analysis.codes[k] & 0xFF);
    return r;
}

std::int32_t CCapacimo::simulate() {
    Writer writers[kWriters];
    const int count =
        encoder_ != nullptr ? writersOf(recordsOf(encoder_->workingSetup(), &codes_), codes_, writers) : 0;
    Replay replay(writers, count);
    if (count > 0) replay.run();
    blockFill_ = replay.blockFill();
    closedTotal_ = replay.closedTotal();
    closedBlocks_ = replay.closedBlocks();
    tallies_ = {};
    for (int i = 0; i < count; ++i) tallies_[writers[i].id] = replay.tally(i);
    return closedTotal_ != 0 ? closedTotal_ : blockFill_;
}

// Let Z be the bytes of every record of the run as it lands in its block, C
// the blocks closed and F the fill of the block open at the end. Every block
// holds its 41-byte header and its records, so the blocks together hold
// 41 (C + 1) + Z, and W is that less F once a block has closed, else all of it.
//
// Z: a record takes its size with a one-byte time at least. It takes no more
// than with a two-byte time, as two hours never leave a gap of 16384 s, and no
// more than with a one-byte time while some writer is due at least every
// 127 s (no gap then reaches 128 s; see writeInSpans). The record counts do
// not depend on where blocks close, so lo <= Z <= hi, with lo and hi those
// sizes times the records.
//
// C: no block holds more than 8192 bytes, so 8151 (C + 1) >= Z >= lo. A block
// closes only when the next record, sized with its own time width (at most
// the largest such size, s), does not fit: each closed block holds more than
// 8192 - s bytes, 41 of them its header, so (8152 - s) C <= Z <= hi.
//
// W: with no block closed W = 41 + Z; that happens for sure when 41 + hi
// fits one block and cannot happen when 41 + lo does not. With C >= 1 closed,
// F <= 8192 gives W >= 41 (C + 1) + lo - 8192, and each closed block's share
// gives W >= C (8193 - s); F >= 41 gives W <= 41 C + hi.
CCapacimo::WrittenRange CCapacimo::writtenRange(const Records& records, const StorageCycleCodes& codes) {
    Writer writers[kWriters];
    const int count = writersOf(records, codes, writers);
    Second shortest = kRunSeconds + 1;
    for (int i = 0; i < count; ++i) shortest = std::min(shortest, writers[i].period);
    const TimeWidth widest = shortest < kOneByteGap ? kTime1 : kTime2;
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    std::int64_t largest = 0;
    for (int i = 0; i < count; ++i) {
        const std::int64_t recordCount = std::int64_t{writers[i].dueSeconds()} * writers[i].records;
        lo += recordCount * writers[i].stored[kTime1];
        hi += recordCount * writers[i].stored[widest];
        largest = std::max<std::int64_t>(largest, writers[i].stored[widest]);
    }
    constexpr std::int64_t kRoom = kBlockSize - kBlockHeader;  // for records in one block
    if (kBlockHeader + hi <= kBlockSize) {
        return {static_cast<std::int32_t>(kBlockHeader + lo), static_cast<std::int32_t>(kBlockHeader + hi)};
    }
    const std::int64_t leastClosed = std::max<std::int64_t>(1, (lo + kRoom - 1) / kRoom - 1);
    const std::int64_t mostClosed = hi / (kRoom + 1 - largest);
    std::int64_t least = std::max(kBlockHeader * (leastClosed + 1) + lo - kBlockSize, kBlockSize + 1 - largest);
    std::int64_t most = kBlockHeader * mostClosed + hi;
    if (kBlockHeader + lo <= kBlockSize) {  // perhaps no block closes
        least = std::min(least, kBlockHeader + lo);
        most = std::max(most, kBlockHeader + hi);
    }
    return {static_cast<std::int32_t>(least), static_cast<std::int32_t>(most)};
}

}  // namespace capacimo
