// The click gesture and the topic editor, through the real clock window and the real editor
// offscreen, with the profile file on disk.
#include <QClipboard>
#include <QDate>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "core/CalendarMonth.h"
#include "framework/qt/CaptionBar.h"
#include "framework/qt/MonthCalWidget.h"
#include "res/Resource.h"

namespace {

LRESULT notify(CClockDialog& dlg, UINT code, QDate date)
{
    const SYSTEMTIME day{.wYear = WORD(date.year()), .wMonth = WORD(date.month()), .wDay = WORD(date.day())};
    NMSELCHANGE nm{.nmhdr = {.idFrom = IDC_CALENDAR, .code = code}, .stSelStart = day, .stSelEnd = day};
    return dlg.SendMessage(WM_NOTIFY, IDC_CALENDAR, reinterpret_cast<LPARAM>(&nm));
}

bool boldOnCalendar(CClockDialog& dlg, QDate date)
{
    auto* calendar = WindowOf(dlg)->findChild<MonthCalWidget*>();
    const SYSTEMTIME leading = calendar->firstVisibleMonth();
    const auto shown = calendar::addMonths({leading.wYear, leading.wMonth}, 1);
    const int index = calendar::gridIndex(shown, {date.year(), date.month(), date.day()});
    return index >= 0 && calendar->isBold(index / 7, index % 7);
}

// Types into the box as the user does, each '\n' as Ctrl+Enter (a line break in the topic).
void type(QTextEdit* box, const QString& text)
{
    for (const QChar c : text)
        c == '\n' ? QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier) : QTest::keyClicks(box, c);
}

// Runs `edit` on the next editor's text box, then closes the editor with `closeKey`, or with
// its close box when that is 0; when it is negative, `edit` closes it.
void answerEditor(std::function<void(QTextEdit*)> edit, int closeKey = Qt::Key_Return)
{
    ActOnNextDialog(IDD_TOPIC, [=](DialogWindow* window) {
        auto* box = qobject_cast<QTextEdit*>(window->control(IDC_TOPIC_TEXT));
        edit(box);
        if (closeKey > 0)
            QTest::keyClick(box, Qt::Key(closeKey));
        else if (closeKey == 0)
            window->close(); // what the window manager's close box does
    });
}

// The window's topic for the date, "<none>" when it has no entry.
QString topicOf(CClockDialog& dlg, int year, int month, int day)
{
    CString text;
    return dlg.FindTopic(text, year, month, day) < 0 ? QStringLiteral("<none>") : QString::fromUtf8(text.GetString());
}

} // namespace

class TopicEditingTest : public GuiTest {
    Q_OBJECT

    // The flags before and after the calendar's notifications ("change:Y-M-D", "select:Y-M-D"
    // or "tick"), and the titles of the editors they opened, in order.
    struct Gesture { int startFlags; QStringList events, edited; int endFlags; };
    // The date's text before (null: no entry for it), what is typed into the emptied box and the
    // key that closes it (0: the close box); then the date's entry in the file past its header
    // (null: none), and what the box shows when the date is opened again from the file.
    struct Closing { QString topic, typed; int closeKey; QString saved, shown; };

    // The flags before ShowDate, the date, and the editor's title one click opens (null: the
    // date does not exist, and nothing changes).
    struct Shown { int startFlags, year, month, day; QString editorTitle; };

private slots:
    void gesture_data()
    {
        QTest::addColumn<Gesture>("row");
        // A selection change (an arrow's too) makes the next click only take the date.
        QTest::newRow("the second click on a date opens the editor, after an arrow too")
            << Gesture{0, {"change:2026-12-10", "select:2026-12-10", "select:2026-12-10", "change:2027-1-6",
                           "select:2027-1-6", "select:2027-1-6"}, {"2026/12/10", "2027/ 1/ 6"}, 0};
        QTest::newRow("keys only move the selection") << Gesture{0, {"change:2026-12-7", "change:2026-12-8"}, {}, 2};
        QTest::newRow("a stored pending bit swallows exactly one selection, other bits survive")
            << Gesture{3, {"select:2026-12-6", "select:2026-12-6"}, {"2026/12/ 6"}, 1};
        QTest::newRow("a click after a tick edits the clicked date, not today")
            << Gesture{0, {"change:2026-12-10", "select:2026-12-10", "tick", "select:2026-12-10"}, {"2026/12/10"}, 0};
    }

    void gesture()
    {
        QFETCH(Gesture, row);
        CClockDialog dlg;
        QStringList titles;
        // Every editor that opens is recorded and cancelled.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            auto* window = qobject_cast<DialogWindow*>(QApplication::activeModalWidget());
            if (window && window->isVisible() && window->objectName() == QStringLiteral("dialog%1").arg(IDD_TOPIC)) {
                titles << window->windowTitle();
                QTest::keyClick(window, Qt::Key_Escape);
            }
        });
        closer.start(0);
        RunModal(dlg, [&] {
            dlg.m_flags = row.startFlags;
            for (const QString& event : row.events) {
                if (event == "tick") {
                    setNow(2026, 12, 6, 10, 2);
                    dlg.SendMessage(WM_TIMER, 1);
                    QCOMPARE(dlg.m_day, 6); // the tick reset the active date to today
                    continue;
                }
                const QDate date = QDate::fromString(event.section(':', 1), "yyyy-M-d");
                const bool change = event.startsWith("change");
                QCOMPARE(notify(dlg, change ? MCN_SELCHANGE : MCN_SELECT, date), LRESULT(0));
                if (change)
                    QCOMPARE(QDate(dlg.m_year, dlg.m_month, dlg.m_day), date);
            }
            QCOMPARE(dlg.m_flags, row.endFlags);
        });
        QCOMPARE(titles, row.edited);
    }

    // The program shows a date (the search's choice): from any fold state and with a change
    // pending, the window unfolds as Enter makes it, comes forward, and one click edits the date.
    void showDate_data()
    {
        QTest::addColumn<Shown>("row");
        QTest::newRow("folded, change pending, months ahead") << Shown{2, 2027, 3, 15, "2027/ 3/15"};
        QTest::newRow("unfolded, this month") << Shown{1, 2026, 12, 24, "2026/12/24"};
        QTest::newRow("a date that does not exist changes nothing") << Shown{0, 2027, 2, 29, {}};
    }

    void showDate()
    {
        QFETCH(Shown, row);
        writeProfile("[TOPICS]\nNUMBER=1\n00000=[2027: 3:15]歯医者\n");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            DialogWindow* window = WindowOf(dlg);
            auto* calendar = window->findChild<MonthCalWidget*>();
            dlg.m_flags = row.startFlags;
            dlg.ApplyLayout();
            QWidget other;
            other.show();
            other.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &other);
            dlg.ShowDate(row.year, row.month, row.day);
            const SYSTEMTIME selected = calendar->selection();
            if (row.editorTitle.isNull()) {
                QCOMPARE(dlg.m_flags, row.startFlags);
                QCOMPARE(QDate(selected.wYear, selected.wMonth, selected.wDay), QDate(2026, 12, 6));
                return;
            }
            const QDate date(row.year, row.month, row.day);
            QCOMPARE(dlg.m_flags, 1);
            QCOMPARE(window->height(), window->caption()->height() + calendar->height());
            QCOMPARE(QDate(selected.wYear, selected.wMonth, selected.wDay), date);
            QCOMPARE(QDate(dlg.m_year, dlg.m_month, dlg.m_day), date);
            QCOMPARE(boldOnCalendar(dlg, QDate(2027, 3, 15)), row.month == 3);
            QTRY_COMPARE(QApplication::activeWindow(), window);
            QString title;
            answerEditor([&](QTextEdit* box) { title = box->window()->windowTitle(); }, Qt::Key_Escape);
            const int i = calendar::gridIndex({row.year, row.month}, {row.year, row.month, row.day});
            QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->cellRect(i / 7, i % 7).center());
            QTRY_COMPARE(title, row.editorTitle);
        });
    }

    // The user's way in: unfold, click a date, click it again, type; midnight passes meanwhile.
    void secondRealClickOpensTheEditorBesideTheDate()
    {
        setNow(2026, 12, 6, 23, 59);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.SendMessage(WM_COMMAND, IDOK); // unfold
            dlg.MoveWindow(CRect(100, 100, 266, 257));
            auto* calendar = WindowOf(dlg)->findChild<MonthCalWidget*>();
            const QRect cell = calendar->cellRect(1, 4); // 2026-12-10, Thursday of the second row
            QTest::mouseClick(calendar, Qt::LeftButton, {}, cell.center());
            QCOMPARE(dlg.m_day, 10);
            QCOMPARE(dlg.m_flags, 1); // still unfolded, nothing pending
            QString title;
            QRect editor;
            answerEditor([&](QTextEdit* box) {
                title = box->window()->windowTitle();
                editor = box->window()->frameGeometry();
                QTest::keyClicks(box, "memo");
                setNow(2026, 12, 7, 0, 0);
                dlg.SendMessage(WM_TIMER, 1);
            });
            QTest::mouseClick(calendar, Qt::LeftButton, {}, cell.center());
            QTRY_COMPARE(title, QStringLiteral("2026/12/10"));
            // The tick moved the active date to the new day; the text still went to the clicked one.
            QCOMPARE(dlg.m_day, 7);
            QCOMPARE(topicOf(dlg, 2026, 12, 10), QStringLiteral("memo"));
            QCOMPARE(topicOf(dlg, 2026, 12, 7), QStringLiteral("<none>"));
            QVERIFY(boldOnCalendar(dlg, QDate(2026, 12, 10)));
            // On screen, level with the date, right beside the clock window, covering none of it.
            const QRect clock = WindowOf(dlg)->frameGeometry();
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(editor));
            QCOMPARE(editor.top(), calendar->mapToGlobal(cell.topLeft()).y());
            QVERIFY(!editor.intersects(clock));
            QVERIFY(editor.left() - clock.right() < 16);
        });
    }

    void closingTheEditor_data()
    {
        QTest::addColumn<Closing>("row");
        // A date is bold while it has text.
        const QString none, keep = "Keep me";
        const int enter = Qt::Key_Return, escape = Qt::Key_Escape;
        QTest::newRow("Enter stores, writes and marks") << Closing{none, "Party", enter, "Party", "Party"};
        QTest::newRow("clearing leaves a bare header and unmarks") << Closing{"x", "", enter, "", ""};
        QTest::newRow("Ctrl+Enter breaks the line") << Closing{none, "one\ntwo", enter, "one<CR>two", "one\ntwo"};
        QTest::newRow("Escape on a new date stores nothing") << Closing{none, " typed", escape, none, ""};
        QTest::newRow("Enter on the text as it was writes nothing") << Closing{keep, keep, enter, keep, keep};
        QTest::newRow("Escape keeps the topic as it was") << Closing{keep, " typed", escape, keep, keep};
        QTest::newRow("the close box cancels like Escape") << Closing{keep, " typed", 0, keep, keep};
    }

    void closingTheEditor()
    {
        QFETCH(Closing, row);
        const QByteArray other = "00000=[2026:12: 1]Old\r\n", mine = "00001=[2026:12:24]" + row.topic.toUtf8() + "\r\n";
        const QByteArray before = row.topic.isNull() ? "[TOPICS]\r\nNUMBER=1\r\n" + other : "[TOPICS]\r\nNUMBER=2\r\n" + other + mine;
        writeProfile(before);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QCOMPARE(boldOnCalendar(dlg, QDate(2026, 12, 24)), !row.topic.isEmpty());
            answerEditor([&](QTextEdit* box) {
                box->selectAll();
                QTest::keyClick(box, Qt::Key_Delete);
                type(box, row.typed);
            }, row.closeKey);
            dlg.EditTopic(2026, 12, 24);
            QCOMPARE(profileValue("TOPICS", "00001"), row.saved.isNull() ? "<missing>" : "[2026:12:24]" + row.saved);
            if (row.saved == row.topic) // nothing to store: the file is not even rewritten
                QCOMPARE(readProfile(), before);
            QCOMPARE(boldOnCalendar(dlg, QDate(2026, 12, 24)), !row.shown.isEmpty());
            dlg.LoadTopics();
            QString box;
            answerEditor([&](QTextEdit* edit) { box = edit->toPlainText(); }, Qt::Key_Escape);
            dlg.EditTopic(2026, 12, 24);
            QCOMPARE(box, row.shown);
            // One entry for the date all along, the other one kept.
            QCOMPARE(profileValue("TOPICS", "NUMBER"), QString(row.saved.isNull() ? "1" : "2"));
            QCOMPARE(profileValue("TOPICS", "00000"), QStringLiteral("[2026:12: 1]Old"));
        });
    }

    // What the calendar says over a day (a holiday with a topic, a plain day, a projected
    // holiday asked for directly) and over its title.
    void toolTips()
    {
        writeProfile("[TOPICS]\r\nNUMBER=1\r\n00000=[2026: 5: 6]one<CR>two<CR>three<CR>four\r\n");
        setNow(2026, 5, 10, 12, 0);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.SendMessage(WM_COMMAND, IDOK); // unfold
            auto* calendar = WindowOf(dlg)->findChild<MonthCalWidget*>();
            const auto tipAt = [&](QPoint pos) {
                QHelpEvent help(QEvent::ToolTip, pos, calendar->mapToGlobal(pos));
                QApplication::sendEvent(calendar, &help);
                return QToolTip::isVisible() ? QToolTip::text() : QString();
            };
            const auto cellOf = [&](int day) {
                const int i = calendar::gridIndex({2026, 5}, {2026, 5, day});
                return calendar->cellRect(i / 7, i % 7).center();
            };
            QCOMPARE(tipAt(cellOf(6)), QStringLiteral("2026年5月6日(水) 令和8年 第19週\n振替休日\none\ntwo\nthree…"));
            QCOMPARE(tipAt(cellOf(7)), QStringLiteral("2026年5月7日(木) 令和8年 第19週"));
            const QRect before = calendar->previousArrowRect(), after = calendar->nextArrowRect();
            QCOMPARE(tipAt(QPoint((before.right() + after.left()) / 2, before.center().y())), QStringLiteral("令和8年5月"));
            char text[64];
            NMDAYTEXT request{.nmhdr = {.idFrom = IDC_CALENDAR, .code = MCN_GETDAYTEXT},
                              .stDay = {.wYear = 2028, .wMonth = 3, .wDay = 20}, .pszText = text, .cchTextMax = 54};
            dlg.SendMessage(WM_NOTIFY, IDC_CALENDAR, reinterpret_cast<LPARAM>(&request));
            // 54 bytes would end inside 日: the text is cut before it.
            QCOMPARE(QString::fromUtf8(text), QStringLiteral("2028年3月20日(月) 令和10年 第12週\n春分の"));
            request.cchTextMax = sizeof text;
            dlg.SendMessage(WM_NOTIFY, IDC_CALENDAR, reinterpret_cast<LPARAM>(&request));
            QVERIFY(QString::fromUtf8(text).endsWith(QStringLiteral("春分の日(予想)")));
        });
    }

    void textPastTheBoxIsRefused()
    {
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QString kept;
            answerEditor([&](QTextEdit* box) {
                QVERIFY(box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
                // Far more lines than the box shows: the ones past its last line are not taken.
                for (int i = 0; i < 30; ++i)
                    type(box, QString::number(i) + '\n');
                const int lines = box->document()->blockCount();
                QVERIFY(lines > 2 && lines < 30);
                QVERIFY(box->document()->size().height() <= box->viewport()->height() + 0.5);
                const QString full = box->toPlainText();
                QTest::keyClicks(box, "more"); // may still fit on the last line, or not
                box->selectAll();
                QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
                QCOMPARE(QGuiApplication::clipboard()->text(), box->toPlainText());
                QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
                box->paste(); // as the context menu does: pasting it all again cannot fit
                QVERIFY(box->toPlainText().size() < 2 * full.size());
                kept = box->toPlainText();
            });
            dlg.EditTopic(2026, 12, 24);
            QCOMPARE(topicOf(dlg, 2026, 12, 24).replace("\r\n", "\n"), kept);
        });
    }

    void enterDuringCompositionOnlyConfirmsIt()
    {
        CClockDialog dlg;
        RunModal(dlg, [&] {
            answerEditor([](QTextEdit* box) {
                QInputMethodEvent preedit(QStringLiteral("ぼうねんかい"), {});
                QApplication::sendEvent(box, &preedit);
                QTest::keyClick(box, Qt::Key_Return); // some input methods pass their Enter on
                // Confirmed and closed only if that Enter left the editor open (else the box is gone).
                QTimer::singleShot(0, box, [box] {
                    QInputMethodEvent commit;
                    commit.setCommitString(QStringLiteral("忘年会"));
                    QApplication::sendEvent(box, &commit);
                    QTest::keyClick(box, Qt::Key_Return);
                });
            }, -1);
            dlg.EditTopic(2026, 12, 24);
            QCOMPARE(topicOf(dlg, 2026, 12, 24), QStringLiteral("忘年会"));
        });
    }
};

QTEST_MAIN(TopicEditingTest)
#include "TopicEditingTest.moc"
