// The start-up routine: picks a display platform, creates the Qt application with the Japanese
// translation and the dialog font, and runs the application object's InitInstance.
#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "framework/qt/DialogFont.h"
#include "framework/qt/DialogWindow.h"
#include "profile/ProfileStore.h"
#include "framework/qt/SingleInstance.h"
#include "framework/Wnd.h"
#include "framework/qt/WndImpl.h"
#include "framework/WinApp.h"
#include "core/ResourceTable.h"

namespace {

bool starting = true;
QStringList heldBack; // warnings of the start, shown only if the start gets through

const char* kNoDisplay =
    "ombrelclock: no display found; it needs an X11 or Wayland display "
    "(for a virtual one, run it as: xvfb-run -a ombrelclock)\n";

void onQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg && starting) {
        // The platform plugin could not reach a display: say so in one line, without a core.
        std::fputs(kNoDisplay, stderr);
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    if (starting) {
        heldBack << message;
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

bool hasEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// X11 (also under XWayland) first: a Wayland client cannot place its own window.
bool choosePlatform()
{
    if (hasEnv("QT_QPA_PLATFORM"))
        return true;
#if defined(__unix__) && !defined(__APPLE__)
    if (hasEnv("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    return hasEnv("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int AfxWinMain(int argc, char** argv)
{
    if (!choosePlatform()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    qInstallMessageHandler(onQtMessage);
    QApplication app(argc, argv);
    starting = false;
    for (const QString& message : std::exchange(heldBack, {}))
        std::fprintf(stderr, "%s\n", qPrintable(message));
    QApplication::setDesktopFileName(QStringLiteral("ombrelclock"));

    // The user interface is Japanese whatever the locale, Qt's own texts included.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    // Message boxes and menus use the font the program's windows are designed for.
    const ResourceTable& resources = AfxGetResourceTable();
    if (resources.fontName)
        QApplication::setFont(MapDialogFont(resources.fontName, resources.fontPoints));

    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [](QSessionManager&) {
        DialogWindow::setSessionEnding();
    });

    CWinApp* program = AfxGetApp();
    if (!program)
        return 1;

    // A second start for the same profile brings the running window forward and ends.
    SingleInstance instance(QString::fromStdString(program->Profile().path().string()));
    if (instance.handOverToRunningCopy())
        return 0;
    instance.listen([] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window) {
            CWnd* main = AfxGetMainWnd();
            window = main && main->GetImpl() ? main->GetImpl()->widget.data() : nullptr;
        }
        if (window) {
            window->show();
            window->raise();
            window->activateWindow();
        }
    });
    if (program->InitInstance())
        return QApplication::exec();
    return 0;
}
