"""Holds a plant's .ics, as the program writes it, against RFC 5545 as Debian's
python3-icalendar reads it: CRLF lines of at most 75 octets, folded between
UTF-8 characters; texts escaped; one all-day event per recorder with a
read-out day, on the day Python's datetime works out from the recorder's
start and durations; a reminder the margin before; DTSTAMP from the given
day; UIDs distinct, also for recorders of the same name (told apart by their
start), and the same in another run on another day.

Usage: check_plant_calendar.py PLANT_SAMPLES_PROGRAM
"""
import datetime
import json
import os
import re
import subprocess
import sys
import tempfile

import icalendar

EPOCH = datetime.date(1970, 1, 1).toordinal()
LAST = datetime.date.max.toordinal() - EPOCH
MEDIA = ("internal memory", "SD Card")


def day(n):
    return datetime.date.fromordinal(n + EPOCH)


def shown_name(name):
    """A name as a calendar holds it: line breaks as such, other control characters as blanks."""
    name = name.replace("\r\n", "\n").replace("\r", "\n")
    return re.sub(r"[\x00-\x08\x0b-\x1f\x7f]", " ", name)


def write(program, folder, today, margin, seed=22):
    path = os.path.join(folder, f"{today}-{margin}.ics")
    out = subprocess.run([program, "calendar", path, today, str(margin), str(seed)], capture_output=True, text=True,
                         check=True).stdout
    with open(path, "rb") as f:
        return f.read(), [json.loads(line) for line in out.splitlines()]


def expected_events(recorders, margin):
    """(recorder, its key: its name and, for a name several share, its start and occurrence among
    those alike; medium full first, its full-on day, read-out day)."""
    named = {}
    for r in recorders:
        named[r["name"]] = named.get(r["name"], 0) + 1
    seen = {}
    for r in recorders:
        key = r["name"] if named[r["name"]] == 1 else (r["name"], r["start"])
        seen[key] = occurrence = seen.get(key, 0) + 1
        occurrence = (key, occurrence)
        if r["start"] is None:
            continue
        full = {m: r["start"] + h // 24 for m, h in zip(MEDIA, (r["internal_hours"], r["sd_hours"])) if h >= 0}
        if not full:
            continue
        first = min(full, key=lambda m: (full[m], MEDIA.index(m)))
        if full[first] - margin <= LAST:
            yield r, occurrence, first, full[first], full[first] - margin


def check_lines(data, problems):
    if not data.endswith(b"\r\n") or b"\n" in data.replace(b"\r\n", b"") or b"\r" in data.replace(b"\r\n", b""):
        problems.append("a line does not end in CRLF")
    lines = data.split(b"\r\n")[:-1]
    for number, line in enumerate(lines, 1):
        if len(line) > 75:
            problems.append(f"line {number} has {len(line)} octets")
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            problems.append(f"line {number} is cut inside a UTF-8 character")
    if not any(line.startswith(b" ") for line in lines):
        problems.append("no line was folded")


def check_events(data, recorders, today, margin, problems):
    """The events, checked; their UIDs by key."""
    cal = icalendar.Calendar.from_ical(data)
    for component in cal.walk():
        if component.errors:
            problems.append(f"{component.name}: {component.errors}")
    if not str(cal.get("PRODID", "")).startswith("-//") or "Capacimo" not in str(cal.get("PRODID")):
        problems.append(f"PRODID {cal.get('PRODID')!r}")
    events = cal.walk("VEVENT")
    expected = list(expected_events(recorders, margin))
    if len(events) != len(expected):
        problems.append(f"{len(events)} events, {len(expected)} recorders with a read-out day")
    uids = {}
    stamp = datetime.datetime.combine(datetime.date.fromisoformat(today), datetime.time(), datetime.timezone.utc)
    for event, (r, occurrence, medium, full, read_out) in zip(events, expected):
        name = shown_name(r["name"])
        uids[occurrence] = str(event["UID"])
        if event.decoded("DTSTART") != day(read_out):
            problems.append(f"{name!r}: on {event.decoded('DTSTART')}, not {day(read_out)}")
        # The day after the last has no four-digit year: that day's event lasts its day without an end.
        end = event.decoded("DTEND") if "DTEND" in event else None
        if end != (day(read_out + 1) if read_out < LAST else None):
            problems.append(f"{name!r}: ends on {end}")
        full_text = day(full).isoformat() if full <= LAST else "after 9999"
        if str(event["SUMMARY"]) != f"Read out {name}: {medium} full on {full_text}":
            problems.append(f"{name!r}: summary {str(event['SUMMARY'])!r}")
        if not str(event["DESCRIPTION"]).startswith(f"Setup: {name}\n"):
            problems.append(f"{name!r}: description {str(event['DESCRIPTION'])!r}")
        if event.decoded("DTSTAMP") != stamp:
            problems.append(f"{name!r}: DTSTAMP {event.decoded('DTSTAMP')}")
        alarms = event.walk("VALARM")
        if len(alarms) != 1 or str(alarms[0]["ACTION"]) != "DISPLAY" or \
                alarms[0].decoded("TRIGGER") != -datetime.timedelta(days=margin):
            problems.append(f"{name!r}: reminder {[a.to_ical() for a in alarms]}")
    if len(set(uids.values())) != len(uids):
        problems.append("two events share a UID")
    return uids


def main(program):
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        data, recorders = write(program, folder, "2026-03-14", 7)
        again, _ = write(program, folder, "2026-03-14", 7)
        later, later_recorders = write(program, folder, "2027-01-02", 30)
    if data != again:
        problems.append("the same plant on the same day gave other bytes")
    check_lines(data, problems)
    unfolded = data.replace(b"\r\n ", b"")
    if b'SUMMARY:Read out Kesselhaus\\; Nord\\, "3" \\\\ A\\nB\\nC:' not in unfolded:
        problems.append("the summary of a name with ; , \\ and line breaks is not escaped so")
    uids = check_events(data, recorders, "2026-03-14", 7, problems)
    later_uids = check_events(later, later_recorders, "2027-01-02", 30, problems)
    if sum(1 for (key, _) in uids if key[0] == "Boiler 1") != 3:
        problems.append("the three recorders named Boiler 1 do not each have their event")
    moved = [key for key in uids.keys() & later_uids.keys() if uids[key] != later_uids[key]]
    if moved or len(uids.keys() & later_uids.keys()) < len(uids) - 2:
        problems.append(f"UIDs changed from one run to another: {moved[:3]}")
    for p in problems[:20]:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
