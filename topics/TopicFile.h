// The topic list as the profile's "TOPICS" section holds it, read without any window: the clock
// window's list and the command line's export both read it here.
#pragma once

#include <vector>

#include "core/String.h"
#include "topics/CalendarExport.h"

class ProfileStore;

// One pass through the section: entry i is key "%05d" of i (first line of a key), up to the
// last entry key below NUMBER; missing ones in between are empty, "<CR>" reads as CR LF.
// Returns the file's NUMBER.
int ReadTopicEntries(ProfileStore& store, CStringArray& entries);

// The entries whose header reads as a date, in list order, their texts without the header.
std::vector<DatedTopic> DatedTopics(const CStringArray& entries);
