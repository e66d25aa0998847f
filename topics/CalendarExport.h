// Writes the dated topics out as an iCalendar file, one all-day event per date,
// for import into other calendar programs.
#pragma once

#include <chrono>
#include <string>
#include <vector>

// One topic as the date book holds it. The text is UTF-8; its line breaks are CR LF pairs.
struct DatedTopic {
    int year;
    int month;
    int day;
    std::string text;
};

// The iCalendar text (CR LF line ends, folded at 75 octets) of every topic that has a
// non-blank character, one all-day event per date, in date order. `stamp` is the export time,
// written as DTSTAMP in UTC. Dates are taken as given; a date that does not exist, or lies
// outside 0001-01-01 to 3000-12-30 (libical writes no later year, and the next day is written
// too), is skipped. Of several entries for one date only the first counts, as it is the one the
// date book shows. Each event's UID comes from its date alone, so importing a later export
// updates the events instead of adding them twice.
// Empty when no topic qualifies: a calendar must hold at least one event, and the caller
// should say there is nothing to export rather than write an empty file.
std::string ExportICalendar(const std::vector<DatedTopic>& topics,
                            std::chrono::system_clock::time_point stamp);
