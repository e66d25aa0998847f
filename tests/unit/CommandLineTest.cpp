// The program's own options, and the toolkit's passing through untouched.
#include "clock/CommandLine.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TEST(CommandLine, ReadsTheProgramsOptionsOnly)
{
    using A = CommandLine::Action;
    const struct {
        std::vector<const char*> args;
        A action;
        int from = 0, to = 0;
    } cases[] = {
        {{}, A::Run},
        {{"-platform", "offscreen", "-session", "abc"}, A::Run}, // the toolkit's, with their values
        {{"--help"}, A::Help},
        {{"-platform", "xcb", "--version"}, A::Version},
        {{"--holidays", "2026"}, A::Holidays, 2026, 2026},
        {{"--holidays=1955-2099"}, A::Holidays, 1955, 2099},
        {{"--", "--frob"}, A::Run},
        {{"--frob"}, A::Usage},
        {{"--help=x"}, A::Usage},
        {{"--holidays"}, A::Usage},
        {{"--holidays", "1947"}, A::Usage}, // before the holiday law
        {{"--holidays", "2027-2026"}, A::Usage},
        {{"--holidays", "2026-"}, A::Usage},
        {{"--holidays", "-2026"}, A::Usage},
        {{"--holidays", "２０２６"}, A::Usage},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"ombrelclock"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const CommandLine command = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        EXPECT_EQ(std::tie(command.action, command.fromYear, command.toYear), std::tie(c.action, c.from, c.to));
        EXPECT_EQ(command.error.empty(), c.action != A::Usage);
    }
}

} // namespace
