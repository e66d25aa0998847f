// The clock window driven for real offscreen: start-up, title, fold and unfold, the quit
// question and its routes, the system menu, and ticks inside nested loops.
#include <QAbstractButton>
#include <QMenu>
#include <QTimer>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "framework/qt/CaptionBar.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

class ClockDialogTest : public GuiTest {
    Q_OBJECT

private slots:
    void startsFoldedWithTheClockInItsTitle();
    void systemMenuCarriesTheAboutEntry();
    void enterTwiceRestoresTheHeight_data();
    void enterTwiceRestoresTheHeight();
    void unfoldedClientIsTheCalendarsHeight();
    void everyCloseRouteAsksFirst_data();
    void everyCloseRouteAsksFirst();
    void noChangesNothingAndYesEnds_data();
    void noChangesNothingAndYesEnds();
    void tickInsideTheQuestionUpdatesTitleAndDate();
    void calendarKeysWorkWhileFolded_data();
    void calendarKeysWorkWhileFolded();
    void systemMenuMoveFollowsKeys();
    void captionOpensTheSystemMenu_data();
    void captionOpensTheSystemMenu();
    // Last: the session's end cannot be undone within the process.
    void sessionEndClosesWithoutAsking();
};

void ClockDialogTest::startsFoldedWithTheClockInItsTitle()
{
    setNow(2003, 8, 3, 9, 3);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("09:03  08/03 Sun"));
        QCOMPARE(window->caption()->title(), QStringLiteral("09:03  08/03 Sun"));
        QCOMPARE(dlg.m_flags, 0);
        QCOMPARE(dlg.m_year, 2003);
        QCOMPARE(dlg.m_month, 8);
        QCOMPARE(dlg.m_day, 3);
        CRect client;
        dlg.GetClientRect(&client);
        QCOMPARE(client.Height(), 0);
        QCOMPARE(window->height(), window->caption()->height());
    });
}

void ClockDialogTest::systemMenuCarriesTheAboutEntry()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        const auto& items = dlg.GetSystemMenu(FALSE)->Items();
        QVERIFY(items.size() >= 3);
        QCOMPARE(items[items.size() - 2].flags & MF_SEPARATOR, MF_SEPARATOR);
        QCOMPARE(items.back().id, IDM_ABOUT);
        QCOMPARE(QString::fromUtf8(items.back().text.GetString()), QStringLiteral("OmbrelClock の情報と設定(&A)"));
        const bool hasClose = std::any_of(items.begin(), items.end(), [](const CMenu::Item& i) {
            return i.id == SC_CLOSE && QString::fromUtf8(i.text.GetString()).startsWith(QStringLiteral("閉じる(&C)"));
        });
        QVERIFY(hasClose);
    });
}

void ClockDialogTest::enterTwiceRestoresTheHeight_data()
{
    QTest::addColumn<int>("startFlags");
    QTest::addColumn<int>("startClientHeight"); // -1: the laid-out height for the flags
    QTest::newRow("folded") << 0 << -1;
    QTest::newRow("unfolded") << 1 << -1;
    QTest::newRow("odd height, folded flag") << 0 << 77;
    QTest::newRow("odd height, unfolded flag") << 1 << 300;
}

void ClockDialogTest::enterTwiceRestoresTheHeight()
{
    QFETCH(int, startFlags);
    QFETCH(int, startClientHeight);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        dlg.m_flags = startFlags;
        dlg.ApplyLayout();
        CRect start;
        dlg.GetWindowRect(&start);
        start = CRect(40, 30, 40 + start.Width(), 30 + start.Height());
        if (startClientHeight >= 0)
            start.bottom = start.top + window->caption()->height() + startClientHeight;
        dlg.MoveWindow(start);

        CRect calendar;
        dlg.m_calendar.GetWindowRect(&calendar);
        const int folded = window->caption()->height();
        const int unfolded = folded + calendar.Height();

        QTest::keyClick(window, Qt::Key_Return);
        CRect once;
        dlg.GetWindowRect(&once);
        QCOMPARE(once.left, start.left);
        QCOMPARE(once.top, start.top);
        QCOMPARE(once.Width(), start.Width());
        QCOMPARE(once.Height(), (startFlags & 1) ? folded : unfolded);

        QTest::keyClick(window, Qt::Key_Return);
        CRect twice;
        dlg.GetWindowRect(&twice);
        QCOMPARE(twice.left, start.left);
        QCOMPARE(twice.top, start.top);
        QCOMPARE(twice.Height(), (startFlags & 1) ? unfolded : folded);
        if (startClientHeight < 0)
            QCOMPARE(twice, start);
        QCOMPARE(dlg.m_flags, startFlags);
    });
}

void ClockDialogTest::unfoldedClientIsTheCalendarsHeight()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.SendMessage(WM_COMMAND, IDOK);
        CRect client;
        dlg.GetClientRect(&client);
        CRect calendar;
        dlg.m_calendar.GetWindowRect(&calendar);
        QCOMPARE(client.Height(), calendar.Height());
        // 90 dialog units of a 12-pixel em: 135 pixels at 96 dots per inch.
        QCOMPARE(calendar.Height(), 135);
    });
}

void ClockDialogTest::everyCloseRouteAsksFirst_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Alt+F4") << "altf4";
    QTest::newRow("close box") << "closebox";
    QTest::newRow("system menu close") << "sysclose";
    QTest::newRow("window manager close") << "wmclose";
}

void ClockDialogTest::everyCloseRouteAsksFirst()
{
    QFETCH(QString, route);
    CClockDialog dlg;
    QString text, caption;
    const auto result = RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        AnswerNextMessageBox(QMessageBox::Yes, &text, &caption);
        if (route == "escape")
            QTest::keyClick(window, Qt::Key_Escape);
        else if (route == "altf4")
            QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
        else if (route == "closebox")
            QTest::mouseClick(window->caption(), Qt::LeftButton, {}, window->caption()->closeRect().center());
        else if (route == "sysclose")
            dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        else
            window->close();
        // The window manager's close is queued; let it arrive.
        QTRY_VERIFY(!text.isEmpty());
    });
    QCOMPARE(text, QStringLiteral("終了しますか？"));
    QCOMPARE(caption, QStringLiteral("終了"));
    QCOMPARE(result, std::intptr_t(IDCANCEL));
}

void ClockDialogTest::noChangesNothingAndYesEnds_data()
{
    QTest::addColumn<int>("flags");
    QTest::newRow("folded") << 0;
    QTest::newRow("unfolded") << 1;
    QTest::newRow("unfolded, selection pending") << 3;
}

void ClockDialogTest::noChangesNothingAndYesEnds()
{
    QFETCH(int, flags);
    CClockDialog dlg;
    const auto result = RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        dlg.m_flags = flags;
        dlg.ApplyLayout();
        CRect before;
        dlg.GetWindowRect(&before);

        AnswerNextMessageBox(QMessageBox::No);
        QTest::keyClick(window, Qt::Key_Escape);
        CRect after;
        dlg.GetWindowRect(&after);
        QCOMPARE(after, before);
        QCOMPARE(dlg.m_flags, flags);
        QVERIFY(window->isVisible());

        // Yes is the default button: Enter in the question quits.
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        AnswerNextMessageBox(QMessageBox::Yes, nullptr, nullptr, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            defaultButton = box->standardButton(box->defaultButton());
        });
        QTest::keyClick(window, Qt::Key_Escape);
        QCOMPARE(defaultButton, QMessageBox::Yes);
    });
    // No kept the loop running; Yes ended it through Cancel.
    QCOMPARE(result, std::intptr_t(IDCANCEL));
}

void ClockDialogTest::tickInsideTheQuestionUpdatesTitleAndDate()
{
    setNow(2026, 12, 31, 23, 59);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        QString titleInside;
        AnswerNextMessageBox(QMessageBox::No, nullptr, nullptr, [&] {
            setNow(2027, 1, 1, 0, 0);
            dlg.SendMessage(WM_TIMER, 1);
            titleInside = window->windowTitle();
        });
        QTest::keyClick(window, Qt::Key_Escape);
        QCOMPARE(titleInside, QStringLiteral("00:00  01/01 Fri"));
        QCOMPARE(dlg.m_year, 2027);
        QCOMPARE(dlg.m_month, 1);
        QCOMPARE(dlg.m_day, 1);
    });
}

void ClockDialogTest::calendarKeysWorkWhileFolded_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("Right") << int(Qt::Key_Right) << 2026 << 12 << 7;
    QTest::newRow("Up") << int(Qt::Key_Up) << 2026 << 11 << 29;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 2027 << 1 << 6;
    QTest::newRow("End") << int(Qt::Key_End) << 2026 << 12 << 31;
}

void ClockDialogTest::calendarKeysWorkWhileFolded()
{
    QFETCH(int, key);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        QWidget* calendar = window->control(IDC_CALENDAR);
        QCOMPARE(dlg.m_flags & 1, 0);
        // Folded, the calendar lies below the window's edge but keeps the focus.
        QCOMPARE(window->focusWidget(), calendar);
        QVERIFY(calendar->mapTo(window, QPoint(0, 0)).y() >= window->height());
        QTest::keyClick(calendar, Qt::Key(key));
        QCOMPARE(dlg.m_year, year);
        QCOMPARE(dlg.m_month, month);
        QCOMPARE(dlg.m_day, day);
        QCOMPARE(dlg.m_flags, 2);
    });
}

void ClockDialogTest::systemMenuMoveFollowsKeys()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        DialogWindow* window = WindowOf(dlg);
        dlg.MoveWindow(CRect(100, 100, 266, 119));
        const QPoint start = window->pos();
        dlg.SendMessage(WM_SYSCOMMAND, SC_MOVE);
        QCOMPARE(QWidget::keyboardGrabber(), window);
        QTest::keyClick(window, Qt::Key_Right);
        QTest::keyClick(window, Qt::Key_Down);
        QCOMPARE(window->pos(), start + QPoint(8, 8));
        QTest::keyClick(window, Qt::Key_Escape); // puts it back, and is not the quit key here
        QVERIFY(!QWidget::keyboardGrabber());
        QCOMPARE(window->pos(), start);

        dlg.SendMessage(WM_SYSCOMMAND, SC_MOVE);
        QTest::keyClick(window, Qt::Key_Left);
        QTest::keyClick(window, Qt::Key_Return); // keeps it, and does not unfold
        QCOMPARE(window->pos(), start + QPoint(-8, 0));
        QCOMPARE(dlg.m_flags, 0);
    });
}

void ClockDialogTest::captionOpensTheSystemMenu_data()
{
    QTest::addColumn<bool>("rightClick");
    QTest::newRow("icon") << false;
    QTest::newRow("right-click on the title") << true;
}

void ClockDialogTest::captionOpensTheSystemMenu()
{
    QFETCH(bool, rightClick);
    CClockDialog dlg;
    QStringList entries;
    bool aboutOpened = false;
    RunModal(dlg, [&] {
        CaptionBar* caption = WindowOf(dlg)->caption();
        ActOnNextDialog(IDD_ABOUT, [&](DialogWindow* about) {
            aboutOpened = true;
            QTest::keyClick(about, Qt::Key_Escape);
        });
        QTimer poll;
        poll.setInterval(0);
        connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            for (QAction* action : menu->actions())
                entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
            menu->actions().last()->trigger();
            menu->close();
        });
        poll.start();
        if (rightClick)
            QTest::mouseClick(caption, Qt::RightButton, {}, caption->rect().center());
        else
            QTest::mouseClick(caption, Qt::LeftButton, {}, caption->iconRect().center());
        QTRY_VERIFY(aboutOpened);
    });
    QCOMPARE(entries, (QStringList{QStringLiteral("移動(&M)"), QStringLiteral("閉じる(&C)\tAlt+F4"), QStringLiteral("-"),
                                   QStringLiteral("OmbrelClock の情報と設定(&A)")}));
}

void ClockDialogTest::sessionEndClosesWithoutAsking()
{
    CClockDialog dlg;
    QString asked;
    const auto result = RunModal(dlg, [&] {
        AnswerNextMessageBox(QMessageBox::No, &asked);
        DialogWindow::setSessionEnding();
        WindowOf(dlg)->close();
    });
    QCOMPARE(result, std::intptr_t(IDCANCEL));
    QVERIFY(asked.isEmpty());
}

QTEST_MAIN(ClockDialogTest)
#include "ClockDialogTest.moc"
