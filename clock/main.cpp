// OmbrelClock's entry point and its one application object.
#include "clock/ClockApp.h"
#include "clock/CommandLine.h"

CClockApp theApp;

int main(int argc, char** argv)
{
    // Options that print and exit need no display.
    const CommandLine command = ParseCommandLine(argc, argv);
    if (command.action != CommandLine::Action::Run)
        return RunCommandLine(command);
    return AfxWinMain(argc, argv);
}
