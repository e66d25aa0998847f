#include "clock/CommandLine.h"

#include <chrono>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "core/JapaneseHolidays.h"
#include "profile/AtomicFile.h"
#include "profile/ProfileStore.h"
#include "topics/CalendarExport.h"
#include "topics/TopicFile.h"
#include "res/Version.h"

namespace {

constexpr const char* kUsage =
    "usage: ombrelclock [--help | --version | --holidays YEAR[-YEAR] | --export-ics FILE] [toolkit options]";

bool ReadYear(std::string_view text, int& year)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), year);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() && text.front() != '-'
        && year >= jcal::kFirstHolidayYear && year <= jcal::kLastHolidayYear;
}

// "2026" or "1955-2099".
bool ReadYears(std::string_view text, CommandLine& command)
{
    const std::size_t dash = text.find('-');
    if (!ReadYear(text.substr(0, dash), command.fromYear))
        return false;
    if (dash == std::string_view::npos) {
        command.toYear = command.fromYear;
        return true;
    }
    return ReadYear(text.substr(dash + 1), command.toYear) && command.fromYear <= command.toYear;
}

CommandLine Usage(std::string error)
{
    CommandLine command;
    command.action = CommandLine::Action::Usage;
    command.error = std::move(error);
    return command;
}

// The value of an option given as "--name value" or "--name=value"; false when there is none.
bool OptionValue(int argc, const char* const* argv, int& i, std::string_view& value)
{
    const std::string_view arg = argv[i];
    if (const std::size_t equals = arg.find('='); equals != std::string_view::npos) {
        value = arg.substr(equals + 1);
        return true;
    }
    if (i + 1 >= argc)
        return false;
    value = argv[++i];
    return true;
}

} // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine command;
    if (argc > 0 && argv[0]) {
        const std::string_view path = argv[0];
        command.program = std::string(path.substr(path.find_last_of('/') + 1));
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break; // what follows is no option
        if (!arg.starts_with("--") || command.action != CommandLine::Action::Run)
            continue; // the toolkit's, or after the one option that decides
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        if (name == "--help" && equals == std::string_view::npos) {
            command.action = CommandLine::Action::Help;
        } else if (name == "--version" && equals == std::string_view::npos) {
            command.action = CommandLine::Action::Version;
        } else if (name == "--holidays") {
            std::string_view years;
            if (!OptionValue(argc, argv, i, years))
                return Usage("--holidays needs a year");
            if (!ReadYears(years, command))
                return Usage("--holidays takes a year or a range of years from "
                             + std::to_string(jcal::kFirstHolidayYear) + " to "
                             + std::to_string(jcal::kLastHolidayYear) + ", not '" + std::string(years) + "'");
            command.action = CommandLine::Action::Holidays;
        } else if (name == "--export-ics") {
            std::string_view file;
            if (!OptionValue(argc, argv, i, file) || file.empty())
                return Usage("--export-ics needs a file (- for standard output)");
            command.file = std::string(file);
            command.action = CommandLine::Action::Export;
        } else {
            return Usage("unknown option '" + std::string(arg) + "'");
        }
    }
    return command;
}

namespace {

// The profile's topics as an iCalendar file, read and written without a window.
int ExportTopicsTo(const CommandLine& command)
{
    ProfileStore store(DefaultProfilePath(command.program.empty() ? "ombrelclock" : command.program));
    CStringArray entries;
    ReadTopicEntries(store, entries);
    const std::string ics = ExportICalendar(DatedTopics(entries), std::chrono::system_clock::now());
    if (ics.empty()) {
        std::fprintf(stderr, "ombrelclock: %s holds no topic to export\n", store.path().c_str());
        return 1;
    }
    if (command.file == "-") {
        std::fwrite(ics.data(), 1, ics.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    FileStamp written;
    std::string reason;
    if (!ReplaceFileAtomically(command.file, ics, {}, written, reason)) {
        std::fprintf(stderr, "ombrelclock: %s: %s\n", command.file.c_str(), reason.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int RunCommandLine(const CommandLine& command)
{
    switch (command.action) {
    case CommandLine::Action::Help:
        std::printf("%s\n\n"
                    "A desk clock and date book. Without options it opens the clock window.\n\n"
                    "  --help             show this text and exit\n"
                    "  --version          show the version and exit\n"
                    "  --holidays YEARS   list Japan's national holidays of a year (2026) or of a\n"
                    "                     range (1955-2099), one a line: date, tab, name, and a\n"
                    "                     tab and \"projected\" for years not yet announced\n"
                    "  --export-ics FILE  write every topic as an all-day event of an iCalendar\n"
                    "                     file (- for standard output), even while the clock runs\n",
                    kUsage);
        return 0;
    case CommandLine::Action::Version:
        std::printf("ombrelclock %s\n", res::version::kVersion);
        return 0;
    case CommandLine::Action::Holidays:
        std::fputs(jcal::HolidayListing(command.fromYear, command.toYear).c_str(), stdout);
        return 0;
    case CommandLine::Action::Export:
        return ExportTopicsTo(command);
    case CommandLine::Action::Usage:
        std::fprintf(stderr, "ombrelclock: %s; %s\n", command.error.c_str(), kUsage);
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}
