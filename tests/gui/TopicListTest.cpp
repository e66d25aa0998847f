// The topic list of the clock window against real profile files: find and store by date, load
// and save through the "TOPICS" section, write failures and the single-replace save.
#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <tuple>
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
                // A question is answered No, and its default button noted after its text.
                QAbstractButton* no = box->button(QMessageBox::No);
                const bool noByDefault = no && box->defaultButton() == no;
                m_boxes << box->text() + (noByDefault ? "|No" : "");
                (no ? no : box->button(QMessageBox::Ok))->click();
            }
        });
        m_boxAnswerer.start(0);
    }

    void loadsWhatTheFileSays_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Entries>("list");
        QTest::addColumn<Lookups>("lookups");
        QTest::newRow("count past the last key: the list ends there, a missing key in between is empty")
            << kHead + "4\r\n00000=[2026:12:24]a\r\n00002=[2026:12:26]c\r\n"
            << Entries{"[2026:12:24]a", "", "[2026:12:26]c"}
            << Lookups{{2026, 12, 26, 2, "c"}, {2026, 12, 25, -1, "unchanged"}, {0, 0, 0, -1, "unchanged"}};
        QTest::newRow("negative count") << kHead + "-2\r\n00000=[2026:12:24]a\r\n" << Entries{}
                                        << Lookups{{2026, 12, 24, -1, "unchanged"}};
        QTest::newRow("a count of two thousand million loads what the file holds")
            << kHead + "2147483647\r\n00000=[2026:12:24]a\r\n0001=[2026:12:25]not an entry key\r\n"
            << Entries{"[2026:12:24]a"} << Lookups{{2026, 12, 24, 0, "a"}};
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

    void saveWritesOnlyTheEditedDates_data()
    {
        QTest::addColumn<QByteArray>("before"); // the file as loaded
        QTest::addColumn<QByteArray>("outside"); // the file when saved; null: deleted
        QTest::addColumn<QStringList>("stores"); // "2026-12-24=text": one StoreTopic call each
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("keptAside"); // the outside file copied to the backups first
        const QByteArray base = kHead + "2\r\n00000=[2026:12: 1]one\r\n00001=[2026:12: 2]two\r\n";
        const QByteArray first = "00000=[2026:12: 1]one\r\n", two = "00001=[2026:12: 2]two\r\n";
        const QByteArray theirs = "00000=[2026:12: 1]" + kCp932Text + "\r\n";
        const auto unchanged = [&](const QByteArray& file, const QStringList& stores, const QByteArray& after) {
            return std::tuple{file, file, stores, after, false};
        };
        auto row = [](const char* name, const auto& columns) {
            const auto& [before, outside, stores, after, kept] = columns;
            QTest::newRow(name) << before << outside << stores << after << kept;
        };
        row("an entry is replaced where it is; an empty text leaves a bare header, still found",
            unchanged(kHead + "2\r\n00000=[2026:12:24]a\r\n00001=[2026:12:25]b\r\n",
                      {"2026-12-25=B", "2026-12-26=c", "2026-12-24=", "2026-12-24="},
                      kHead + "3\r\n00000=[2026:12:24]\r\n00001=[2026:12:25]B\r\n00002=[2026:12:26]c\r\n"));
        row("keys above the count are not loaded: a new entry takes the first, the rest stay",
            unchanged(kHead + "1\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]stale\r\n00002=[2020: 1: 2]stale\r\n",
                      {"2020-1-1=fresh"},
                      kHead + "2\r\n00000=[2026:12:24]a\r\n00001=[2020: 1: 1]fresh\r\n00002=[2020: 1: 2]stale\r\n"));
        row("negative count: the save writes the true count",
            unchanged(kHead + "-1\r\n00000=[2020: 1: 1]old\r\n", {"2026-12-24=new"}, one("[2026:12:24]new")));
        row("CR LF, lone LF and lone CR are each saved as <CR>",
            unchanged({}, {"2026-12-1=a\r\nb", "2026-12-2=a\nb", "2026-12-3=a\rb"},
                      kHead + "3\r\n00000=[2026:12: 1]a<CR>b\r\n00001=[2026:12: 2]a<CR>b\r\n00002=[2026:12: 3]a<CR>b\r\n"));
        row("another date changed outside: both changes, the other entry's bytes kept",
            std::tuple{base, kHead + "2\r\n" + theirs + two, QStringList{"2026-12-2=mine"},
                       kHead + "2\r\n" + theirs + "00001=[2026:12: 2]mine\r\n", false});
        row("the same date changed outside: the edit wins, their file is kept aside",
            std::tuple{base, kHead + "2\r\n" + first + "00001=[2026:12: 2]theirs\r\n", QStringList{"2026-12-2=mine"},
                       kHead + "2\r\n" + first + "00001=[2026:12: 2]mine\r\n", true});
        row("entries appended outside: the new date goes after them",
            std::tuple{base, kHead + "3\r\n" + first + two + "00002=[2026:12: 3]three\r\n", QStringList{"2026-12-4=four"},
                       kHead + "4\r\n" + first + two + "00002=[2026:12: 3]three\r\n00003=[2026:12: 4]four\r\n", false});
        row("a shorter file: the edited date, gone from it, comes back after a copy",
            std::tuple{base, kHead + "1\r\n00000=[2026:12: 2]two\r\n", QStringList{"2026-12-1=uno"},
                       kHead + "2\r\n00000=[2026:12: 2]two\r\n00001=[2026:12: 1]uno\r\n", true});
        row("the file deleted: a new one holds the edit alone",
            std::tuple{base, QByteArray(), QStringList{"2026-12-3=three"}, kHead + "1\r\n00000=[2026:12: 3]three\r\n", false});
        row("the file recreated in another encoding: the edit goes into the new one",
            std::tuple{base, one("[2027: 1: 1]" + kCp932Text), QStringList{"2027-1-5=新年会"},
                       kHead + "2\r\n00000=[2027: 1: 1]" + kCp932Text + "\r\n00001=[2027: 1: 5]" + kCp932NewYear + "\r\n", false});
    }

    void saveWritesOnlyTheEditedDates()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, outside);
        QFETCH(QStringList, stores);
        QFETCH(QByteArray, after);
        QFETCH(bool, keptAside);
        writeProfile(before);
        CClockDialog dlg;
        dlg.LoadTopics();
        if (outside != before) {
            QFile::remove(profilePath());
            if (!outside.isNull())
                writeProfile(outside);
        }
        for (const QString& row : stores) {
            const QDate date = QDate::fromString(row.section('=', 0, 0), "yyyy-M-d");
            dlg.StoreTopic(row.section('=', 1).toStdString(), date.year(), date.month(), date.day());
        }
        // The count and every changed entry reach the file in a single replace.
        int renames = 0;
        theApp.Profile().SetReplaceHook([&](ReplaceStep step) { renames += step == ReplaceStep::Rename; return 0; });
        QVERIFY(dlg.SaveTopics());
        theApp.Profile().SetReplaceHook({});
        QCOMPARE(renames, 1);
        QCOMPARE(readProfile(), after);
        const QDir backups(qEnvironmentVariable("XDG_STATE_HOME") + "/ombrelclock/backups");
        const QStringList copies = backups.entryList({"*-outside.ini"});
        QCOMPARE(copies.size(), keptAside ? 1 : 0);
        QCOMPARE(m_boxes.size(), keptAside ? 1 : 0);
        if (keptAside) {
            QFile copy(backups.filePath(copies[0]));
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), outside);
            QVERIFY2(m_boxes.takeFirst().contains(copy.fileName()), "the message names the copy");
        }
    }

    void failedSaveKeepsACopyAndTheNextSaveWritesIt_data()
    {
        QTest::addColumn<bool>("copyFails");
        QTest::newRow("the copy is kept") << false;
        QTest::newRow("the copy cannot be written either") << true;
    }

    void failedSaveKeepsACopyAndTheNextSaveWritesIt()
    {
        QFETCH(bool, copyFails);
        // A regular file where the configuration folder should be: no one, root included, can
        // create the folder, so every write fails until it is gone.
        const QString blocker = QFileInfo(profilePath()).dir().filePath("blocked");
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        const QString profile = blocker + "/ombrelclock.ini";
        if (copyFails)
            qputenv("XDG_STATE_HOME", QFile::encodeName(blocker + "/state"));
        theApp.SetProfilePath(QFile::encodeName(profile).constData());
        const QDir backups(qEnvironmentVariable("XDG_STATE_HOME") + "/ombrelclock/backups");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.StoreTopic("Party", 2026, 12, 24);
            QVERIFY(!dlg.SaveTopics());
            // What failed, the file on a line of its own and the reason on the next, then the copy.
            QCOMPARE(m_boxes.size(), 1);
            const QString seen = m_boxes.takeFirst();
            const QStringList lines = seen.split('\n');
            const qsizetype at = lines.indexOf(profile);
            QVERIFY2(lines[0] == QStringLiteral("設定ファイルに書き込めませんでした。"), qPrintable(seen));
            QVERIFY2(at > 0 && at + 1 < lines.size() && !lines[at + 1].trimmed().isEmpty(), qPrintable(seen));
            const QStringList copies = backups.entryList({"*-unsaved.ini"});
            QCOMPARE(copies.size(), copyFails ? 0 : 1);
            QString copy;
            if (!copyFails) {
                copy = backups.filePath(copies[0]);
                QVERIFY2(lines.contains(copy), qPrintable(seen));
                QFile kept(copy);
                QVERIFY(kept.open(QIODevice::ReadOnly));
                QCOMPARE(kept.readAll(), kHead + "1\r\n00000=[2026:12:24]Party\r\n");
            }

            // Quitting tries once more, then says what became of the topics; No keeps it running.
            QTest::keyClick(WindowOf(dlg), Qt::Key_Escape);
            QTRY_COMPARE(m_boxes.size(), 1);
            const QString question = m_boxes.takeFirst();
            if (copyFails)
                QVERIFY2(question.contains("失われます") && question.endsWith("終了しますか？|No"), qPrintable(question));
            else
                QVERIFY2(question.startsWith("トピックを保存できませんでした。控えを次の場所に残しました:\n")
                             && question.contains(backups.path()) && question.endsWith("\n\n終了しますか？"),
                         qPrintable(question));
            QVERIFY(WindowOf(dlg)->isVisible());

            // The folder can be made now; the next save writes every date changed since.
            QVERIFY(QFile::remove(blocker));
            dlg.StoreTopic("Gifts", 2026, 12, 22);
            QVERIFY(dlg.SaveTopics());
            QFile written(profile);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), kHead + "2\r\n00000=[2026:12:24]Party\r\n00001=[2026:12:22]Gifts\r\n");
        });
    }
};

QTEST_MAIN(TopicListTest)
#include "TopicListTest.moc"
