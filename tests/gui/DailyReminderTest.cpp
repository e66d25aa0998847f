// The daily reminder against a private session bus (a dbus-daemon of the test's own) with a
// stand-in notification service: once a day at start or at the day turn, kept across starts
// only once the service took it, none when turned off, and its activation.
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "framework/Notification.h"
#include "framework/qt/DayTurn.h"
#include "framework/qt/MonthCalWidget.h"
#include "framework/qt/WallClockTimer.h"
#include "res/Resource.h"

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

} // namespace

// What a desktop's notification service does, as far as the program can tell: takes calls (or
// refuses them), reads markup, and says when the user activated one.
class StandInService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList calls; // "summary|body", the test's own sentinels left out
    bool refuse = false;
    uint lastId = 0;

public slots:
    QStringList GetCapabilities() { return {"body", "body-markup", "actions"}; }
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap&, int)
    {
        if (summary == "sentinel")
            return ++lastId;
        calls << summary + "|" + body;
        if (refuse || !actions.contains("default")) {
            sendErrorReply(QDBusError::AccessDenied, "refused");
            return 0;
        }
        return ++lastId;
    }
};

class DailyReminderTest : public GuiTest {
    Q_OBJECT

    QProcess m_bus;
    StandInService m_service;

    // Waits until every notification the program asked for so far has reached the service and
    // been answered: the framework sends them in order, so one of the test's own comes last.
    void settle(CClockDialog& dlg)
    {
        bool answered = false;
        AfxShowNotification(&dlg, "sentinel", "", [&] { answered = true; }, {});
        QTRY_VERIFY(answered);
    }

    QByteArray reminded() const
    {
        QFile file(qEnvironmentVariable("XDG_STATE_HOME") + "/ombrelclock/reminded");
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    }

    // Run with a setting, topics today (Sun 6th) or not, the service refusing or not, and the
    // check item toggled at the end; twice on the 6th, the second run seeing the day turn to the
    // 7th. The calls the service got and the day kept then.
    struct Row { QByteArray setting; bool topicToday; bool refuse; bool toggle; QStringList calls; QByteArray kept; };

private slots:
    void initTestCase()
    {
        m_bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY2(m_bus.waitForReadyRead(10000), "dbus-daemon did not start");
        const QByteArray address = m_bus.readLine().trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QDBusConnection service = QDBusConnection::connectToBus(QString::fromUtf8(address), "standIn");
        QVERIFY(service.registerObject(kPath, &m_service, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(kInterface));
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("standIn");
        m_bus.terminate();
        m_bus.waitForFinished();
    }

    void onceADay_data()
    {
        const QString sixth = "今日のトピック 12/6(日)|歯医者 &lt;15:00&gt; &amp; 薬\n二行目";
        const QString seventh = "今日のトピック 12/7(月)|大掃除";
        QTest::addColumn<Row>("row");
        QTest::newRow("first start, second start, the turn") << Row{"", true, false, false, {sixth, seventh}, "2026-12-07"};
        QTest::newRow("no topic today") << Row{"", false, false, false, {seventh}, "2026-12-07"};
        QTest::newRow("off, then on through the window menu") << Row{"NOTIFY=0", true, false, true, {seventh}, "2026-12-07"};
        QTest::newRow("refused: asked again") << Row{"", true, true, false, {sixth, sixth, seventh}, ""};
    }

    void onceADay()
    {
        QFETCH(Row, row);
        QTest::failOnWarning(QRegularExpression(".*"));
        writeProfile("[SETTING]\n" + row.setting + "\n[TOPICS]\nNUMBER=2\n00000=[2026:12: 7]大掃除\n" +
                     (row.topicToday ? "00001=[2026:12: 6]歯医者 <15:00> & 薬<CR>二行目\n" : ""));
        m_service.calls.clear();
        m_service.refuse = row.refuse;
        for (const bool turn : {false, true}) {
            setNow(2026, 12, 6, 10, 0);
            CClockDialog dlg;
            RunModal(dlg, [&] {
                if (turn) {
                    setNow(2026, 12, 7, 0, 0);
                    const std::shared_ptr<DayTurn> dayTurn = DayTurn::acquire();
                    QMetaObject::invokeMethod(dayTurn->findChild<WallClockTimer*>(), "clockWasSet");
                    if (row.toggle)
                        dlg.SendMessage(WM_SYSCOMMAND, IDM_NOTIFY);
                }
                settle(dlg);
            });
        }
        QCOMPARE(m_service.calls, row.calls);
        QCOMPARE(reminded(), row.kept);
        if (row.toggle)
            QCOMPARE(profileValue("SETTING", "NOTIFY"), QStringLiteral("1"));
    }

    // Clicking the notification brings the clock forward with the calendar on that date, even
    // after the user went to another month and folded it.
    void activationShowsTheDate()
    {
        writeProfile("[TOPICS]\nNUMBER=1\n00000=[2026:12: 6]歯医者\n");
        m_service.refuse = false;
        CClockDialog dlg;
        RunModal(dlg, [&] {
            settle(dlg);
            dlg.ShowDate(2027, 3, 1);
            dlg.SendMessage(WM_COMMAND, IDOK);
            QDBusMessage activated = QDBusMessage::createSignal(kPath, kInterface, "ActionInvoked");
            activated << m_service.lastId - 1 << QStringLiteral("default");
            QDBusConnection("standIn").send(activated);
            QTRY_COMPARE(dlg.m_flags & 1, 1);
            const SYSTEMTIME shown = WindowOf(dlg)->findChild<MonthCalWidget*>()->selection();
            QCOMPARE(QDate(shown.wYear, shown.wMonth, shown.wDay), QDate(2026, 12, 6));
            QCOMPARE(QDate(dlg.m_year, dlg.m_month, dlg.m_day), QDate(2026, 12, 6));
        });
    }
};

QTEST_MAIN(DailyReminderTest)
#include "DailyReminderTest.moc"
