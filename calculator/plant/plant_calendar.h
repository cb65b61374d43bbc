// A plant's read-out days as an iCalendar file (RFC 5545), to import into a
// calendar program: one all-day event per recorder on the day to read it out
// by, titled "Read out Boiler 1: internal memory full on 2027-03-14", its
// description the setup's name and both durations with their full-on days,
// and a reminder the plant's margin before. Recorders without a read-out day,
// or with one after 9999, have no event.
//
// Each event's UID stays the same from one file to the next for the same
// recorder, so that importing a newer file updates the events rather than
// adding them again: it is made from the recorder's name; for recorders that
// share a name, from the name and the start (and, for recorders alike in
// both, from which of them it is), so that taking one of them out of the
// plant changes no other's.
// DTSTAMP is 00:00 UTC of the terms' today, so that the same plant on the
// same day gives the same bytes. Lines end in CRLF and are folded at 75
// octets, never inside a UTF-8 character; texts are escaped (\\ \; \, \n),
// their bytes that are not UTF-8 replaced by U+FFFD and other control
// characters by blanks. Standard library only.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "calculator/plant/plant.h"

namespace capacimo {

inline constexpr std::string_view kCalendarExtension = ".ics";
inline constexpr std::string_view kCalendarMediaType = "text/calendar";

// The whole file, for rows in the plant's order (Plant::rows() and
// Plant::terms(), or the rows capacimo-calc evaluated).
std::string plantCalendar(std::span<const RecorderRow> rows, const PlantTerms& terms);

// The UID of the event of the occurrence-th recorder (from 1) of this key:
// "readout-" and 16 hexadecimal digits, "@capacimo". The key is the name,
// or for a name that several recorders share, the name, a line break and
// the start ("2026-03-14", or empty for none).
std::string readOutEventUid(std::string_view key, std::size_t occurrence);

}  // namespace capacimo
