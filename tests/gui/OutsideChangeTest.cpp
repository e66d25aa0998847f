// The clock window follows its profile when someone else changes it (a sync tool replacing it by
// a rename, a hand edit): the topics reload, the bold dates follow, an edit keeps the change.
#include <QFile>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "core/CalendarMonth.h"
#include "framework/qt/MonthCalWidget.h"
#include "framework/qt/WndImpl.h"
#include "res/Resource.h"

class OutsideChangeTest : public GuiTest {
    Q_OBJECT

    // What a sync tool does: the new file beside the old one, renamed over it.
    void replaceProfile(const QByteArray& bytes)
    {
        QFile next(profilePath() + ".sync");
        QVERIFY(next.open(QIODevice::WriteOnly));
        next.write(bytes);
        next.close();
        QVERIFY(::rename(QFile::encodeName(next.fileName()).constData(), QFile::encodeName(profilePath()).constData()) == 0);
    }

    static bool bold(CClockDialog& dlg, int day)
    {
        auto* calendar = qobject_cast<MonthCalWidget*>(dlg.m_calendar.GetImpl()->widget.data());
        const int index = calendar::gridIndex({2026, 12}, {2026, 12, day});
        return calendar->isBold(index / 7, index % 7);
    }

private slots:
    void outsideChangeShowsAndSurvivesAnEdit()
    {
        writeProfile("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12: 1]ours\r\n");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QVERIFY(bold(dlg, 1));
            replaceProfile("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12: 1]ours\r\n00001=[2026:12:10]theirs\r\n");
            QTRY_VERIFY_WITH_TIMEOUT(bold(dlg, 10), 5000);
            QCOMPARE(readProfile().count("theirs"), 1); // nothing written because of it

            ActOnNextDialog(IDD_TOPIC, [](DialogWindow* editor) {
                QTest::keyClicks(editor->control(IDC_TOPIC_TEXT), "mine");
                QTest::keyClick(editor, Qt::Key_Return);
            });
            dlg.EditTopic(2026, 12, 11);
            QCOMPARE(profileValue("TOPICS", "00001"), QStringLiteral("[2026:12:10]theirs"));
            QCOMPARE(profileValue("TOPICS", "00002"), QStringLiteral("[2026:12:11]mine"));
        });
    }

    // The file changes while the editor is open: Escape must not put the opened text back, and
    // Enter writes what was typed without undoing the outside change to another date.
    void changeWhileTheEditorIsOpen_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected"); // the day's entry afterwards
        QTest::newRow("Escape on the date changed outside") << 1 << int(Qt::Key_Escape) << "[2026:12: 1]theirs";
        QTest::newRow("Enter on another date") << 11 << int(Qt::Key_Return) << "[2026:12:11]mine";
    }

    void changeWhileTheEditorIsOpen()
    {
        QFETCH(int, day);
        QFETCH(int, key);
        QFETCH(QString, expected);
        writeProfile("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12: 1]ours\r\n");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            ActOnNextDialog(IDD_TOPIC, [&](DialogWindow* editor) {
                auto* box = qobject_cast<QTextEdit*>(editor->control(IDC_TOPIC_TEXT));
                box->clear();
                QTest::keyClicks(box, "mine");
                replaceProfile("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12: 1]theirs\r\n00001=[2026:12:10]new\r\n");
                QTRY_VERIFY_WITH_TIMEOUT(bold(dlg, 10), 5000);
                QCOMPARE(box->toPlainText(), QStringLiteral("mine"));
                QTest::keyClick(editor, Qt::Key(key));
            });
            dlg.EditTopic(2026, 12, day);
            QCOMPARE(profileValue("TOPICS", "00000"), day == 1 ? expected : QStringLiteral("[2026:12: 1]theirs"));
            QCOMPARE(profileValue("TOPICS", "00001"), QStringLiteral("[2026:12:10]new"));
            if (day != 1)
                QCOMPARE(profileValue("TOPICS", "00002"), expected);
        });
    }
};

QTEST_MAIN(OutsideChangeTest)
#include "OutsideChangeTest.moc"
