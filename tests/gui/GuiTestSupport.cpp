#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include "clock/ClockApp.h"
#include "framework/qt/WndImpl.h"

// The application object every dialog expects (icons, main window, profile).
CClockApp theApp;

std::intptr_t RunModal(CDialog& dialog, const std::function<void()>& body)
{
    // The first dialog run is the main window, as the application object makes it.
    const bool main = theApp.m_pMainWnd == nullptr;
    if (main)
        theApp.m_pMainWnd = &dialog;
    QTimer::singleShot(0, [&dialog, body] {
        body();
        dialog.EndDialog(kEndedByTest);
    });
    const std::intptr_t result = dialog.DoModal();
    if (main)
        theApp.m_pMainWnd = nullptr;
    return result;
}

void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* seenText, QString* seenCaption,
                          std::function<void()> whileOpen)
{
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        if (seenText)
            *seenText = box->text();
        if (seenCaption)
            *seenCaption = box->windowTitle();
        if (whileOpen)
            whileOpen();
        box->button(button)->click();
    });
    poll->start();
}

void ActOnNextDialog(unsigned templateId, std::function<void(DialogWindow*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(0);
    const QString name = QStringLiteral("dialog%1").arg(templateId);
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* window = qobject_cast<DialogWindow*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible() || window->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        act(window);
    });
    poll->start();
}

QByteArray ReadProfile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DialogWindow* WindowOf(const CWnd& wnd)
{
    WndImpl* impl = wnd.GetImpl();
    return impl ? qobject_cast<DialogWindow*>(impl->widget.data()) : nullptr;
}

FixedClock::FixedClock(int year, int month, int day, int hour, int minute)
    : m_scope([this] { return std::chrono::system_clock::from_time_t(m_now); })
{
    Set(year, month, day, hour, minute);
}

void FixedClock::Set(int year, int month, int day, int hour, int minute)
{
    m_now = CTime(year, month, day, hour, minute, 0).GetTime();
}

TempProfileHome::TempProfileHome() : m_previous(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
}

TempProfileHome::~TempProfileHome()
{
    qputenv("XDG_CONFIG_HOME", m_previous);
}

QString TempProfileHome::profilePath() const
{
    return m_dir.filePath(QCoreApplication::applicationName() + QStringLiteral(".ini"));
}
