// The clock window driven for real offscreen: start-up, title, the quit question and its routes,
// the system menu, and ticks inside nested loops (fold and unfold: PlacementTest).
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QTest>

#include "GuiTestSupport.h"
#include "framework/qt/CaptionBar.h"
#include "framework/qt/MonthCalWidget.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

class ClockDialogTest : public GuiTest {
    Q_OBJECT

    // A way to close the window ("escape", "altf4", "closebox", "wmclose"), and the flags then.
    struct CloseRoute { QString route; int flags; };
    // How the system menu is opened, the entry chosen and the object name of what that opens.
    struct MenuUse { bool rightClick; int entry; QString opens; };

private slots:
    // Folded, the window is its caption; the calendar lies below the edge but keeps the focus.
    void startsFoldedWithTheClockInItsTitle()
    {
        setNow(2003, 8, 3, 9, 3);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            DialogWindow* window = WindowOf(dlg);
            QCOMPARE(window->windowTitle(), QStringLiteral("09:03  08/03 Sun"));
            QCOMPARE(window->caption()->title(), QStringLiteral("09:03  08/03 Sun"));
            QCOMPARE(QDate(dlg.m_year, dlg.m_month, dlg.m_day), QDate(2003, 8, 3));
            QCOMPARE(window->height(), window->caption()->height());
            QWidget* calendar = window->control(IDC_CALENDAR);
            QCOMPARE(window->focusWidget(), calendar);
            QVERIFY(calendar->mapTo(window, QPoint(0, 0)).y() >= window->height());
        });
    }

    // Each route puts the question; No keeps the window as it was (while the clock ticks on
    // inside the question), and Enter there, Yes, ends it.
    void everyCloseRouteAsksFirst_data()
    {
        QTest::addColumn<CloseRoute>("row");
        QTest::newRow("Escape, folded") << CloseRoute{"escape", 0};
        QTest::newRow("Alt+F4, unfolded") << CloseRoute{"altf4", 1};
        QTest::newRow("close box, selection pending") << CloseRoute{"closebox", 3};
        QTest::newRow("window manager close") << CloseRoute{"wmclose", 1};
    }

    void everyCloseRouteAsksFirst()
    {
        QFETCH(CloseRoute, row);
        setNow(2026, 12, 31, 23, 59);
        CClockDialog dlg;
        const auto result = RunModal(dlg, [&] {
            DialogWindow* window = WindowOf(dlg);
            dlg.m_flags = row.flags;
            dlg.ApplyLayout();
            const QRect before = WindowRect(dlg);
            const auto close = [&] {
                if (row.route == "escape")
                    QTest::keyClick(window, Qt::Key_Escape);
                else if (row.route == "altf4")
                    QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
                else if (row.route == "closebox")
                    QTest::mouseClick(window->caption(), Qt::LeftButton, {}, window->caption()->closeRect().center());
                else
                    window->close();
            };
            QString text, caption, titleInside;
            AnswerNextMessageBox(QMessageBox::No, &text, &caption, [&] {
                setNow(2027, 1, 1, 0, 0);
                dlg.SendMessage(WM_TIMER, 1);
                titleInside = window->windowTitle();
            });
            close();
            QTRY_VERIFY(!text.isEmpty()); // the window manager's close is queued
            QCOMPARE(text, QStringLiteral("終了しますか？"));
            QCOMPARE(caption, QStringLiteral("終了"));
            QCOMPARE(titleInside, QStringLiteral("00:00  01/01 Fri"));
            QCOMPARE(WindowRect(dlg), before);
            QCOMPARE(dlg.m_flags, row.flags);
            QVERIFY(window->isVisible());

            bool answered = false;
            WhenModal(QStringLiteral("messageBox"), [&](QWidget* box) {
                answered = true;
                QTest::keyClick(box, Qt::Key_Return);
            });
            close();
            QTRY_VERIFY(answered);
        });
        // No kept the loop running; Yes ended it through Cancel.
        QCOMPARE(result, std::intptr_t(IDCANCEL));
    }

    void systemMenuMoveFollowsKeys()
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

    // The same menu from the icon and from a right click; its entries do what they say.
    void captionOpensTheSystemMenu_data()
    {
        QTest::addColumn<MenuUse>("row");
        QTest::newRow("icon, About") << MenuUse{false, 3, QString("dialog%1").arg(IDD_ABOUT)};
        QTest::newRow("right-click on the title, Close") << MenuUse{true, 1, "messageBox"};
        QTest::newRow("icon, Monday first: at once, and saved") << MenuUse{false, 5, {}};
        QTest::newRow("icon, export: the file chosen holds the topic") << MenuUse{false, 8, "fileDialog"};
    }

    void captionOpensTheSystemMenu()
    {
        QFETCH(MenuUse, row);
        writeProfile("[TOPICS]\nNUMBER=1\n00000=[2026:12:24]忘年会\n");
        const QString exported = QFileInfo(profilePath()).dir().filePath("topics.ics");
        CClockDialog dlg;
        QStringList entries;
        bool opened = false;
        RunModal(dlg, [&] {
            CaptionBar* caption = WindowOf(dlg)->caption();
            if (!row.opens.isEmpty()) {
                WhenModal(row.opens, [&](QWidget* window) {
                    opened = true;
                    if (auto* files = qobject_cast<QFileDialog*>(window)) {
                        files->selectFile(exported);
                        QMetaObject::invokeMethod(files, "accept");
                    } else {
                        QTest::keyClick(window, Qt::Key_Escape);
                    }
                });
            }
            // The menu runs its own loop; this comes up inside it.
            QTimer::singleShot(0, [&] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    for (QAction* action : menu->actions())
                        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
                    if (QAction* chosen = menu->actions().value(row.entry))
                        chosen->trigger();
                    menu->close();
                }
            });
            QTest::mouseClick(caption, row.rightClick ? Qt::RightButton : Qt::LeftButton, {},
                              row.rightClick ? caption->rect().center() : caption->iconRect().center());
            if (row.opens.isEmpty()) { // the check item: the calendar and the file follow at once
                QTRY_COMPARE(WindowOf(dlg)->findChild<MonthCalWidget*>()->firstWeekday(), 1);
                QCOMPARE(profileValue("SETTING", "WEEKSTART"), QStringLiteral("1"));
                QCOMPARE(dlg.GetSystemMenu(FALSE)->Items().at(row.entry).flags & MF_CHECKED, MF_CHECKED);
            } else {
                QTRY_VERIFY(opened);
            }
        });
        if (row.opens == "fileDialog") {
            QFile ics(exported);
            QVERIFY(ics.open(QIODevice::ReadOnly));
            QVERIFY(ics.readAll().contains("\r\nSUMMARY:忘年会\r\n"));
        }
        QCOMPARE(entries, (QStringList{QStringLiteral("移動(&M)"), QStringLiteral("閉じる(&C)\tAlt+F4"), QStringLiteral("-"),
                                       QStringLiteral("OmbrelClock の情報と設定(&A)"), QStringLiteral("-"),
                                       QStringLiteral("月曜始まり"), QStringLiteral("今日のトピックを通知"), QStringLiteral("-"),
                                       QStringLiteral("iCalendar 形式で書き出す...")}));
    }

    // Last: the session's end cannot be undone within the process.
    void sessionEndClosesWithoutAsking()
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
};

QTEST_MAIN(ClockDialogTest)
#include "ClockDialogTest.moc"
