// The topic list of the clock window against real profile files: find and store by date, load
// and save through the "TOPICS" section, write failures and the single-replace save.
#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <utility>

#include "GuiTestSupport.h"
#include "clock/ClockApp.h"
#include "clock/ClockDialog.h"
#include "profile/ProfileStore.h"

extern CClockApp theApp;

namespace {

using Entries = QList<QByteArray>;
// A FindTopic call and what it must give: the entry's index (-1: none) and its text.
struct Lookup { int year, month, day, index; QByteArray text; };
using Lookups = QList<Lookup>;

const QByteArray kHead = "[TOPICS]\r\nNUMBER=";
// 忘年会<CR>二次会 and 新年会 as a Windows editor saves them (CP932).
const QByteArray kCp932Text = QByteArray::fromHex("9659944e89ef") + "<CR>" + QByteArray::fromHex("93f18e9f89ef");
const QByteArray kCp932NewYear = QByteArray::fromHex("9056944e89ef");

// A file holding one entry.
QByteArray one(const QByteArray& entry)
{
    return kHead + "1\r\n00000=" + entry + "\r\n";
}

} // namespace

Q_DECLARE_METATYPE(Lookup)

class TopicListTest : public GuiTest {
    Q_OBJECT

    // Every message box is answered, so that no test hangs, and kept, for the test to check.
    QTimer m_boxAnswerer;
    QStringList m_boxes;

protected:
    void checkAfterTest() override
    {
        const QStringList unexpected = std::exchange(m_boxes, {});
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join("\n---\n")));
    }

private slots:
    void initTestCase()
    {
        connect(&m_boxAnswerer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) {
                m_boxes << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_boxAnswerer.start(0);
    }

    void loadsWhatTheFileSays_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Entries>("list");
        QTest::addColumn<Lookups>("lookups");
        QTest::newRow("count above the keys: the missing entries are empty and match nothing")
            << kHead + "4\r\n00000=[2026:12:24]a\r\n00002=[2026:12:26]c\r\n"
            << Entries{"[2026:12:24]a", "", "[2026:12:26]c", ""}
            << Lookups{{2026, 12, 26, 2, "c"}, {2026, 12, 25, -1, "unchanged"}, {0, 0, 0, -1, "unchanged"}};
        QTest::newRow("negative count") << kHead + "-2\r\n00000=[2026:12:24]a\r\n" << Entries{}
                                        << Lookups{{2026, 12, 24, -1, "unchanged"}};
        Entries bounded(1000000);
        bounded[0] = "[2026:12:24]a";
        QTest::newRow("a count of two thousand million allocates a bounded list")
            << kHead + "2147483647\r\n00000=[2026:12:24]a\r\n" << bounded << Lookups{{2026, 12, 24, 0, "a"}};
        QTest::newRow("zero-filled header")
            << one("[2003:07:05]Hello") << Entries{"[2003:07:05]Hello"} << Lookups{{2003, 7, 5, 0, "Hello"}};
        QTest::newRow("short hand-written header")
            << one("[2003:7:5]Hello") << Entries{"[2003:7:5]Hello"} << Lookups{{2003, 7, 5, 0, "Hello"}};
        QTest::newRow("text holding its own header keeps it") << one("[2026:12:24][2026:12:24]x")
            << Entries{"[2026:12:24][2026:12:24]x"} << Lookups{{2026, 12, 24, 0, "[2026:12:24]x"}};
        QTest::newRow("<CR> reads as CR LF") << one("[2026:12:24]one<CR>two<CR>")
            << Entries{"[2026:12:24]one\r\ntwo\r\n"} << Lookups{{2026, 12, 24, 0, "one\r\ntwo\r\n"}};
        QTest::newRow("a Windows file reads as UTF-8") << one("[2026:12:24]" + kCp932Text)
            << Entries{"[2026:12:24]忘年会\r\n二次会"} << Lookups{{2026, 12, 24, 0, "忘年会\r\n二次会"}};
    }

    void loadsWhatTheFileSays()
    {
        QFETCH(QByteArray, file);
        QFETCH(Entries, list);
        QFETCH(Lookups, lookups);
        writeProfile(file);
        CClockDialog dlg;
        dlg.StoreTopic("left over", 2026, 1, 1); // loading replaces whatever the list held
        dlg.LoadTopics();
        Entries loaded;
        for (int i = 0; i < dlg.m_topics.GetSize(); ++i)
            loaded << QByteArray(dlg.m_topics[i]);
        QCOMPARE(loaded, list);
        for (const Lookup& lookup : lookups) {
            CString text = "unchanged";
            QCOMPARE(dlg.FindTopic(text, lookup.year, lookup.month, lookup.day), lookup.index);
            QCOMPARE(QByteArray(text), lookup.text);
        }
        QCOMPARE(readProfile(), file); // loading reads only
    }

    void saveWritesCountAndEntriesOnly_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("stores"); // "2026-12-24=text": one StoreTopic call each
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("an entry is replaced where it is; an empty text leaves a bare header, still found")
            << kHead + "2\r\n00000=[2026:12:24]a\r\n00001=[2026:12:25]b\r\n"
            << QStringList{"2026-12-25=B", "2026-12-26=c", "2026-12-24=", "2026-12-24="}
            << kHead + "3\r\n00000=[2026:12:24]\r\n00001=[2026:12:25]B\r\n00002=[2026:12:26]c\r\n";
        QTest::newRow("keys above the count are not loaded: a new entry takes the first, the rest stay")
            << kHead + "1\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]stale\r\n00002=[2020: 1: 2]stale\r\n"
            << QStringList{"2020-1-1=fresh"}
            << kHead + "2\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]fresh\r\n00002=[2020: 1: 2]stale\r\n";
        QTest::newRow("negative count: the save writes the true count")
            << kHead + "-1\r\n00000=[2020: 1: 1]old\r\n" << QStringList{"2026-12-24=new"} << one("[2026:12:24]new");
        QTest::newRow("CR LF, lone LF and lone CR are each saved as <CR>")
            << QByteArray() << QStringList{"2026-12-1=a\r\nb", "2026-12-2=a\nb", "2026-12-3=a\rb"}
            << kHead + "3\r\n00000=[2026:12: 1]a<CR>b\r\n00001=[2026:12: 2]a<CR>b\r\n00002=[2026:12: 3]a<CR>b\r\n";
        QTest::newRow("a Windows file keeps its encoding and the bytes of entries left alone")
            << one("[2026:12:24]" + kCp932Text) << QStringList{"2027-1-5=新年会"}
            << kHead + "2\r\n00000=[2026:12:24]" + kCp932Text + "\r\n00001=[2027: 1: 5]" + kCp932NewYear + "\r\n";
    }

    void saveWritesCountAndEntriesOnly()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, stores);
        QFETCH(QByteArray, after);
        writeProfile(before);
        CClockDialog dlg;
        dlg.LoadTopics();
        for (const QString& row : stores) {
            const QDate date = QDate::fromString(row.section('=', 0, 0), "yyyy-M-d");
            dlg.StoreTopic(row.section('=', 1).toStdString(), date.year(), date.month(), date.day());
        }
        // The count and every entry reach the file in a single replace.
        int renames = 0;
        theApp.Profile().SetReplaceHook([&](ReplaceStep step) { renames += step == ReplaceStep::Rename; return 0; });
        dlg.SaveTopics();
        theApp.Profile().SetReplaceHook({});
        QCOMPARE(renames, 1);
        QCOMPARE(readProfile(), after);
    }

    void failedSaveKeepsTheListAndTheNextSaveWritesIt()
    {
        // A regular file where the configuration folder should be: no one, root included, can
        // create the folder, so every write fails until it is gone.
        const QString blocker = QFileInfo(profilePath()).dir().filePath("blocked");
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        const QString profile = blocker + "/ombrelclock.ini";
        theApp.SetProfilePath(QFile::encodeName(profile).constData());
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.StoreTopic("Party", 2026, 12, 24);
            dlg.SaveTopics();
            QCOMPARE(m_boxes.size(), 1);
            const QString seen = m_boxes.takeFirst();
            // What failed, then the file on a line of its own and the reason on the next.
            const QStringList lines = seen.split('\n');
            const qsizetype at = lines.indexOf(profile);
            QVERIFY2(lines[0] == QStringLiteral("設定ファイルに書き込めませんでした。"), qPrintable(seen));
            QVERIFY2(at > 0 && at + 1 < lines.size() && !lines[at + 1].trimmed().isEmpty(), qPrintable(seen));
            // The folder can be made now; the next save writes the whole list, the entry that
            // failed included.
            QVERIFY(QFile::remove(blocker));
            dlg.StoreTopic("Gifts", 2026, 12, 22);
            dlg.SaveTopics();
            QFile written(profile);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), kHead + "2\r\n00000=[2026:12:24]Party\r\n00001=[2026:12:22]Gifts\r\n");
        });
    }
};

QTEST_MAIN(TopicListTest)
#include "TopicListTest.moc"
