// The clock window driven for real offscreen: start-up, title, the quit question and its routes,
// the system menu, and ticks inside nested loops (fold and unfold: PlacementTest).
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QTest>

#include "GuiTestSupport.h"
#include "framework/qt/CaptionBar.h"
#include "framework/qt/CaptionColours.h"
#include "framework/qt/MonthCalWidget.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

class ClockDialogTest : public GuiTest {
    Q_OBJECT

    // A way to close the window ("escape", "altf4", "closebox", "wmclose"), and the flags then.
    struct CloseRoute { QString route; int flags; };
    // How the system menu is opened ("icon", "right-click" or a key), the entry chosen, and the
    // object name of what that opens or the SETTING key of the check item.
    struct MenuUse { QString how; int entry; QString opens; const char* key = nullptr; };

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

    // The title reads at 4.5 : 1 or better against every point of the caption's gradient,
    // focused or not, in light and dark palettes; the look follows the focus at once.
    void captionTitleIsReadable_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<bool>("active");
        QTest::newRow("light, active") << false << true;
        QTest::newRow("light, inactive") << false << false;
        QTest::newRow("dark, active") << true << true;
        QTest::newRow("dark, inactive") << true << false;
    }

    void captionTitleIsReadable()
    {
        QFETCH(bool, dark);
        QFETCH(bool, active);
        const QPalette light = QApplication::palette();
        if (dark)
            QApplication::setPalette(DarkPalette(light));
        CClockDialog dlg;
        QWidget other;
        RunModal(dlg, [&] {
            DialogWindow* window = WindowOf(dlg);
            QApplication::setActiveWindow(window);
            QTRY_VERIFY(window->isActiveWindow());
            if (!active) {
                other.show();
                QApplication::setActiveWindow(&other);
                QTRY_VERIFY(!window->isActiveWindow());
            }
            CaptionBar* caption = window->caption();
            const QImage shot = caption->grab().toImage();
            const int from = caption->iconRect().right() + 5, to = caption->closeRect().left() - 2;
            // The background along the top row; the ink, the title's pixel furthest from it.
            QColor ink;
            double inkContrast = 0;
            for (int x = from; x < to; ++x)
                for (int y = 2; y < shot.height() - 2; ++y)
                    if (const double c = Contrast(shot.pixelColor(x, y), shot.pixelColor(x, 0)); c > inkContrast) {
                        inkContrast = c;
                        ink = shot.pixelColor(x, y);
                    }
            double worst = 21;
            for (int x = from; x < to; ++x)
                worst = std::min(worst, Contrast(ink, shot.pixelColor(x, 0)));
            QVERIFY2(worst >= 4.5, qPrintable(QString("%1 on %2..%3: %4").arg(ink.name(), shot.pixelColor(from, 0).name(),
                                                                             shot.pixelColor(to, 0).name()).arg(worst)));
            // Active and inactive captions differ.
            const auto distance = [](const QColor& a, const QColor& b) {
                return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
            };
            const QColor left = shot.pixelColor(0, 0);
            QCOMPARE(distance(left, MakeCaptionColours(caption->palette(), true).left)
                         < distance(left, MakeCaptionColours(caption->palette(), false).left),
                     active);
        });
        QApplication::setPalette(light);
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

    // The same menu from the icon, a right click and the keys; its entries do what they say.
    void captionOpensTheSystemMenu_data()
    {
        QTest::addColumn<MenuUse>("row");
        QTest::newRow("icon, About") << MenuUse{"icon", 3, QString("dialog%1").arg(IDD_ABOUT)};
        QTest::newRow("right-click on the title, Close") << MenuUse{"right-click", 1, "messageBox"};
        QTest::newRow("Alt+Space, keep on top: saved at once") << MenuUse{"Alt+Space", 5, {}, "TOPMOST"};
        QTest::newRow("Shift+F10, all desktops: saved at once") << MenuUse{"Shift+F10", 6, {}, "STICKY"};
        QTest::newRow("Menu key, Monday first: at once, and saved") << MenuUse{"Menu", 7, {}, "WEEKSTART"};
        QTest::newRow("icon, search") << MenuUse{"icon", 10, QString("dialog%1").arg(IDD_SEARCH)};
        QTest::newRow("icon, export: the file chosen holds the topic") << MenuUse{"icon", 11, "fileDialog"};
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
            if (row.how == "icon" || row.how == "right-click") {
                const bool right = row.how == "right-click";
                QTest::mouseClick(caption, right ? Qt::RightButton : Qt::LeftButton, {},
                                  right ? caption->rect().center() : caption->iconRect().center());
            } else { // to the calendar, which has the focus and passes the key on
                const QKeyCombination key = QKeySequence(row.how)[0];
                QTest::keyClick(WindowOf(dlg)->focusWidget(), key.key(), key.keyboardModifiers());
            }
            if (row.key) { // the check item: checked and saved at once (Monday first: the calendar too)
                QTRY_COMPARE(profileValue("SETTING", row.key), QStringLiteral("1"));
                QCOMPARE(dlg.GetSystemMenu(FALSE)->Items().at(row.entry).flags & MF_CHECKED, MF_CHECKED);
                QCOMPARE(WindowOf(dlg)->findChild<MonthCalWidget*>()->firstWeekday(), qstrcmp(row.key, "WEEKSTART") == 0 ? 1 : 0);
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
                                       QStringLiteral("常に手前に表示"), QStringLiteral("すべてのデスクトップに表示"),
                                       QStringLiteral("月曜始まり"), QStringLiteral("今日のトピックを通知"), QStringLiteral("-"),
                                       QStringLiteral("トピックを検索...\tCtrl+F"), QStringLiteral("iCalendar 形式で書き出す...")}));
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
