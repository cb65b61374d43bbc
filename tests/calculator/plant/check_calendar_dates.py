"""Holds the program's day arithmetic against Python's datetime: the dates of
thousands of random days from year 1 to 9999, the days in every month of
leap years and centuries, and the date reader on random texts of every form
it reads (year first with dashes or slashes, day first with dots and a year
of four or two digits), good and bad.

Usage: check_calendar_dates.py PLANT_SAMPLES_PROGRAM
"""
import calendar
import datetime
import random
import subprocess
import sys

EPOCH = datetime.date(1970, 1, 1).toordinal()
FIRST = datetime.date.min.toordinal() - EPOCH
LAST = datetime.date.max.toordinal() - EPOCH
CENTURIES = [1, 4, 100, 400, 1600, 1700, 1800, 1900, 1969, 1970, 1972, 2000, 2024, 2100, 2400, 9996, 9999]


def day_of(year, month, day):
    return datetime.date(year, month, day).toordinal() - EPOCH


def reading(text, year, month, day):
    """What the reader should answer for a text of year, month and day."""
    if not 1 <= month <= 12:
        return f"! {text} is not a day: there is no month {month}"
    if day == 0:
        return f"! {text} is not a day: there is no day 0"
    days = calendar.monthrange(year, month)[1]
    if not 1 <= day <= days:
        return f"! {text} is not a day: {calendar.month_name[month]} {year:04d} has {days} days"
    if year < 1970:
        return f"! {text} is before 1970"
    return str(day_of(year, month, day))


def main(program):
    rnd = random.Random(22)
    questions, wanted = [], []

    def ask(question, answer):
        questions.append(question)
        wanted.append(answer)

    days = [rnd.randint(FIRST, LAST) for _ in range(5000)]
    for year in CENTURIES:
        for month, day in ((1, 1), (2, 28), (3, 1), (12, 31)):
            days += [day_of(year, month, day) + offset for offset in (-1, 0, 1) if FIRST <= day_of(year, month, day) + offset <= LAST]
    for n in days:
        ask(f"d {n}", datetime.date.fromordinal(n + EPOCH).isoformat())

    years = CENTURIES + [rnd.randint(1, 9999) for _ in range(300)]
    for year in years:
        for month in range(1, 13):
            ask(f"m {year} {month}", str(calendar.monthrange(year, month)[1]))

    for _ in range(5000):
        year = rnd.choice(CENTURIES) if rnd.random() < 0.3 else rnd.randint(1, 9999)
        month = rnd.randint(0, 13) if rnd.random() < 0.1 else rnd.randint(1, 12)
        day = rnd.randint(0, 32) if rnd.random() < 0.2 else rnd.randint(1, 28) + rnd.choice((0, 0, 1, 2, 3))
        iso = f"{year:04d}-{month:02d}-{day:02d}"
        german = f"{day:02d}.{month:02d}.{year:04d}"
        slashed = f"{year:04d}/{month}/{day}"
        short_year = 2000 + year % 100
        short = f"{day}.{month:02d}.{year % 100:02d}"
        ask(f"r {iso}", reading(iso, year, month, day))
        ask(f"r {german}", reading(german, year, month, day))
        ask(f"r {slashed}", reading(slashed, year, month, day))
        ask(f"r {short}", reading(short, short_year, month, day))

    answers = subprocess.run([program, "dates"], input="\n".join(questions) + "\n", capture_output=True,
                             text=True, check=True).stdout.splitlines()
    problems = [f"{q}: the program says {a!r}, Python {w!r}" for q, a, w in zip(questions, answers, wanted) if a != w]
    if len(answers) != len(questions):
        problems.append(f"{len(answers)} answers to {len(questions)} questions")
    for p in problems[:20]:
        print(p, file=sys.stderr)
    if problems:
        print(f"{len(problems)} of {len(questions)} answers differ", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
