// The smallest comparable Qt Widgets program: one window holding one calendar, nothing else.
// Its start time and memory are the floor that ombrelclock's own figures are measured against.
#include <QApplication>
#include <QCalendarWidget>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QCalendarWidget(&window));
    window.show();
    return QApplication::exec();
}
