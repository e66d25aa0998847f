// Services of the framework's Qt side that no window test reaches: the minute and day timers'
// aim and their re-aim after a clock change, the hand-over past a crashed copy's socket, and the dialog
// font's Japanese glyphs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QTest>
#include <future>

#include <sys/socket.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include "GuiTestSupport.h"
#include "core/Time.h"
#include "core/WallClock.h"
#include "framework/qt/DialogFont.h"
#include "framework/qt/FileWatcher.h"
#include "framework/qt/SingleInstance.h"
#include "framework/qt/WallClockTimer.h"

namespace {

// Seconds until the timer fires, as the system holds it.
double secondsToExpiry(const WallClockTimer& timer)
{
    const auto* notifier = timer.findChild<QSocketNotifier*>();
    itimerspec left{};
    if (!notifier || timerfd_gettime(static_cast<int>(notifier->socket()), &left) != 0)
        return -1;
    return double(left.it_value.tv_sec) + double(left.it_value.tv_nsec) / 1e9;
}

} // namespace

class FrameworkServicesTest : public QObject {
    Q_OBJECT

private slots:
    // From 10:00:30.250 the minute timer aims at 10:01:00.000 (not a minute from now) and the
    // day timer at midnight. The clock is then set to 23:59:50.250 (a jump, or a resume): one
    // tick at once, and both aim at their next boundary of the new time.
    void wallClockTimersAimAtTheBoundaryAndReaimAfterAClockChange()
    {
        using namespace std::chrono;
        for (const bool day : {false, true}) {
            system_clock::time_point now = system_clock::from_time_t(CTime(2026, 12, 6, 10, 0, 30).GetTime()) + milliseconds(250);
            ScopedClock pin([&now] { return now; });
            WallClockTimer timer = day ? WallClockTimer(DelayToNextMidnight) : WallClockTimer(minutes(1));
            QSignalSpy ticks(&timer, &WallClockTimer::timeout);
            QVERIFY(qAbs(secondsToExpiry(timer) - (day ? 13 * 3600 + 59 * 60 + 29.75 : 29.75)) < 0.5);

            now = system_clock::from_time_t(CTime(2026, 12, 6, 23, 59, 50).GetTime()) + milliseconds(250);
            QMetaObject::invokeMethod(&timer, "clockWasSet");
            QCOMPARE(ticks.count(), 1);
            QVERIFY(qAbs(secondsToExpiry(timer) - 9.75) < 0.5);
        }
    }

    // What may lie at the socket's name before the first copy listens, and the later start's
    // way to the same profile: the first copy always starts, the later one hands over or starts.
    void staleSocketOfACrashedCopyDoesNotStopTheStart_data()
    {
        // 's': a crashed copy's socket, 'l': a listener that never answers, 'f': a plain file,
        // 'y': nothing, and the later start comes through a symlinked folder
        QTest::addColumn<char>("left");
        QTest::addColumn<bool>("handsOver");
        QTest::newRow("stale socket: replaced") << 's' << true;
        QTest::newRow("silent listener: left alone") << 'l' << false;
        QTest::newRow("plain file: left alone") << 'f' << false;
        QTest::newRow("symlinked folder: same copy") << 'y' << true;
    }

    void staleSocketOfACrashedCopyDoesNotStopTheStart()
    {
        QFETCH(char, left);
        QFETCH(bool, handsOver);
        QTemporaryDir dir; // private (0700): the socket's folder
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("profiles")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("profiles")), dir.filePath(QStringLiteral("link"))));
        const QString profile = dir.filePath(QStringLiteral("profiles/ombrelclock.ini"));
        const QString path = SingleInstance::socketPathFor(profile);
        QCOMPARE(QFileInfo(path).path(), dir.path());
        int held = -1; // the silent listener, open to the end
        const auto closeHeld = qScopeGuard([&held] { if (held >= 0) ::close(held); });
        if (left == 's' || left == 'l') {
            held = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
            QCOMPARE(::bind(held, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            QCOMPARE(::listen(held, 4), 0);
        }
        if (left == 's') { // the copy died
            ::close(held);
            held = -1;
        } else if (left == 'f') {
            QVERIFY(WriteFile(path, "mine"));
        }

        SingleInstance first(profile);
        QVERIFY(!first.handOverToRunningCopy());
        int activations = 0;
        first.listen([&activations] { ++activations; });
        // The later start from another thread: the first copy answers from this one's events.
        const QString later = dir.filePath(left == 'y' ? "link/ombrelclock.ini" : "profiles/ombrelclock.ini");
        auto result = std::async(std::launch::async, [later] { return SingleInstance(later).handOverToRunningCopy(); });
        while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            QCoreApplication::processEvents();
        QCOMPARE(result.get(), handsOver);
        QTRY_COMPARE(activations, handsOver ? 1 : 0);
        QFile file(path);
        if (left == 'f')
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == "mine");
    }

    void fileWatcherSeesEveryKindOfChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("written in place") << "write";
        QTest::newRow("replaced by a rename") << "rename";
        QTest::newRow("deleted and made again") << "recreate";
    }

    void fileWatcherSeesEveryKindOfChange()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ombrelclock.ini"));
        QVERIFY(WriteFile(path, "[s]\nk=1\n"));
        int changes = 0;
        FileWatcher watcher(path, [&changes] { ++changes; });
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("other.ini")), "x")); // another file of the folder
        QTest::qWait(400);
        QCOMPARE(changes, 0);
        for (int round = 1; round <= 2; ++round) { // and again, after the watch was re-armed
            const QByteArray bytes = "[s]\nk=" + QByteArray::number(round * 100) + "\n";
            if (how == "write") {
                QVERIFY(WriteFile(path, bytes));
            } else if (how == "rename") {
                QVERIFY(WriteFile(path + ".new", bytes));
                QCOMPARE(::rename(QFile::encodeName(path + ".new").constData(), QFile::encodeName(path).constData()), 0);
            } else {
                QVERIFY(QFile::remove(path));
                QTest::qWait(300);
                QVERIFY(WriteFile(path, bytes));
            }
            QTRY_COMPARE_WITH_TIMEOUT(changes, how == "recreate" ? 2 * round : round, 5000);
        }
    }

    void dialogFontWritesJapanese()
    {
        const QFont font = MapDialogFont("ＭＳ Ｐゴシック", 9);
        const QString family = QFontInfo(font).family();
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese), qPrintable(family));
        const QFontMetrics metrics(font);
        for (const QChar c : QStringLiteral("終了しますかカレンダー年月日"))
            QVERIFY2(metrics.inFontUcs4(c.unicode()), qPrintable(family + ": " + c));
    }
};

QTEST_MAIN(FrameworkServicesTest)
#include "FrameworkServicesTest.moc"
