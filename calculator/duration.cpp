#include "calculator/duration.h"

#include <algorithm>

namespace capacimo {
namespace {

struct MediumWords {
    Medium medium;
    std::string_view id;
    std::string_view caption;
    std::string_view inSentence;  // follows "the"
};
constexpr MediumWords kMediumWords[] = {
    {Medium::Internal, "internal", "Internal memory", "internal memory"},
    {Medium::Card, "sd", "SD Card", "SD Card"},
};

const MediumWords& wordsOf(Medium medium) { return kMediumWords[medium == Medium::Card ? 1 : 0]; }

}  // namespace

std::int32_t cardCapacity(std::int32_t cardBytes) { return cardBytes / 100 * 95; }

std::int32_t freeBytes(std::int32_t capacity, std::int32_t setupImageLength, std::int32_t reservedImages) {
    return capacity - setupImageLength * reservedImages;
}

StorageDuration storageDuration(std::int32_t free, std::int32_t written) {
    if (written <= 0 || free <= 0) return kNoDuration;
    // W covers two hours, so W / 2 is one hour. The quotient is formed in
    // extended precision and kept in single precision, as the recorder's
    // configuration software always showed it; the split into weeks, days
    // and hours then truncates.
    const long double quotient = static_cast<long double>(free) / (static_cast<long double>(written) * 0.5L);
    const float hoursTotal = static_cast<float>(quotient);
    StorageDuration d;
    d.weeks = static_cast<std::int32_t>(static_cast<long double>(hoursTotal) / kHoursPerWeek);
    const float rest =
        static_cast<float>(static_cast<long double>(hoursTotal) - static_cast<long double>(kHoursPerWeek) * d.weeks);
    d.days = static_cast<std::int32_t>(static_cast<long double>(rest) / kHoursPerDay);
    d.hours =
        static_cast<std::int32_t>(static_cast<long double>(rest) - static_cast<long double>(kHoursPerDay) * d.days);
    return d;
}

std::string durationText(const StorageDuration& d) {
    if (d == kNoDuration) return "-";
    return std::to_string(d.weeks) + " w " + std::to_string(d.days) + " d " + std::to_string(d.hours) + " h";
}

std::string cardSizeText(std::int32_t cardItem) {
    if (cardItem < 0 || static_cast<std::size_t>(cardItem) >= kCardSizes.size()) return {};
    return kCardSizes[static_cast<std::size_t>(cardItem)].text;
}

std::optional<std::int64_t> cardFreeBytes(std::int32_t cardItem, std::int32_t setupImageLength,
                                          std::int32_t reserveMegabytes) {
    if (cardItem < 0 || static_cast<std::size_t>(cardItem) >= kCardSizes.size()) return std::nullopt;
    const std::int32_t capacity = cardCapacity(kCardSizes[static_cast<std::size_t>(cardItem)].bytes);
    return std::int64_t{freeBytes(capacity, setupImageLength, kCardSetupImages)} -
           kBytesPerMegabyte * std::max(reserveMegabytes, 0);
}

StorageDuration cardDuration(std::int32_t cardItem, std::int32_t written, std::int32_t setupImageLength,
                             std::int32_t reserveMegabytes) {
    const std::optional<std::int64_t> free = cardFreeBytes(cardItem, setupImageLength, reserveMegabytes);
    // What is left is at most the capacity, within 32 bits.
    if (!free || *free <= 0) return kNoDuration;
    return storageDuration(static_cast<std::int32_t>(*free), written);
}

std::string_view mediumId(Medium medium) { return wordsOf(medium).id; }

std::optional<Medium> mediumFromId(std::string_view id) {
    for (const MediumWords& w : kMediumWords) {
        if (w.id == id) return w.medium;
    }
    return std::nullopt;
}

std::string_view mediumCaption(Medium medium) { return wordsOf(medium).caption; }

std::string_view mediumInSentence(Medium medium) { return wordsOf(medium).inSentence; }

std::string resultRowCaption(Medium medium, std::int32_t cardItem) {
    std::string caption(mediumCaption(medium));
    if (medium == Medium::Card) caption += ' ' + cardSizeText(cardItem);
    return caption;
}

std::string mediumPhrase(Medium medium, std::int32_t cardItem) {
    std::string phrase = "the " + std::string(mediumInSentence(medium));
    if (medium == Medium::Card) phrase += " (" + cardSizeText(cardItem) + ")";
    return phrase;
}

}  // namespace capacimo
