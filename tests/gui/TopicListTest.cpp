// The topic list of the clock window against real profile files: find and store by date, load
// and save through the "TOPICS" section, write failures and the single-replace save.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>

#include "GuiTestSupport.h"
#include "app/AtomicFile.h"
#include "app/ClockApp.h"
#include "app/ProfileStore.h"
#include "clock/ClockDialog.h"
#include "topics/TopicEntry.h"

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

// CP932 bytes of the Japanese texts, as a Windows editor would save them.
const QByteArray kBonenkai = QByteArray::fromHex("9659944e89ef"); // 忘年会
const QByteArray kNijikai = QByteArray::fromHex("93f18e9f89ef"); // 二次会
const QByteArray kOsouji = QByteArray::fromHex("91e5917c8f9c"); // 大掃除
const QByteArray kShinnenkai = QByteArray::fromHex("9056944e89ef"); // 新年会

void writeProfile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

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

// "2026-12-24=text": one StoreTopic call.
struct Store {
    int year, month, day;
    CString text;
};

Store parseStore(const QString& row)
{
    const int eq = row.indexOf('=');
    const QStringList ymd = row.left(eq).split('-');
    return {ymd[0].toInt(), ymd[1].toInt(), ymd[2].toInt(), CString(row.mid(eq + 1).toStdString())};
}

// The value of `key` in the raw file bytes, quotes and all; "<missing>" when no line has it.
QByteArray rawValue(const QByteArray& file, const QByteArray& key)
{
    for (const QByteArray& line : file.split('\n')) {
        const QByteArray body = line.endsWith('\r') ? line.chopped(1) : line;
        if (body.startsWith(key + "="))
            return body.mid(key.size() + 1);
    }
    return "<missing>";
}

// Every CR and LF in the file is part of a CR LF line end.
bool onlyCrLfLineEnds(const QByteArray& file)
{
    return file.count('\r') == file.count("\r\n") && file.count('\n') == file.count("\r\n");
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

Q_DECLARE_METATYPE(Lookup)

class TopicListTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void storeAppendsOrReplacesInPlace_data();
    void storeAppendsOrReplacesInPlace();
    void lineBreaksSaveAsOneLine_data();
    void lineBreaksSaveAsOneLine();
    void loadsWhatTheFileSays_data();
    void loadsWhatTheFileSays();
    void saveWritesCountAndEntriesOnly_data();
    void saveWritesCountAndEntriesOnly();
    void windowsFileKeepsItsEncoding();
    void failedSaveKeepsTheListAndTheNextSaveWritesIt();
    void saveReplacesTheFileOnce();
    void failedRenameLeavesTheOldFile();
    void absurdCountIsBounded();

private:
    // Answers the one box a test expects and then guards against more.
    void answerExpectedBox(QString* text);

    // Any box nobody expected is answered (so the test ends) and recorded (so it fails).
    QTimer m_guard;
    QStringList m_unexpectedBoxes;
};

void TopicListTest::init()
{
    m_unexpectedBoxes.clear();
    m_guard.disconnect();
    m_guard.setInterval(0);
    connect(&m_guard, &QTimer::timeout, this, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            m_unexpectedBoxes << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    m_guard.start();
}

void TopicListTest::cleanup()
{
    m_guard.stop();
    QVERIFY2(m_unexpectedBoxes.isEmpty(), qPrintable(m_unexpectedBoxes.join("\n---\n")));
}

void TopicListTest::answerExpectedBox(QString* text)
{
    m_guard.stop();
    AnswerNextMessageBox(QMessageBox::Ok, text, nullptr, [this] { m_guard.start(); });
}

void TopicListTest::storeAppendsOrReplacesInPlace_data()
{
    QTest::addColumn<QStringList>("stores");
    QTest::addColumn<QList<int>>("returned");
    QTest::addColumn<QList<QByteArray>>("list");

    QTest::newRow("new dates append")
        << QStringList{"2026-12-24=Party", "2027-1-1=New year"} << QList<int>{-1, -1}
        << QList<QByteArray>{"[2026:12:24]Party", "[2027: 1: 1]New year"};
    QTest::newRow("a stored date is replaced where it is")
        << QStringList{"2026-12-24=a", "2026-12-25=b", "2026-12-26=c", "2026-12-25=B", "2026-12-24=A"}
        << QList<int>{-1, -1, -1, 1, 0}
        << QList<QByteArray>{"[2026:12:24]A", "[2026:12:25]B", "[2026:12:26]c"};
    QTest::newRow("empty text leaves the bare header")
        << QStringList{"2026-12-24=Party", "2026-12-24="} << QList<int>{-1, 0}
        << QList<QByteArray>{"[2026:12:24]"};
    QTest::newRow("an empty entry is still found and replaced")
        << QStringList{"2026-12-24=", "2026-12-24=again"} << QList<int>{-1, 0}
        << QList<QByteArray>{"[2026:12:24]again"};
    QTest::newRow("the same day of another year is another date")
        << QStringList{"2026-12-24=this", "2025-12-24=last", "9999-12-24=far"} << QList<int>{-1, -1, -1}
        << QList<QByteArray>{"[2026:12:24]this", "[2025:12:24]last", "[9999:12:24]far"};
    QTest::newRow("text holding another date's header stays with its own date")
        << QStringList{"2026-12-24=[2026:12:25]x", "2026-12-25=y"} << QList<int>{-1, -1}
        << QList<QByteArray>{"[2026:12:24][2026:12:25]x", "[2026:12:25]y"};
    QTest::newRow("text holding its own header keeps it")
        << QStringList{"2026-12-24=[2026:12:24]twice", "2026-12-24=[2026:12:24][2026:12:24]"}
        << QList<int>{-1, 0} << QList<QByteArray>{"[2026:12:24][2026:12:24][2026:12:24]"};
}

void TopicListTest::storeAppendsOrReplacesInPlace()
{
    QFETCH(QStringList, stores);
    QFETCH(QList<int>, returned);
    QFETCH(QList<QByteArray>, list);
    TempProfileHome home;
    QList<Store> last; // the last text stored for each date, for the lookups afterwards
    {
        CClockDialog dlg;
        QList<int> got;
        for (const QString& row : stores) {
            const Store s = parseStore(row);
            got << dlg.StoreTopic(s.text, s.year, s.month, s.day);
            last.erase(std::remove_if(last.begin(), last.end(), [&](const Store& o) {
                return o.year == s.year && o.month == s.month && o.day == s.day; }), last.end());
            last << s;
        }
        QCOMPARE(got, returned);
        QCOMPARE(listOf(dlg), list);
        dlg.SaveTopics();
    }
    // What was stored comes back from the file the same, each date at its index.
    CClockDialog again;
    again.LoadTopics();
    QCOMPARE(listOf(again), list);
    for (const Store& s : last) {
        CString text = "not found";
        const int at = again.FindTopic(text, s.year, s.month, s.day);
        QVERIFY(at >= 0);
        QVERIFY(bytesOf(again.m_topics[at]).startsWith(bytesOf(FormatTopicHeader(s.year, s.month, s.day))));
        QCOMPARE(bytesOf(text), bytesOf(s.text));
    }
}

void TopicListTest::lineBreaksSaveAsOneLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("saved"); // the value in the file
    QTest::addColumn<QByteArray>("readBack");

    QTest::newRow("CR LF") << QByteArray("one\r\ntwo") << QByteArray("[2026:12:24]one<CR>two") << QByteArray("one\r\ntwo");
    QTest::newRow("lone LF") << QByteArray("one\ntwo") << QByteArray("[2026:12:24]one<CR>two") << QByteArray("one\r\ntwo");
    QTest::newRow("lone CR") << QByteArray("one\rtwo") << QByteArray("[2026:12:24]one<CR>two") << QByteArray("one\r\ntwo");
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QByteArray("[2026:12:24]a<CR><CR>b")
                                         << QByteArray("a\r\n\r\nb");
    QTest::newRow("CR LF then LF is two breaks") << QByteArray("a\r\n\nb") << QByteArray("[2026:12:24]a<CR><CR>b")
                                                 << QByteArray("a\r\n\r\nb");
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nb") << QByteArray("[2026:12:24]a<CR><CR>b")
                                            << QByteArray("a\r\n\r\nb");
    QTest::newRow("breaks at both ends") << QByteArray("\nmid\r") << QByteArray("[2026:12:24]<CR>mid<CR>")
                                         << QByteArray("\r\nmid\r\n");
    QTest::newRow("Japanese lines") << QByteArray("忘年会\n二次会") << QByteArray("[2026:12:24]忘年会<CR>二次会")
                                    << QByteArray("忘年会\r\n二次会");
    QTest::newRow("trailing blank survives") << QByteArray("memo ") << QByteArray("\"[2026:12:24]memo \"")
                                             << QByteArray("memo ");
    QTest::newRow("blank line between") << QByteArray("a\r\n\r\nb") << QByteArray("[2026:12:24]a<CR><CR>b")
                                        << QByteArray("a\r\n\r\nb");
}

void TopicListTest::lineBreaksSaveAsOneLine()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, saved);
    QFETCH(QByteArray, readBack);
    TempProfileHome home;
    {
        CClockDialog dlg;
        dlg.StoreTopic("first", 2026, 12, 1);
        dlg.StoreTopic(CString(text.toStdString()), 2026, 12, 24);
        dlg.StoreTopic("last", 2026, 12, 31);
        dlg.SaveTopics();
    }
    const QByteArray file = ReadProfile(home.profilePath());
    QVERIFY2(onlyCrLfLineEnds(file), file.constData());
    QCOMPARE(rawValue(file, "NUMBER"), QByteArray("3"));
    QCOMPARE(rawValue(file, "00001"), saved);
    // The neighbours are whole, so no break leaked out of the value.
    QCOMPARE(rawValue(file, "00000"), QByteArray("[2026:12: 1]first"));
    QCOMPARE(rawValue(file, "00002"), QByteArray("[2026:12:31]last"));

    CClockDialog again;
    again.LoadTopics();
    QCOMPARE(again.m_topics.GetSize(), 3);
    CString found;
    QCOMPARE(again.FindTopic(found, 2026, 12, 24), 1);
    QCOMPARE(bytesOf(found), readBack);
}

void TopicListTest::loadsWhatTheFileSays_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<QByteArray>>("list");
    QTest::addColumn<QList<Lookup>>("lookups");

    const QByteArray head = "[TOPICS]\r\n";
    QTest::newRow("count above the keys: the missing entries are empty and match nothing")
        << head + "NUMBER=4\r\n00000=[2026:12:24]a\r\n00002=[2026:12:26]c\r\n"
        << QList<QByteArray>{"[2026:12:24]a", "", "[2026:12:26]c", ""}
        << QList<Lookup>{{2026, 12, 24, 0, "a"}, {2026, 12, 26, 2, "c"}, {2026, 12, 25, -1, "unchanged"},
                         {0, 0, 0, -1, "unchanged"}};
    QTest::newRow("count below the keys") << head + "NUMBER=1\r\n00000=[2026:12:24]a\r\n00001=[2026:12:25]b\r\n"
                                          << QList<QByteArray>{"[2026:12:24]a"}
                                          << QList<Lookup>{{2026, 12, 25, -1, "unchanged"}};
    QTest::newRow("negative count") << head + "NUMBER=-2\r\n00000=[2026:12:24]a\r\n" << QList<QByteArray>{}
                                    << QList<Lookup>{{2026, 12, 24, -1, "unchanged"}};
    QTest::newRow("no count") << head + "00000=[2026:12:24]a\r\n" << QList<QByteArray>{}
                              << QList<Lookup>{{2026, 12, 24, -1, "unchanged"}};
    QTest::newRow("no file") << QByteArray() << QList<QByteArray>{} << QList<Lookup>{};
    QTest::newRow("zero-filled header") << head + "NUMBER=1\r\n00000=[2003:07:05]Hello\r\n"
                                        << QList<QByteArray>{"[2003:07:05]Hello"}
                                        << QList<Lookup>{{2003, 7, 5, 0, "Hello"}};
    QTest::newRow("short hand-written header") << head + "NUMBER=1\r\n00000=[2003:7:5]Hello\r\n"
                                               << QList<QByteArray>{"[2003:7:5]Hello"}
                                               << QList<Lookup>{{2003, 7, 5, 0, "Hello"}};
    QTest::newRow("short header without the closing bracket")
        << head + "NUMBER=1\r\n00000=[2003:7:5 Hello\r\n" << QList<QByteArray>{"[2003:7:5 Hello"}
        << QList<Lookup>{{2003, 7, 5, 0, " Hello"}};
    QTest::newRow("text holding its own header keeps it")
        << head + "NUMBER=1\r\n00000=[2026:12:24][2026:12:24]x\r\n" << QList<QByteArray>{"[2026:12:24][2026:12:24]x"}
        << QList<Lookup>{{2026, 12, 24, 0, "[2026:12:24]x"}};
    QTest::newRow("a date twice: the first wins")
        << head + "NUMBER=3\r\n00000=[2026:12:1]x\r\n00001=[2026:12:24]first\r\n00002=[2026:12:24]second\r\n"
        << QList<QByteArray>{"[2026:12:1]x", "[2026:12:24]first", "[2026:12:24]second"}
        << QList<Lookup>{{2026, 12, 24, 1, "first"}, {2026, 12, 1, 0, "x"}};
    QTest::newRow("a line that is no header matches nothing")
        << head + "NUMBER=2\r\n00000=Party on the 24th\r\n00001=[2026:12:24]\r\n"
        << QList<QByteArray>{"Party on the 24th", "[2026:12:24]"} << QList<Lookup>{{2026, 12, 24, 1, ""}};
    QTest::newRow("<CR> reads as CR LF") << head + "NUMBER=1\r\n00000=[2026:12:24]one<CR>two<CR>\r\n"
                                         << QList<QByteArray>{"[2026:12:24]one\r\ntwo\r\n"}
                                         << QList<Lookup>{{2026, 12, 24, 0, "one\r\ntwo\r\n"}};
    QTest::newRow("LF-only file with blanks around names")
        << QByteArray("[topics]\n number = 2\n00001 = [2026:12:24]b\n00000= [2026:12:23]a \n")
        << QList<QByteArray>{"[2026:12:23]a", "[2026:12:24]b"}
        << QList<Lookup>{{2026, 12, 23, 0, "a"}, {2026, 12, 24, 1, "b"}};
}

void TopicListTest::loadsWhatTheFileSays()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<QByteArray>, list);
    QFETCH(QList<Lookup>, lookups);
    TempProfileHome home;
    if (!file.isNull())
        writeProfile(home.profilePath(), file);
    CClockDialog dlg;
    dlg.StoreTopic("left over", 2026, 1, 1); // loading replaces whatever the list held
    dlg.LoadTopics();
    QCOMPARE(listOf(dlg), list);
    for (const Lookup& lookup : lookups) {
        CString text = "unchanged";
        QCOMPARE(dlg.FindTopic(text, lookup.year, lookup.month, lookup.day), lookup.index);
        QCOMPARE(bytesOf(text), lookup.text);
    }
    CString text = "unchanged";
    QCOMPARE(dlg.FindTopic(text, 2026, 1, 1), -1);
    // Loading reads only.
    QCOMPARE(ReadProfile(home.profilePath()), file);
}

void TopicListTest::saveWritesCountAndEntriesOnly_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("stores");
    QTest::addColumn<QByteArray>("after");

    const QByteArray others = "; written by hand\r\n[LOCATE]\r\nLEFT=10\r\n";
    const QByteArray tail = "\r\n[SETTING]\r\nFLAG=1\r\n";
    QTest::newRow("replacing an entry leaves the keys above the count")
        << others + "[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]a\r\n00001=[2026:12:25]b\r\n"
                    "00002=[2020: 1: 1]stale\r\n00003=[2020: 1: 2]stale" + tail
        << QStringList{"2026-12-25=B"}
        << others + "[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]a\r\n00001=[2026:12:25]B\r\n"
                    "00002=[2020: 1: 1]stale\r\n00003=[2020: 1: 2]stale" + tail;
    QTest::newRow("a new entry takes the first key above the count, the next stays")
        << others + "[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]stale\r\n00002=[2020: 1: 2]stale"
            + tail
        << QStringList{"2026-12-31=new"}
        << others + "[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]a\r\n00001=[2026:12:31]new\r\n00002=[2020: 1: 2]stale"
            + tail;
    QTest::newRow("a stale entry's date is not found, so it is not replaced")
        << QByteArray("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]stale\r\n")
        << QStringList{"2020-1-1=fresh"}
        << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]fresh\r\n");
    QTest::newRow("negative count: the save writes the true count")
        << QByteArray("[TOPICS]\r\nNUMBER=-1\r\n00000=[2020: 1: 1]old\r\n00001=[2020: 1: 2]old\r\n")
        << QStringList{"2026-12-24=new"}
        << QByteArray("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]new\r\n00001=[2020: 1: 2]old\r\n");
    QTest::newRow("count above the keys: the missing entries are written empty")
        << QByteArray("[TOPICS]\r\nNUMBER=3\r\n00000=[2026:12:24]a\r\n[SETTING]\r\nFLAG=1\r\n") << QStringList{}
        << QByteArray("[TOPICS]\r\nNUMBER=3\r\n00000=[2026:12:24]a\r\n00001=\r\n00002=\r\n[SETTING]\r\nFLAG=1\r\n");
    QTest::newRow("hand-written short header is replaced in place")
        << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2003:7:5]Hello\r\n00001=[2003:07:06]World\r\n")
        << QStringList{"2003-7-6=Earth", "2003-7-5=Bye"}
        << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2003: 7: 5]Bye\r\n00001=[2003: 7: 6]Earth\r\n");
    QTest::newRow("a date twice: the first is replaced")
        << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]first\r\n00001=[2026:12:24]second\r\n")
        << QStringList{"2026-12-24=changed"}
        << QByteArray("[TOPICS]\r\nNUMBER=2\r\n00000=[2026:12:24]changed\r\n00001=[2026:12:24]second\r\n");
    QTest::newRow("no file") << QByteArray() << QStringList{"2026-12-24=a"}
                             << QByteArray("[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:24]a\r\n");
    QTest::newRow("an empty list writes a zero count") << QByteArray() << QStringList{}
                                                       << QByteArray("[TOPICS]\r\nNUMBER=0\r\n");
}

void TopicListTest::saveWritesCountAndEntriesOnly()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, stores);
    QFETCH(QByteArray, after);
    TempProfileHome home;
    if (!before.isNull())
        writeProfile(home.profilePath(), before);
    CClockDialog dlg;
    dlg.LoadTopics();
    for (const QString& row : stores) {
        const Store s = parseStore(row);
        dlg.StoreTopic(s.text, s.year, s.month, s.day);
    }
    dlg.SaveTopics();
    QCOMPARE(ReadProfile(home.profilePath()), after);
}

void TopicListTest::windowsFileKeepsItsEncoding()
{
    TempProfileHome home;
    const QByteArray line0 = "00000=[2026:12:24]" + kBonenkai + "<CR>" + kNijikai + "\r\n";
    const QByteArray line1 = "00001=[2026:12:31]" + kOsouji + "\r\n";
    writeProfile(home.profilePath(), "[TOPICS]\r\nNUMBER=2\r\n" + line0 + line1);

    CClockDialog dlg;
    dlg.LoadTopics();
    CString text;
    QCOMPARE(dlg.FindTopic(text, 2026, 12, 24), 0);
    QCOMPARE(bytesOf(text), QByteArray("忘年会\r\n二次会"));
    QCOMPARE(dlg.FindTopic(text, 2026, 12, 31), 1);
    QCOMPARE(bytesOf(text), QByteArray("大掃除"));

    QCOMPARE(dlg.StoreTopic("新年会", 2027, 1, 5), -1);
    dlg.SaveTopics();
    QCOMPARE(ReadProfile(home.profilePath()),
             "[TOPICS]\r\nNUMBER=3\r\n" + line0 + line1 + "00002=[2027: 1: 5]" + kShinnenkai + "\r\n");

    CClockDialog again;
    again.LoadTopics();
    QCOMPARE(listOf(again), (QList<QByteArray>{"[2026:12:24]忘年会\r\n二次会", "[2026:12:31]大掃除",
                                               "[2027: 1: 5]新年会"}));
}

void TopicListTest::failedSaveKeepsTheListAndTheNextSaveWritesIt()
{
    TempProfileHome home;
    // A regular file where the configuration folder should be: no one, root included, can
    // create the folder, so every write fails until it is gone.
    const QString blocker = QFileInfo(home.profilePath()).dir().filePath("blocked");
    writeProfile(blocker, "not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
    const QString profile = blocker + "/" + QFileInfo(home.profilePath()).fileName();

    FixedClock clock(2026, 12, 6, 10, 0);
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.StoreTopic("Party", 2026, 12, 24);
        dlg.StoreTopic("Shopping", 2026, 12, 23);

        QString seen;
        answerExpectedBox(&seen);
        dlg.SaveTopics();

        QVERIFY2(seen.startsWith(QStringLiteral("設定ファイルに書き込めませんでした。")), qPrintable(seen));
        // The file on a line of its own, and the reason on the next.
        const QStringList lines = seen.split('\n');
        const qsizetype at = lines.indexOf(profile);
        QVERIFY2(at > 0 && at + 1 < lines.size() && !lines[at + 1].trimmed().isEmpty(), qPrintable(seen));
        QVERIFY(!QFileInfo(blocker).isDir());
        QCOMPARE(listOf(dlg), (QList<QByteArray>{"[2026:12:24]Party", "[2026:12:23]Shopping"}));

        // The folder can be made now; the next save writes the whole list.
        QVERIFY(QFile::remove(blocker));
        dlg.StoreTopic("Gifts", 2026, 12, 22);
        dlg.SaveTopics();
        QCOMPARE(ReadProfile(profile), QByteArray("[TOPICS]\r\nNUMBER=3\r\n00000=[2026:12:24]Party\r\n"
                                                  "00001=[2026:12:23]Shopping\r\n00002=[2026:12:22]Gifts\r\n"));
    });
}

void TopicListTest::saveReplacesTheFileOnce()
{
    TempProfileHome home;
    CClockDialog dlg;
    for (int i = 0; i < 1000; ++i)
        dlg.StoreTopic(CString("予定 " + std::to_string(i)), 2000 + i / 365, 1 + i / 31 % 12, 1 + i % 28);
    dlg.SaveTopics(); // the file exists, so the next save replaces it
    const FileStamp before = StampFile(home.profilePath().toStdString());
    QVERIFY(before.exists);

    QList<ReplaceStep> steps;
    ProfileStore& store = theApp.Profile();
    QCOMPARE(QString::fromStdString(store.path().string()), home.profilePath());
    store.SetReplaceHook([&steps](ReplaceStep step) {
        steps << step;
        return 0;
    });
    dlg.StoreTopic("changed", 2000, 1, 1);
    dlg.StoreTopic("added", 2100, 1, 1);
    dlg.SaveTopics();
    store.SetReplaceHook({});

    QCOMPARE(steps.count(ReplaceStep::Rename), 1);
    QCOMPARE(steps.count(ReplaceStep::CreateTemp), 1);
    const FileStamp after = StampFile(home.profilePath().toStdString());
    QVERIFY(after.inode != before.inode);
    CClockDialog again;
    again.LoadTopics();
    QCOMPARE(again.m_topics.GetSize(), dlg.m_topics.GetSize());
    QCOMPARE(listOf(again), listOf(dlg));
}

void TopicListTest::failedRenameLeavesTheOldFile()
{
    TempProfileHome home;
    CClockDialog dlg;
    dlg.StoreTopic("one", 2026, 12, 1);
    dlg.StoreTopic("two", 2026, 12, 2);
    dlg.SaveTopics();
    const QByteArray old = ReadProfile(home.profilePath());
    const QStringList filesBefore = filesIn(QFileInfo(home.profilePath()).path());

    dlg.StoreTopic("ONE", 2026, 12, 1);
    for (int day = 3; day <= 31; ++day)
        dlg.StoreTopic(CString("day " + std::to_string(day)), 2026, 12, day);
    ProfileStore& store = theApp.Profile();
    int renames = 0;
    // The process stops right before the new file would take the old one's place.
    store.SetReplaceHook([&renames](ReplaceStep step) {
        if (step != ReplaceStep::Rename)
            return 0;
        ++renames;
        return EIO;
    });
    QString seen;
    answerExpectedBox(&seen);
    dlg.SaveTopics();
    store.SetReplaceHook({});

    QCOMPARE(renames, 1);
    QVERIFY2(seen.contains(home.profilePath()), qPrintable(seen));
    QCOMPARE(ReadProfile(home.profilePath()), old);
    QCOMPARE(filesIn(QFileInfo(home.profilePath()).path()), filesBefore); // no temporary left
    QCOMPARE(dlg.m_topics.GetSize(), 31);

    dlg.SaveTopics();
    CClockDialog again;
    again.LoadTopics();
    QCOMPARE(listOf(again), listOf(dlg));
    CString text;
    QCOMPARE(again.FindTopic(text, 2026, 12, 1), 0);
    QCOMPARE(text, CString("ONE"));
}

void TopicListTest::absurdCountIsBounded()
{
    // A hand-edited count of two thousand million must not make the start allocate without end.
    TempProfileHome home;
    QFile file(home.profilePath());
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

QTEST_MAIN(TopicListTest)
#include "TopicListTest.moc"
