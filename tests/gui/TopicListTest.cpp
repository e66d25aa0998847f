// The topic list of the clock window against real profile files: find and store by date, load
// and save through the "TOPICS" section, write failures and the single-replace save.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <utility>

#include "GuiTestSupport.h"
#include "profile/AtomicFile.h"
#include "clock/ClockApp.h"
#include "profile/ProfileStore.h"
#include "clock/ClockDialog.h"

extern CClockApp theApp;

namespace {

// A FindTopic call and what it must give: the entry's index (-1: none) and its text.
struct Lookup {
    int year = 0;
    int month = 0;
    int day = 0;
    int index = -1;
    QByteArray text;
};

QByteArray bytesOf(const CString& text)
{
    return QByteArray(text.GetString(), text.GetLength());
}

QList<QByteArray> listOf(const CClockDialog& dlg)
{
    QList<QByteArray> list;
    for (int i = 0; i < dlg.m_topics.GetSize(); ++i)
        list << bytesOf(dlg.m_topics[i]);
    return list;
}

// Each row "2026-12-24=text" is one StoreTopic call; gives what the calls returned.
QList<int> store(CClockDialog& dlg, const QStringList& rows)
{
    QList<int> returned;
    for (const QString& row : rows) {
        const int eq = row.indexOf('=');
        const QStringList ymd = row.left(eq).split('-');
        returned << dlg.StoreTopic(CString(row.mid(eq + 1).toStdString()), ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt());
    }
    return returned;
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

    void storeAppendsOrReplacesInPlace_data()
    {
        QTest::addColumn<QStringList>("stores");
        QTest::addColumn<QList<int>>("returned");
        QTest::addColumn<QList<QByteArray>>("list");
        QTest::newRow("new dates append, a stored date is replaced where it is")
            << QStringList{"2026-12-24=a", "2026-12-25=b", "2025-12-24=c", "2026-12-25=B", "2026-12-24=A"}
            << QList<int>{-1, -1, -1, 1, 0} << QList<QByteArray>{"[2026:12:24]A", "[2026:12:25]B", "[2025:12:24]c"};
        QTest::newRow("empty text leaves the bare header, which is still found")
            << QStringList{"2026-12-24=Party", "2026-12-24=", "2026-12-24="} << QList<int>{-1, 0, 0}
            << QList<QByteArray>{"[2026:12:24]"};
    }

    void storeAppendsOrReplacesInPlace()
    {
        QFETCH(QStringList, stores);
        QFETCH(QList<int>, returned);
        QFETCH(QList<QByteArray>, list);
        CClockDialog dlg;
        QCOMPARE(store(dlg, stores), returned);
        QCOMPARE(listOf(dlg), list);
    }

    void loadsWhatTheFileSays_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<QByteArray>>("list");
        QTest::addColumn<QList<Lookup>>("lookups");
        const QByteArray head = "[TOPICS]\r\nNUMBER=";
        QTest::newRow("count above the keys: the missing entries are empty and match nothing")
            << head + "4\r\n00000=[2026:12:24]a\r\n00002=[2026:12:26]c\r\n"
            << QList<QByteArray>{"[2026:12:24]a", "", "[2026:12:26]c", ""}
            << QList<Lookup>{{2026, 12, 26, 2, "c"}, {2026, 12, 25, -1, "unchanged"}, {0, 0, 0, -1, "unchanged"}};
        QTest::newRow("negative count") << head + "-2\r\n00000=[2026:12:24]a\r\n" << QList<QByteArray>{}
                                        << QList<Lookup>{{2026, 12, 24, -1, "unchanged"}};
        QTest::newRow("zero-filled header") << head + "1\r\n00000=[2003:07:05]Hello\r\n"
                                            << QList<QByteArray>{"[2003:07:05]Hello"}
                                            << QList<Lookup>{{2003, 7, 5, 0, "Hello"}};
        QTest::newRow("short hand-written header") << head + "1\r\n00000=[2003:7:5]Hello\r\n"
                                                   << QList<QByteArray>{"[2003:7:5]Hello"}
                                                   << QList<Lookup>{{2003, 7, 5, 0, "Hello"}};
        QTest::newRow("text holding its own header keeps it")
            << head + "1\r\n00000=[2026:12:24][2026:12:24]x\r\n" << QList<QByteArray>{"[2026:12:24][2026:12:24]x"}
            << QList<Lookup>{{2026, 12, 24, 0, "[2026:12:24]x"}};
        QTest::newRow("<CR> reads as CR LF") << head + "1\r\n00000=[2026:12:24]one<CR>two<CR>\r\n"
                                             << QList<QByteArray>{"[2026:12:24]one\r\ntwo\r\n"}
                                             << QList<Lookup>{{2026, 12, 24, 0, "one\r\ntwo\r\n"}};
    }

    void loadsWhatTheFileSays()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<QByteArray>, list);
        QFETCH(QList<Lookup>, lookups);
        writeProfile(file);
        CClockDialog dlg;
        dlg.StoreTopic("left over", 2026, 1, 1); // loading replaces whatever the list held
        dlg.LoadTopics();
        QCOMPARE(listOf(dlg), list);
        for (const Lookup& lookup : lookups) {
            CString text = "unchanged";
            QCOMPARE(dlg.FindTopic(text, lookup.year, lookup.month, lookup.day), lookup.index);
            QCOMPARE(bytesOf(text), lookup.text);
        }
        QCOMPARE(readProfile(), file); // loading reads only
    }

    void saveWritesCountAndEntriesOnly_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("stores");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("keys above the count are not loaded: a new entry takes the first, the rest stay")
            << QByteArray("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]stale\r\n"
                          "00002=[2020: 1: 2]stale\r\n")
            << QStringList{"2020-1-1=fresh"}
            << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]fresh\r\n"
                          "00002=[2020: 1: 2]stale\r\n");
        QTest::newRow("negative count: the save writes the true count")
            << QByteArray("[TOPICS]\r\nNUMBER=-1\r\n00000=[2020: 1: 1]old\r\n") << QStringList{"2026-12-24=new"}
            << QByteArray("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]new\r\n");
        QTest::newRow("CR LF, lone LF and lone CR are each saved as <CR>")
            << QByteArray() << QStringList{"2026-12-1=a\r\nb", "2026-12-2=a\nb", "2026-12-3=a\rb"}
            << QByteArray("[TOPICS]\r\nNUMBER=3\r\n00000=[2026:12: 1]a<CR>b\r\n00001=[2026:12: 2]a<CR>b\r\n"
                          "00002=[2026:12: 3]a<CR>b\r\n");
    }

    void saveWritesCountAndEntriesOnly()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, stores);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            writeProfile(before);
        CClockDialog dlg;
        dlg.LoadTopics();
        store(dlg, stores);
        dlg.SaveTopics();
        QCOMPARE(readProfile(), after);
    }

    void windowsFileKeepsItsEncoding()
    {
        // CP932 bytes of 忘年会, 二次会 and 新年会, as a Windows editor would save them.
        const QByteArray bonenkai = QByteArray::fromHex("9659944e89ef"), nijikai = QByteArray::fromHex("93f18e9f89ef");
        const QByteArray untouched = "00000=[2026:12:24]" + bonenkai + "<CR>" + nijikai + "\r\n";
        writeProfile("[TOPICS]\r\nNUMBER=1\r\n" + untouched);
        CClockDialog dlg;
        dlg.LoadTopics();
        CString text;
        QCOMPARE(dlg.FindTopic(text, 2026, 12, 24), 0);
        QCOMPARE(bytesOf(text), QByteArray("忘年会\r\n二次会"));

        QCOMPARE(dlg.StoreTopic("新年会", 2027, 1, 5), -1);
        dlg.SaveTopics();
        QCOMPARE(readProfile(), "[TOPICS]\r\nNUMBER=2\r\n" + untouched + "00001=[2027: 1: 5]"
                     + QByteArray::fromHex("9056944e89ef") + "\r\n");
    }

    void failedSaveKeepsTheListAndTheNextSaveWritesIt()
    {
        // A regular file where the configuration folder should be: no one, root included, can
        // create the folder, so every write fails until it is gone.
        const QString blocker = QFileInfo(profilePath()).dir().filePath("blocked");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString profile = blocker + "/ombrelclock.ini";
        theApp.SetProfilePath(QFile::encodeName(profile).constData());

        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.StoreTopic("Party", 2026, 12, 24);
            dlg.SaveTopics();
            QCOMPARE(m_boxes.size(), 1);
            const QString seen = m_boxes.takeFirst();
            QVERIFY2(seen.startsWith(QStringLiteral("設定ファイルに書き込めませんでした。")), qPrintable(seen));
            // The file on a line of its own, and the reason on the next.
            const QStringList lines = seen.split('\n');
            const qsizetype at = lines.indexOf(profile);
            QVERIFY2(at > 0 && at + 1 < lines.size() && !lines[at + 1].trimmed().isEmpty(), qPrintable(seen));
            QCOMPARE(listOf(dlg), QList<QByteArray>{"[2026:12:24]Party"});

            // The folder can be made now; the next save writes the whole list.
            QVERIFY(QFile::remove(blocker));
            dlg.StoreTopic("Gifts", 2026, 12, 22);
            dlg.SaveTopics();
            QFile written(profile);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]Party\r\n00001=[2026:12:22]Gifts\r\n"));
        });
    }

    void saveReplacesTheFileOnce()
    {
        CClockDialog dlg;
        store(dlg, {"2026-12-1=a", "2026-12-2=b", "2026-12-3=c"});
        int renames = 0;
        theApp.Profile().SetReplaceHook([&renames](ReplaceStep step) {
            renames += step == ReplaceStep::Rename;
            return 0;
        });
        dlg.SaveTopics();
        theApp.Profile().SetReplaceHook({});
        QCOMPARE(renames, 1);
    }

    void absurdCountIsBounded()
    {
        // A hand-edited count of two thousand million must not make the start allocate without end.
        QFile file(profilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[TOPICS]\r\nNUMBER=2147483647\r\n00000=[2026:12:24]a\r\n");
        file.close();
        CClockDialog dlg;
        dlg.LoadTopics();
        QCOMPARE(dlg.m_topics.GetSize(), 1000000);
        CString text;
        QCOMPARE(dlg.FindTopic(text, 2026, 12, 24), 0);
        QCOMPARE(text, CString("a"));
    }
};

QTEST_MAIN(TopicListTest)
#include "TopicListTest.moc"
