#!/usr/bin/python3
"""Checks an exported .ics with a second, independent reader (python3-icalendar).

Usage: check-ics.py ICS_FILE EXPECTED_JSON
EXPECTED_JSON lists the events that should be there: [{"date": "2026-12-24", "text": "..."}],
text with \\n line breaks. Exit 0 when the file matches, 1 (with every difference) when not,
2 when it cannot be checked.
"""
import datetime
import json
import re
import sys

import icalendar

BLANKS = " \t\u3000"


def raw_line_problems(data):
    """Content lines must end in CR LF, fit in 75 octets and each be UTF-8 on its own."""
    problems = []
    if not data.endswith(b"\r\n"):
        problems.append("the file does not end with CR LF")
    lines = data.split(b"\r\n")
    if lines[-1] == b"":
        lines.pop()
    for number, line in enumerate(lines, start=1):
        if b"\r" in line or b"\n" in line:
            problems.append("line %d: a bare CR or LF" % number)
        if len(line) > 75:
            problems.append("line %d: %d octets, more than 75" % (number, len(line)))
        try:
            line.decode("utf-8")
        except UnicodeDecodeError as error:
            problems.append("line %d: not UTF-8 on its own (%s)" % (number, error.reason))
    return problems


def expected_summary(text):
    """The title is the first line that has more than blanks on it."""
    for line in text.split("\n"):
        if line.strip(BLANKS):
            return line
    return ""


def event_problems(event, item):
    where = item["date"]
    problems = []
    start = event.decoded("DTSTART")
    end = event.decoded("DTEND")
    if isinstance(start, datetime.datetime) or isinstance(end, datetime.datetime):
        problems.append("%s: DTSTART and DTEND must be dates, not date-times" % where)
    elif end != start + datetime.timedelta(days=1):
        problems.append("%s: DTEND %s is not the next day" % (where, end))
    checks = (("SUMMARY", expected_summary(item["text"])), ("DESCRIPTION", item["text"]))
    for name, want in checks:
        got = str(event.get(name, ""))
        if got != want:
            problems.append("%s: %s is %r, expected %r" % (where, name, got, want))
    if not isinstance(event.decoded("DTSTAMP"), datetime.datetime):
        problems.append("%s: DTSTAMP is not a date-time" % where)
    return problems


def calendar_problems(calendar, expected):
    problems = []
    if str(calendar.get("VERSION", "")) != "2.0":
        problems.append("VERSION is not 2.0")
    if not str(calendar.get("PRODID", "")):
        problems.append("PRODID is missing")
    events = calendar.walk("VEVENT")
    uids = [str(event.get("UID", "")) for event in events]
    if len(set(uids)) != len(uids) or "" in uids:
        problems.append("UIDs are missing or not unique: %s" % uids)
    dates = [event.decoded("DTSTART").isoformat() for event in events]
    if dates != sorted(dates):
        problems.append("events are not in date order: %s" % dates)
    by_date = dict(zip(dates, events))
    wanted = [item["date"] for item in expected]
    for date in sorted(set(dates) - set(wanted)):
        problems.append("%s: an event that should not be there" % date)
    for item in expected:
        if item["date"] not in by_date:
            problems.append("%s: no event" % item["date"])
        else:
            problems.extend(event_problems(by_date[item["date"]], item))
    return problems


def unreadable_expectations(expected):
    # python3-icalendar 4.0 undoes escapes twice, so it misreads a backslash before a backslash,
    # n, N, comma or semicolon, and reads "%2C" and the like as the character they encode. Texts
    # holding those cannot be compared here; the unit tests cover them.
    pattern = re.compile(r"\\[\\nN,;]|%(2C|3A|3B|5C)")
    return [item["date"] for item in expected if pattern.search(item["text"])]


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(argv[1], "rb") as ics_file:
        data = ics_file.read()
    with open(argv[2], encoding="utf-8") as json_file:
        expected = json.load(json_file)
    unreadable = unreadable_expectations(expected)
    if unreadable:
        print("this reader cannot read back the text of: %s" % unreadable,
              file=sys.stderr)
        return 2
    problems = raw_line_problems(data)
    try:
        problems.extend(calendar_problems(icalendar.Calendar.from_ical(data), expected))
    except (ValueError, KeyError) as error:
        problems.append("the file does not read as iCalendar: %s" % error)
    for problem in problems:
        print("MISMATCH " + problem, file=sys.stderr)
    if problems:
        return 1
    print("%s: %d events match" % (argv[1], len(expected)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
