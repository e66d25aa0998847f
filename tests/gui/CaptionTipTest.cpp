// The day at a glance: the caption's tooltip at fixed times, with and without topics, across a
// month's end, and as the day turns after a wall-clock jump, an edit or an outside change.
#include <QTest>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "framework/qt/CaptionBar.h"
#include "framework/qt/DayTurn.h"
#include "framework/qt/MonthCalWidget.h"
#include "framework/qt/WallClockTimer.h"

namespace {

const QByteArray kTopics = "[TOPICS]\nNUMBER=5\n"
                           "00000=[2026:12: 6]歯医者<CR>15:00<CR>保険証<CR>診察券\n"
                           "00001=[2026:12:10]忘年会<CR>会費 5000円\n"
                           "00002=[2026:12:14]　 <CR>大掃除\n"
                           "00003=[2027: 1: 3]初詣\n"
                           "00004=[2026:12:12]　\n";

} // namespace

class CaptionTipTest : public GuiTest {
    Q_OBJECT

    // Started at `start` ("yyyy-MM-dd hh:mm") on `profile`, then `action`: "turn DATETIME" (the
    // clock jumps there and the system says it was set), "store DATE=TEXT" (an edit), "file
    // BYTES" (someone else rewrites the profile). The tooltip then, lines joined with "|".
    struct Row { QString start; QByteArray profile; QString action; QString tip; };

private slots:
    void captionTipTellsTheDay_data()
    {
        QTest::addColumn<Row>("row");
        QTest::newRow("no topics") << Row{"2026-12-07 09:00", "", "", "2026年12月7日(月) 令和8年"};
        QTest::newRow("today's first three lines, the next topic of the week")
            << Row{"2026-12-06 10:00", kTopics, "", "2026年12月6日(日) 令和8年|歯医者|15:00|保険証…|12/10(木) 忘年会"};
        QTest::newRow("its first filled line") << Row{"2026-12-11 10:00", kTopics, "", "2026年12月11日(金) 令和8年|12/14(月) 大掃除"};
        QTest::newRow("seven days ahead, across the year's end") << Row{"2026-12-27 23:59", kTopics, "", "2026年12月27日(日) 令和8年|1/3(日) 初詣"};
        QTest::newRow("eight days ahead: none") << Row{"2026-12-26 10:00", kTopics, "", "2026年12月26日(土) 令和8年"};
        QTest::newRow("the day turns after a clock jump")
            << Row{"2026-12-06 10:00", kTopics, "turn 2027-01-01 00:00", "2027年1月1日(金) 令和9年|元日|1/3(日) 初詣"};
        QTest::newRow("an edit of tomorrow") << Row{"2026-12-08 10:00", kTopics, "store 2026-12-09=歯医者の予約", "2026年12月8日(火) 令和8年|12/9(水) 歯医者の予約"};
        QTest::newRow("an outside change")
            << Row{"2026-12-08 10:00", kTopics, "file [TOPICS]\nNUMBER=1\n00000=[2026:12: 8]来客\n", "2026年12月8日(火) 令和8年|来客"};
    }

    void captionTipTellsTheDay()
    {
        QFETCH(Row, row);
        const auto at = [this](const QString& when) {
            const QDateTime t = QDateTime::fromString(when, "yyyy-MM-dd hh:mm");
            setNow(t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute());
        };
        at(row.start);
        writeProfile(row.profile);
        CClockDialog dlg;
        QString tip;
        RunModal(dlg, [&] {
            const QString argument = row.action.section(' ', 1);
            if (row.action.startsWith("turn")) {
                at(argument);
                const std::shared_ptr<DayTurn> turn = DayTurn::acquire();
                QMetaObject::invokeMethod(turn->findChild<WallClockTimer*>(), "clockWasSet");
                QCOMPARE(WindowOf(dlg)->findChild<MonthCalWidget*>()->today().wDay, 1);
                QCOMPARE(WindowOf(dlg)->windowTitle(), QStringLiteral("00:00  01/01 Fri"));
            } else if (row.action.startsWith("store")) {
                const QDate date = QDate::fromString(argument.section('=', 0, 0), Qt::ISODate);
                dlg.StoreTopic(argument.section('=', 1).toStdString(), date.year(), date.month(), date.day());
            } else if (row.action.startsWith("file")) {
                writeProfile(row.action.mid(5).toUtf8());
                dlg.SendMessage(WM_FILECHANGED, 1);
            }
            tip = WindowOf(dlg)->caption()->toolTip();
        });
        QCOMPARE(tip.replace('\n', '|'), row.tip);
    }
};

QTEST_MAIN(CaptionTipTest)
#include "CaptionTipTest.moc"
