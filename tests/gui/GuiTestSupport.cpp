#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "clock/ClockApp.h"
#include "framework/qt/WndImpl.h"
#include "profile/ProfileStore.h"

// The application object every dialog expects (resources, icons, main window, profile).
CClockApp theApp;

void GuiTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_home->filePath(QStringLiteral("state"))));
    theApp.SetProfilePath(QFile::encodeName(profilePath()).constData());
    m_clock = std::make_unique<ScopedClock>([this] { return std::chrono::system_clock::from_time_t(m_now); });
    setNow(2026, 12, 6, 10, 0);
}

void GuiTest::cleanup()
{
    checkAfterTest();
    m_clock.reset();
    theApp.SetProfilePath(nullptr);
    m_home.reset();
}

QString GuiTest::profilePath() const
{
    return m_home->filePath(QStringLiteral("ombrelclock.ini"));
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray GuiTest::readProfile() const
{
    QFile file(profilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString GuiTest::profileValue(const char* section, const QString& key) const
{
    ProfileStore store(QFile::encodeName(profilePath()).toStdString());
    return QString::fromStdString(store.GetString(section, key.toStdString(), "<missing>"));
}

void GuiTest::setNow(int year, int month, int day, int hour, int minute)
{
    m_now = CTime(year, month, day, hour, minute, 0).GetTime();
}

std::intptr_t RunModal(CDialog& dialog, const std::function<void()>& body)
{
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

void WhenModal(const QString& name, std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || !window->isVisible() || window->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        act(window);
    });
    poll->start();
}

void AnswerNextMessageBox(QMessageBox::StandardButton button, QString* seenText, QString* seenCaption,
                          std::function<void()> whileOpen)
{
    WhenModal(QStringLiteral("messageBox"), [=](QWidget* window) {
        auto* box = static_cast<QMessageBox*>(window);
        if (seenText)
            *seenText = box->text();
        if (seenCaption)
            *seenCaption = box->windowTitle();
        if (whileOpen)
            whileOpen();
        box->button(button)->click();
    });
}

void ActOnNextDialog(unsigned templateId, std::function<void(DialogWindow*)> act)
{
    WhenModal(QStringLiteral("dialog%1").arg(templateId),
              [act](QWidget* window) { act(static_cast<DialogWindow*>(window)); });
}

DialogWindow* WindowOf(const CWnd& wnd)
{
    WndImpl* impl = wnd.GetImpl();
    return impl ? qobject_cast<DialogWindow*>(impl->widget.data()) : nullptr;
}

QRect WindowRect(const CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QPalette DarkPalette(QPalette dark)
{
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
    dark.setColor(QPalette::Highlight, QColor(0, 0, 160));
    dark.setColor(QPalette::HighlightedText, Qt::yellow);
    return dark;
}

double Contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto lin = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
