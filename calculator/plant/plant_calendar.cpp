#include "calculator/plant/plant_calendar.h"

#include <cstdint>
#include <cstdio>
#include <map>

#include "calculator/files/json_text.h"
#include "calculator/plant/plant_words.h"

namespace capacimo {
namespace {

constexpr std::string_view kCrlf = "\r\n";

// A TEXT value: valid UTF-8 (what is not becomes U+FFFD), its
// backslashes, semicolons, commas and line breaks escaped, other control
// characters but the tab (which TEXT allows) as blanks.
std::string calendarText(std::string_view text) {
    const std::string valid = validUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const char c = valid[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < valid.size() && valid[i + 1] == '\n') ++i;  // CRLF is one break
            out += "\\n";
        } else if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

// Writes one content line: folded so that no line holds more than 75
// octets (a folded part begins with a blank, which counts), each cut before
// the first byte of a UTF-8 character; every line ends in CRLF.
void addLine(std::string& out, std::string_view line) {
    constexpr std::size_t kLineOctets = 75;
    std::size_t room = kLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        out.append(line.substr(0, cut));
        out += kCrlf;
        out += ' ';
        line.remove_prefix(cut);
        room = kLineOctets - 1;
    }
    out.append(line);
    out += kCrlf;
}

// A DATE value: "20270314".
std::string dateValue(CalendarDate date) {
    const CivilDate c = civilOf(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", c.year, c.month, c.day);
    return text;
}

void addEvent(std::string& out, const RecorderRow& row, const std::string& uid, const PlantTerms& terms) {
    const CalendarDate day = *row.dates.readOutBy;
    const std::string summary =
        calendarText(readOutSummary(row.name, row.dates.fullFirst, dateText(*row.dates.fullOn(row.dates.fullFirst))));
    std::string description = setupNameLine(row.name);
    for (const Medium medium : kMedia) {
        description +=
            '\n' + fullOnLine(medium, row.cardItem, durationOn(row.result, medium), dateText(row.dates.fullOn(medium)));
    }
    addLine(out, "BEGIN:VEVENT");
    addLine(out, "UID:" + uid);
    addLine(out, "DTSTAMP:" + dateValue(terms.today) + "T000000Z");
    addLine(out, "DTSTART;VALUE=DATE:" + dateValue(day));
    // An all-day event without an end lasts its day (RFC 5545, 3.6.1); the
    // day after the last has no four-digit year.
    if (day < kLastDate) addLine(out, "DTEND;VALUE=DATE:" + dateValue(day + 1));
    addLine(out, "SUMMARY:" + summary);
    addLine(out, "DESCRIPTION:" + calendarText(description));
    // The day blocks no time in the calendar.
    addLine(out, "TRANSP:TRANSPARENT");
    addLine(out, "BEGIN:VALARM");
    addLine(out, "ACTION:DISPLAY");
    addLine(out, "DESCRIPTION:" + summary);
    addLine(out, "TRIGGER:-P" + std::to_string(terms.marginDays) + "D");
    addLine(out, "END:VALARM");
    addLine(out, "END:VEVENT");
}

}  // namespace

std::string readOutEventUid(std::string_view key, std::size_t occurrence) {
    // FNV-1a (64 bits) of the key, a line break and the occurrence: the
    // same on every machine and in the web edition, which a standard
    // library hash is not.
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto add = [&hash](std::string_view bytes) {
        for (const char c : bytes) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 0x100000001b3u;
        }
    };
    add(key);
    add("\n");
    add(std::to_string(occurrence));
    char text[48];
    std::snprintf(text, sizeof text, "readout-%016llx@capacimo", static_cast<unsigned long long>(hash));
    return text;
}

std::string plantCalendar(std::span<const RecorderRow> rows, const PlantTerms& terms) {
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:2.0");
    addLine(out, "PRODID:-//" CAPACIMO_VENDOR "//Capacimo " CAPACIMO_VERSION "//EN");
    addLine(out, "CALSCALE:GREGORIAN");
    addLine(out, "METHOD:PUBLISH");
    std::map<std::string_view, std::size_t> named;  // how many recorders have each name
    for (const RecorderRow& row : rows) ++named[row.name];
    std::map<std::string, std::size_t> seen;  // how many recorders of each key came so far
    for (const RecorderRow& row : rows) {
        const std::string key = named[row.name] == 1 ? row.name : row.name + "\n" + dateText(row.start);
        const std::size_t occurrence = ++seen[key];
        if (row.dates.readOutBy && *row.dates.readOutBy <= kLastDate) {
            addEvent(out, row, readOutEventUid(key, occurrence), terms);
        }
    }
    addLine(out, "END:VCALENDAR");
    return out;
}

}  // namespace capacimo
