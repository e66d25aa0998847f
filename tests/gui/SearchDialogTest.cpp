// The topic search through the real windows offscreen: Ctrl+F opens it, the list follows each
// keystroke, and the date chosen is shown in the calendar, where one click then edits it.
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "core/CalendarMonth.h"
#include "framework/qt/MonthCalWidget.h"
#include "res/Resource.h"

class SearchDialogTest : public GuiTest {
    Q_OBJECT

    // What is typed, the list after each keystroke (" | " between rows), how the dialog is left
    // ("enter", "escape", "dblclick" on the second row), and the date shown then (null: none,
    // the window as it was).
    struct Use { QString typed; QStringList lists; QString close; QDate shown; };

private slots:
    void search_data()
    {
        QTest::addColumn<Use>("row");
        const QString all = "2027/01/20(水) ａｂｃ | 2026/12/24(木) 忘年会 AB | 2026/03/15(日) Abc 会議";
        QTest::newRow("typing narrows the list, Enter takes the latest, turning the month")
            << Use{"abc", {all, all, "2027/01/20(水) ａｂｃ | 2026/03/15(日) Abc 会議"}, "enter", QDate(2027, 1, 20)};
        QTest::newRow("a double click takes its row")
            << Use{"Ａ", {all}, "dblclick", QDate(2026, 12, 24)};
        QTest::newRow("Escape shows nothing") << Use{"会", {"2026/12/24(木) 忘年会 AB | 2026/03/15(日) Abc 会議"}, "escape", {}};
        QTest::newRow("Enter with nothing found keeps the dialog open") << Use{"zz", {"", ""}, "enter", {}};
    }

    void search()
    {
        QFETCH(Use, row);
        writeProfile("[TOPICS]\nNUMBER=3\n00000=[2026: 3:15]Abc 会議\n00001=[2027: 1:20]ａｂｃ<CR>二行目\n"
                     "00002=[2026:12:24]忘年会 AB\n");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QStringList lists;
            bool leftOpen = false;
            ActOnNextDialog(IDD_SEARCH, [&](DialogWindow* window) {
                auto* edit = qobject_cast<QLineEdit*>(window->control(IDC_SEARCH_TEXT));
                auto* list = qobject_cast<QListView*>(window->control(IDC_SEARCH_LIST));
                for (const QChar c : row.typed) {
                    if (c.unicode() < 128) {
                        QTest::keyClicks(edit, c);
                    } else { // as an input method gives it
                        QInputMethodEvent commit;
                        commit.setCommitString(c);
                        QApplication::sendEvent(edit, &commit);
                    }
                    QStringList rows;
                    for (int i = 0; i < list->model()->rowCount(); ++i)
                        rows << list->model()->index(i, 0).data().toString();
                    lists << rows.join(" | ");
                }
                const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
                if (row.close == "dblclick") { // a click, then the press the platform reports as the double one
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
                } else {
                    QTest::keyClick(edit, row.close == "enter" ? Qt::Key_Return : Qt::Key_Escape);
                }
                // Runs only if the dialog is still there once its loop had the chance to end.
                QMetaObject::invokeMethod(window, [&, edit] {
                    leftOpen = true;
                    QTest::keyClick(edit, Qt::Key_Escape);
                }, Qt::QueuedConnection);
            });
            QVERIFY(QTest::qWaitForWindowActive(WindowOf(dlg))); // keys reach an active window only
            QTest::keyClick(WindowOf(dlg), Qt::Key_F, Qt::ControlModifier);
            QTRY_COMPARE(lists, row.lists);
            QCOMPARE(leftOpen, row.typed == "zz");
            auto* calendar = WindowOf(dlg)->findChild<MonthCalWidget*>();
            const SYSTEMTIME selected = calendar->selection();
            const QDate shown = row.shown.isNull() ? QDate(2026, 12, 6) : row.shown;
            QCOMPARE(QDate(selected.wYear, selected.wMonth, selected.wDay), shown);
            QCOMPARE(dlg.m_flags, row.shown.isNull() ? 0 : 1); // unfolded, no selection change pending
            if (row.shown.isNull())
                return;
            QString title;
            ActOnNextDialog(IDD_TOPIC, [&](DialogWindow* editor) {
                title = editor->windowTitle();
                QTest::keyClick(editor->control(IDC_TOPIC_TEXT), Qt::Key_Escape);
            });
            const int i = calendar::gridIndex({shown.year(), shown.month()}, {shown.year(), shown.month(), shown.day()});
            QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->cellRect(i / 7, i % 7).center());
            QTRY_COMPARE(title, shown.toString("yyyy/MM/dd").replace("/0", "/ "));
        });
    }
};

QTEST_MAIN(SearchDialogTest)
#include "SearchDialogTest.moc"
