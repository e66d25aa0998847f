// Program code that reaches for Qt. Built as the program's own files are, it must not compile;
// built as the framework's Qt backend is, it must (so the failure is the missing Qt, not this file).
#include <QWidget>

int probe()
{
    return QWidget().width();
}
