// From the bytes two hours of recording occupy to how long each medium lasts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace capacimo {

inline constexpr int kHoursPerDay = 24;
inline constexpr int kDaysPerWeek = 7;
inline constexpr int kHoursPerWeek = kDaysPerWeek * kHoursPerDay;

// Whole weeks, days and hours; -1 in all three when no duration can be given.
struct StorageDuration {
    std::int32_t weeks = 0;
    std::int32_t days = 0;
    std::int32_t hours = 0;
    bool operator==(const StorageDuration&) const = default;
};

inline constexpr StorageDuration kNoDuration{-1, -1, -1};

// Internal memory: 365 days of 500,000 bytes; it keeps room for 365 setup images.
inline constexpr std::int32_t kInternalCapacity = 365 * 500000;
inline constexpr std::int32_t kInternalSetupImages = 365;
// An SD card gives 95 % of its size to data and keeps room for 200 setup images.
inline constexpr std::int32_t kCardSetupImages = 200;

struct CardSize {
    const char* text;  // as the size list shows it
    std::int32_t bytes;
    std::int32_t megabytes;  // the size the text names, as a number
};
// The card sizes the calculator offers, in the order of its list.
inline constexpr std::array<CardSize, 4> kCardSizes = {{
    {"256 MB", 255721472, 256},
    {"512 MB", 513015808, 512},
    {"1 GB", 1023524864, 1024},
    {"2 GB", 2057437184, 2048},
}};

std::int32_t cardCapacity(std::int32_t cardBytes);
// Free bytes for measured data: capacity less the reserved setup images.
// Formed in 32 bits like the recorder's own figure; it cannot overflow for the
// capacities above.
std::int32_t freeBytes(std::int32_t capacity, std::int32_t setupImageLength, std::int32_t reservedImages);

// Converts free bytes and W (bytes per two hours) into weeks, days and hours.
StorageDuration storageDuration(std::int32_t freeBytes, std::int32_t writtenPerTwoHours);

// "12 w 3 d 4 h", or "-" when no duration can be given: how reports show one.
std::string durationText(const StorageDuration& duration);

// The text of a card item as the size list shows it ("1 GB"); empty outside the list.
std::string cardSizeText(std::int32_t cardItem);

// A megabyte as a reserve on the SD card is counted: 2^20 bytes.
inline constexpr std::int64_t kBytesPerMegabyte = 1048576;

// The SD card's free bytes for measured data: its capacity less its setup
// images less the megabytes kept free for other files, in 64 bits (a reserve
// of 2048 MB is beyond 32). Zero or less leaves no room; nothing for a card
// item outside the list.
std::optional<std::int64_t> cardFreeBytes(std::int32_t cardItem, std::int32_t setupImageLength,
                                          std::int32_t reserveMegabytes = 0);

// The duration of the SD card for a given card item, with reserveMegabytes
// kept free for other files.
StorageDuration cardDuration(std::int32_t cardItem, std::int32_t written, std::int32_t setupImageLength,
                             std::int32_t reserveMegabytes = 0);

// ---- The media ----------------------------------------------------------

enum class Medium { Internal, Card };
inline constexpr std::array<Medium, 2> kMedia = {Medium::Internal, Medium::Card};

// The word scripts and options use for a medium: "internal", "sd".
std::string_view mediumId(Medium medium);
// The medium an id names exactly, or nothing.
std::optional<Medium> mediumFromId(std::string_view id);
// The caption of its result row: "Internal memory", "SD Card".
std::string_view mediumCaption(Medium medium);
// The medium after "the": "internal memory", "SD Card".
std::string_view mediumInSentence(Medium medium);
// A result row's caption with the card size where there is one: "Internal
// memory", "SD Card 256 MB".
std::string resultRowCaption(Medium medium, std::int32_t cardItem);
// The medium inside a sentence: "the internal memory", "the SD Card (256 MB)".
std::string mediumPhrase(Medium medium, std::int32_t cardItem);

}  // namespace capacimo
