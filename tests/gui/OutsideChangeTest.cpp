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
};

QTEST_MAIN(OutsideChangeTest)
#include "OutsideChangeTest.moc"
