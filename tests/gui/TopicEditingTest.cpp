// The click gesture and the topic editor, through the real clock window and the real editor
// offscreen, with the profile file on disk.
#include <QInputMethodEvent>
#include <QSettings>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "GuiTestSupport.h"
#include "framework/qt/WndImpl.h"
#include "core/CalendarMonth.h"
#include "clock/ClockDialog.h"
#include "framework/qt/MonthCalWidget.h"
#include "res/Resource.h"

namespace {

struct Ymd {
    int y = 0, m = 0, d = 0;
    friend bool operator==(const Ymd&, const Ymd&) = default;
};

LRESULT notify(CClockDialog& dlg, UINT code, Ymd date)
{
    NMSELCHANGE nm{};
    nm.nmhdr.idFrom = IDC_CALENDAR;
    nm.nmhdr.code = code;
    nm.stSelStart.wYear = static_cast<WORD>(date.y);
    nm.stSelStart.wMonth = static_cast<WORD>(date.m);
    nm.stSelStart.wDay = static_cast<WORD>(date.d);
    nm.stSelEnd = nm.stSelStart;
    return dlg.SendMessage(WM_NOTIFY, IDC_CALENDAR, reinterpret_cast<LPARAM>(&nm));
}

MonthCalWidget* calendarOf(CClockDialog& dlg)
{
    return qobject_cast<MonthCalWidget*>(dlg.m_calendar.GetImpl()->widget.data());
}

bool boldOnCalendar(CClockDialog& dlg, Ymd date)
{
    MonthCalWidget* calendar = calendarOf(dlg);
    const SYSTEMTIME leading = calendar->firstVisibleMonth();
    const auto shown = calendar::addMonths({leading.wYear, leading.wMonth}, 1);
    const int index = calendar::gridIndex(shown, {date.y, date.m, date.d});
    return index >= 0 && calendar->isBold(index / 7, index % 7);
}

// Closes the next editor with a key after `edit` ran on its text box; records its title.
void answerEditor(QString* title, std::function<void(QTextEdit*)> edit, Qt::Key closeKey)
{
    ActOnNextDialog(IDD_TOPIC, [=](DialogWindow* window) {
        *title = window->windowTitle();
        auto* box = qobject_cast<QTextEdit*>(window->control(IDC_TOPIC_TEXT));
        if (edit)
            edit(box);
        QTest::keyClick(box, closeKey);
    });
}

} // namespace

class TopicEditingTest : public GuiTest {
    Q_OBJECT

private slots:
    void gesture_data();
    void gesture();
    void realClicksOpenTheEditorOnTheSecondClick();
    void enterStoresWritesAndMarks();
    void clearingLeavesABareHeaderAndUnmarks();
    void escapeStoresTheTextAsItWas_data();
    void escapeStoresTheTextAsItWas();
    void tickWhileEditingKeepsTheDate();
    void ctrlEnterLineBreakRoundTrips();
    void editorSitsBesideTheDate();
    void textPastTheBoxIsRefused();
    void enterDuringCompositionOnlyConfirmsIt();
};

void TopicEditingTest::gesture_data()
{
    QTest::addColumn<int>("startFlags");
    QTest::addColumn<QStringList>("events"); // change:Y-M-D, select:Y-M-D, tick
    QTest::addColumn<QStringList>("edited"); // the editor's titles, in order
    QTest::addColumn<int>("endFlags");

    QTest::newRow("first click on a new date opens nothing")
        << 0 << QStringList{"change:2026-12-10", "select:2026-12-10"} << QStringList{} << 0;
    QTest::newRow("second click opens the editor")
        << 0 << QStringList{"change:2026-12-10", "select:2026-12-10", "select:2026-12-10"}
        << QStringList{"2026/12/10"} << 0;
    QTest::newRow("after an arrow the first click opens nothing")
        << 0 << QStringList{"change:2027-1-6", "select:2027-1-6", "select:2027-1-6"}
        << QStringList{"2027/ 1/ 6"} << 0;
    QTest::newRow("keys only move the selection")
        << 0 << QStringList{"change:2026-12-7", "change:2026-12-8"} << QStringList{} << 2;
    QTest::newRow("a stored pending bit swallows exactly one selection")
        << 2 << QStringList{"select:2026-12-6", "select:2026-12-6"} << QStringList{"2026/12/ 6"} << 0;
    QTest::newRow("other bits survive the gesture")
        << 3 << QStringList{"select:2026-12-6", "select:2026-12-6"} << QStringList{"2026/12/ 6"} << 1;
    QTest::newRow("a click after a tick edits the clicked date, not today")
        << 0 << QStringList{"change:2026-12-10", "select:2026-12-10", "tick", "select:2026-12-10"}
        << QStringList{"2026/12/10"} << 0;
}

void TopicEditingTest::gesture()
{
    QFETCH(int, startFlags);
    QFETCH(QStringList, events);
    QFETCH(QStringList, edited);
    QFETCH(int, endFlags);
    CClockDialog dlg;
    QStringList titles;
    // Every editor that opens is recorded and cancelled.
    QTimer closer;
    closer.setInterval(0);
    connect(&closer, &QTimer::timeout, [&] {
        auto* window = qobject_cast<DialogWindow*>(QApplication::activeModalWidget());
        if (window && window->isVisible() && window->objectName() == QStringLiteral("dialog%1").arg(IDD_TOPIC)) {
            titles << window->windowTitle();
            QTest::keyClick(window, Qt::Key_Escape);
        }
    });
    closer.start();
    RunModal(dlg, [&] {
        dlg.m_flags = startFlags;
        for (const QString& event : events) {
            if (event == "tick") {
                setNow(2026, 12, 6, 10, 2);
                dlg.SendMessage(WM_TIMER, 1);
                QCOMPARE(dlg.m_day, 6); // the tick reset the active date to today
                continue;
            }
            const QStringList parts = event.split(':');
            const QStringList ymd = parts[1].split('-');
            const Ymd date{ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt()};
            if (parts[0] == "change") {
                QCOMPARE(notify(dlg, MCN_SELCHANGE, date), LRESULT(0));
                QCOMPARE((Ymd{dlg.m_year, dlg.m_month, dlg.m_day}), date);
            } else {
                QCOMPARE(notify(dlg, MCN_SELECT, date), LRESULT(0));
            }
        }
        QCOMPARE(dlg.m_flags, endFlags);
    });
    QCOMPARE(titles, edited);
}

void TopicEditingTest::realClicksOpenTheEditorOnTheSecondClick()
{
    CClockDialog dlg;
    QString title;
    RunModal(dlg, [&] {
        dlg.SendMessage(WM_COMMAND, IDOK); // unfold
        MonthCalWidget* calendar = calendarOf(dlg);
        // 2026-12-10 is a Thursday in the second week row.
        const QPoint cell = calendar->cellRect(1, 4).center();
        QTest::mouseClick(calendar, Qt::LeftButton, {}, cell);
        QCOMPARE(dlg.m_day, 10);
        QCOMPARE(dlg.m_flags, 1);
        answerEditor(&title, [](QTextEdit* box) { QTest::keyClicks(box, "memo"); }, Qt::Key_Return);
        QTest::mouseClick(calendar, Qt::LeftButton, {}, cell);
        QTRY_COMPARE(title, QStringLiteral("2026/12/10"));
        QVERIFY(boldOnCalendar(dlg, {2026, 12, 10}));
    });
}

void TopicEditingTest::enterStoresWritesAndMarks()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        QVERIFY(!boldOnCalendar(dlg, {2026, 12, 24}));
        QString title;
        answerEditor(&title, [](QTextEdit* box) { QTest::keyClicks(box, "Party"); }, Qt::Key_Return);
        dlg.EditTopic(2026, 12, 24);
        QCOMPARE(title, QStringLiteral("2026/12/24"));
        QCOMPARE(dlg.m_topics.GetSize(), 1);
        QCOMPARE(dlg.m_topics[0], CString("[2026:12:24]Party"));
        QVERIFY(boldOnCalendar(dlg, {2026, 12, 24}));
        QCOMPARE(profileValue("TOPICS", "NUMBER"), QStringLiteral("1"));
        QCOMPARE(profileValue("TOPICS", "00000"), QStringLiteral("[2026:12:24]Party"));
    });
}

void TopicEditingTest::clearingLeavesABareHeaderAndUnmarks()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        QString title;
        answerEditor(&title, [](QTextEdit* box) { QTest::keyClicks(box, "x"); }, Qt::Key_Return);
        dlg.EditTopic(2026, 12, 24);
        QVERIFY(boldOnCalendar(dlg, {2026, 12, 24}));
        answerEditor(&title, [](QTextEdit* box) { box->selectAll(); QTest::keyClick(box, Qt::Key_Delete); }, Qt::Key_Return);
        dlg.EditTopic(2026, 12, 24);
        QCOMPARE(dlg.m_topics.GetSize(), 1);
        QCOMPARE(dlg.m_topics[0], CString("[2026:12:24]"));
        QVERIFY(!boldOnCalendar(dlg, {2026, 12, 24}));
        QCOMPARE(profileValue("TOPICS", "00000"), QStringLiteral("[2026:12:24]"));
    });
}

void TopicEditingTest::escapeStoresTheTextAsItWas_data()
{
    QTest::addColumn<bool>("hadTopic");
    QTest::newRow("date without topic gains an empty entry") << false;
    QTest::newRow("date with a topic keeps it") << true;
    QTest::newRow("the close box cancels like Escape") << true;
}

void TopicEditingTest::escapeStoresTheTextAsItWas()
{
    QFETCH(bool, hadTopic);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.StoreTopic("Old", 2026, 12, 1);
        if (hadTopic)
            dlg.StoreTopic("Keep me", 2026, 12, 24);
        dlg.SaveTopics();
        const int before = dlg.m_topics.GetSize();
        QString title;
        if (QByteArray(QTest::currentDataTag()).contains("close box")) {
            ActOnNextDialog(IDD_TOPIC, [](DialogWindow* window) {
                QTest::keyClicks(window->control(IDC_TOPIC_TEXT), " typed");
                window->close(); // what the window manager's close box does
            });
        } else {
            answerEditor(&title, [](QTextEdit* box) { QTest::keyClicks(box, " typed"); }, Qt::Key_Escape);
        }
        dlg.EditTopic(2026, 12, 24);
        QCOMPARE(dlg.m_topics.GetSize(), hadTopic ? before : before + 1);
        QCOMPARE(profileValue("TOPICS", "NUMBER"), QString::number(dlg.m_topics.GetSize()));
        CString text;
        QVERIFY(dlg.FindTopic(text, 2026, 12, 24) >= 0);
        QCOMPARE(text, CString(hadTopic ? "Keep me" : ""));
        QCOMPARE(boldOnCalendar(dlg, {2026, 12, 24}), hadTopic);
    });
}

void TopicEditingTest::tickWhileEditingKeepsTheDate()
{
    setNow(2026, 12, 6, 23, 59);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        QString title;
        answerEditor(&title, [&](QTextEdit* box) {
            QTest::keyClicks(box, "late");
            setNow(2026, 12, 7, 0, 0);
            dlg.SendMessage(WM_TIMER, 1);
        }, Qt::Key_Return);
        dlg.EditTopic(2026, 12, 20);
        QCOMPARE(dlg.m_day, 7);
        CString text;
        QCOMPARE(dlg.FindTopic(text, 2026, 12, 20), 0);
        QCOMPARE(text, CString("late"));
        QCOMPARE(dlg.FindTopic(text, 2026, 12, 7), -1);
    });
}

void TopicEditingTest::ctrlEnterLineBreakRoundTrips()
{
    {
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QString title;
            answerEditor(&title, [](QTextEdit* box) {
                QTest::keyClicks(box, "one");
                QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
                QTest::keyClicks(box, "two");
            }, Qt::Key_Return);
            dlg.EditTopic(2026, 12, 24);
        });
    }
    QCOMPARE(profileValue("TOPICS", "00000"), QStringLiteral("[2026:12:24]one<CR>two"));
    CClockDialog again;
    RunModal(again, [&] {
        CString text;
        QCOMPARE(again.FindTopic(text, 2026, 12, 24), 0);
        QCOMPARE(text, CString("one\r\ntwo"));
        QString shown;
        answerEditor(&shown, [&](QTextEdit* box) { shown = box->toPlainText(); }, Qt::Key_Escape);
        again.EditTopic(2026, 12, 24);
        QCOMPARE(shown, QStringLiteral("one\ntwo"));
    });
}

void TopicEditingTest::editorSitsBesideTheDate()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.SendMessage(WM_COMMAND, IDOK);
        dlg.MoveWindow(CRect(100, 100, 266, 257));
        CRect cell;
        QVERIFY(dlg.m_calendar.GetDayRect(2026, 12, 10, &cell));
        QRect editor;
        ActOnNextDialog(IDD_TOPIC, [&](DialogWindow* window) {
            editor = window->frameGeometry();
            QTest::keyClick(window, Qt::Key_Escape);
        });
        dlg.EditTopic(2026, 12, 10);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(editor));
        // Level with the date, right beside the clock window, covering none of the calendar.
        const QRect clock = WindowOf(dlg)->frameGeometry();
        QCOMPARE(editor.top(), cell.top);
        QVERIFY(!editor.intersects(clock));
        QVERIFY(editor.left() - clock.right() < 16);
    });
}

void TopicEditingTest::textPastTheBoxIsRefused()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        QString title;
        QString kept;
        answerEditor(&title, [&](QTextEdit* box) {
            QVERIFY(box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff);
            // Far more lines than the box shows: the ones past its last line are not taken.
            for (int i = 0; i < 30; ++i) {
                QTest::keyClicks(box, QStringLiteral("%1").arg(i));
                QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
            }
            const int lines = box->document()->blockCount();
            QVERIFY(lines > 2);
            QVERIFY(lines < 30);
            QVERIFY(box->document()->size().height() <= box->viewport()->height() + 0.5);
            const QString full = box->toPlainText();
            QTest::keyClicks(box, "more"); // may still fit on the last line, or not
            box->selectAll();
            QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); // pasting it all again cannot fit
            QVERIFY(box->toPlainText().size() < 2 * full.size());
            kept = box->toPlainText();
        }, Qt::Key_Return);
        dlg.EditTopic(2026, 12, 24);
        CString text;
        dlg.FindTopic(text, 2026, 12, 24);
        QCOMPARE(QString::fromUtf8(text.GetString()).replace("\r\n", "\n"), kept);
    });
}

void TopicEditingTest::enterDuringCompositionOnlyConfirmsIt()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        bool stillOpenAfterFirstEnter = false;
        ActOnNextDialog(IDD_TOPIC, [&](DialogWindow* window) {
            auto* box = qobject_cast<QTextEdit*>(window->control(IDC_TOPIC_TEXT));
            QInputMethodEvent preedit(QStringLiteral("ぼうねんかい"), {});
            QApplication::sendEvent(box, &preedit);
            QTest::keyClick(box, Qt::Key_Return); // some input methods pass their Enter on
            stillOpenAfterFirstEnter = window->isVisible();
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("忘年会"));
            QApplication::sendEvent(box, &commit);
            QTest::keyClick(box, Qt::Key_Return);
        });
        dlg.EditTopic(2026, 12, 24);
        QVERIFY(stillOpenAfterFirstEnter);
        CString text;
        dlg.FindTopic(text, 2026, 12, 24);
        QCOMPARE(text, CString("忘年会"));
    });
}

QTEST_MAIN(TopicEditingTest)
#include "TopicEditingTest.moc"
