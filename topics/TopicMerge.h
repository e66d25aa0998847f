// The user's changes to the topic list, remembered by date until a save has written them, and
// how a save lays them over the entries the file holds at that moment.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "core/String.h"
#include "topics/TopicIndex.h"

struct TopicDate {
    int year = 0;
    int month = 0;
    int day = 0;
    auto operator<=>(const TopicDate&) const = default;
};

struct TopicChange {
    // The date's text as the program last read or wrote it; none when the file had no entry.
    // A file that no longer says this was changed by someone else meanwhile.
    std::optional<CString> base;
    CString text; // what the user made of it
    int order = 0; // dates new to the file are added in the order the user first changed them
};

using TopicChanges = std::map<TopicDate, TopicChange>;

// The text of the first entry for `date`, none when there is no such entry.
std::optional<CString> TopicTextOf(const CStringArray& entries, const TopicIndex& index, TopicDate date);

struct TopicMerge {
    std::vector<int> written; // entries that differ from the file's, ascending
    std::vector<TopicDate> overwritten; // dates whose outside change the user's text replaces
};

// Sets each changed date's entry in `entries` (the file's list, `index` built over it): the first
// entry of the date is replaced, a date without one is appended. Entries of other dates stay.
TopicMerge ApplyTopicChanges(CStringArray& entries, TopicIndex& index, const TopicChanges& changes);
