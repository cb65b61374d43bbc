"""A plant of 30 recorders, written by capacimo-calc, opened in LibreOffice
(in an English and a German locale, formulas evaluated as it does by
default), saved again as CSV in UTF-8, as a German "CSV" in Windows-1252 with
semicolons, and as "Unicode text" (UTF-16, tabs): each file reads back in
capacimo-calc with the same recorders, names, starts and targets, every one
of them. Names that a spreadsheet would run as formulas are among them.

Usage: check_spreadsheet_round_trip.py CAPACIMO_CALC
"""
import json
import os
import subprocess
import sys
import tempfile
from pathlib import Path

FILTER = "Text - txt - csv (StarCalc)"
# Import: comma, double quotes, UTF-8, from line 1, no column types, the locale's
# language; the rest as LibreOffice's dialog has them (formulas evaluated).
LANGUAGES = {"en-US": 1033, "de-DE": 1031}
# Export: separator, quotes, character set (76 UTF-8, 1 Windows-1252, 65535 UTF-16),
# from line 1, cells as shown.
EXPORTS = {"utf-8.csv": "44,34,76,1,,0,false,true,true,false,false",
           "windows-1252.csv": "59,34,1,1,,0,false,true,true,false,false",
           "unicode.txt": "9,34,65535,1,,0"}
NAMES = ["Boiler 1", "K\u00f6ln Nord", "Stra\u00dfe 3", "=1+1", '=HYPERLINK("http://x","y")', "-5 east", "+49 hall",
         "@home", "'quoted", "a, b; c", 'say "hi"', "\u20ac-Kessel", " =SUM(1)", "Gr\u00fcne Linie 11 \u2013 \u00d6lkessel",
         "Boiler 1"]


def plant_text():
    """30 recorders: the names above twice, with starts in both forms, targets, media and setups, some
    with alarms and a card reserve."""
    lines = ["name,start,target,medium,card,analog,digital-events,analysis1,group1.cycle,group1.values,"
             "group2.cycle,group2.states,alarm-share,card-reserve,group1.alarm"]
    for i in range(30):
        name = NAMES[i % len(NAMES)] + ("" if i < len(NAMES) else " (%d)" % i)
        start = "" if i % 7 == 3 else ("2026-%02d-%02d" % (1 + i % 12, 1 + i % 28) if i % 2 else
                                      "%02d.%02d.2026" % (1 + i % 28, 1 + i % 12))
        target = ["", "26w", "3w4d", "180d"][i % 4]
        medium = "sd" if i % 4 == 2 else ""
        cells = [name, start, target, medium, ["256 MB", "1 GB", "2 GB"][i % 3], str(1 + i % 40), str(i % 14),
                 ["no", "1min", "1h"][i % 3], ["1s", "100ms", "1min"][i % 3], str(i % 9), "10s", str(i % 5),
                 str(i * 3) if i % 2 else "", str(i * 10) if i % 5 == 0 else "", ["", "1s", "same"][i % 3]]
        lines.append(",".join('"%s"' % c.replace('"', '""') if any(x in c for x in ',"') else c for c in cells))
    return "\n".join(lines) + "\n"


def run(args, **kw):
    env = {**os.environ, "ASAN_OPTIONS": "detect_leaks=0"}
    return subprocess.run(args, capture_output=True, env=env, **kw)


def recorders(calc, path):
    """The recorders capacimo-calc reads from a plant file: name, start, target and setup each."""
    out = run([calc, "--setup", str(path), "--json", "--today", "2026-03-14"])
    rows = json.loads(out.stdout.decode() or "[]")
    return [(r["setup"]["name"], r["setup"], r["read_out_by"], r.get("plan", {}).get("target_hours")) for r in rows], \
        out.stderr.decode()


def main(calc):
    problems = []
    with tempfile.TemporaryDirectory() as folder:
        folder = Path(folder)
        source = folder / "source.csv"
        source.write_text(plant_text(), encoding="utf-8")
        plant = folder / "plant.csv"  # the program's own file of the plant
        run([calc, "--setup", str(source), "--save-setup", str(plant)], check=True)
        want, _ = recorders(calc, plant)
        if len(want) != 30:
            problems.append("the program's plant: %d recorders" % len(want))
        for language, code in LANGUAGES.items():
            for name, options in EXPORTS.items():
                out = folder / language / name
                out.parent.mkdir(exist_ok=True)
                locale = "de_DE.UTF-8" if code == 1031 else "en_US.UTF-8"
                converted = run(["env", "LANG=" + locale, "soffice", "-env:UserInstallation=file://%s/profile" % folder,
                                 "--headless", "--infilter=%s:44,34,76,1,,%d" % (FILTER, code),
                                 "--convert-to", "%s:%s:%s" % (name.split(".")[1], FILTER, options),
                                 "--outdir", str(folder / "out"), str(plant)], timeout=300)
                made = folder / "out" / ("plant." + name.split(".")[1])
                if not made.exists():  # soffice says nothing by its exit status
                    problems.append("%s %s: LibreOffice wrote nothing: %s" % (language, name, converted.stderr))
                    continue
                made.rename(out)
                got, said = recorders(calc, out)
                if got != want:
                    diff = [(w[0], g[0]) for w, g in zip(want, got) if w != g][:3]
                    problems.append("%s %s: %d recorders read, %d differ, e.g. %r; %s" %
                                    (language, name, len(got), sum(w != g for w, g in zip(want, got)), diff, said))
    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
