// OmbrelClock's entry point and its one application object.
#include "clock/ClockApp.h"

CClockApp theApp;

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
