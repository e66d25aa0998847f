// Where the clock window comes up and how "Save" in the About box stores it, through the real
// windows offscreen and the real profile file.
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "GuiTestSupport.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

namespace {

// Presses a key in the next About box.
void answerAbout(Qt::Key key, QStringList* texts = nullptr)
{
    ActOnNextDialog(IDD_ABOUT, [=](DialogWindow* window) {
        if (texts) {
            *texts << window->windowTitle();
            for (QLabel* label : window->findChildren<QLabel*>())
                *texts << label->text();
            for (QPushButton* button : window->findChildren<QPushButton*>())
                *texts << button->text();
        }
        QTest::keyClick(window, key);
    });
}

CRect windowRect(CClockDialog& dlg)
{
    CRect r;
    dlg.GetWindowRect(&r);
    return r;
}

int calendarHeight(CClockDialog& dlg)
{
    CRect r;
    dlg.m_calendar.GetWindowRect(&r);
    return r.Height();
}

} // namespace

class PlacementTest : public GuiTest {
    Q_OBJECT

private slots:
    void firstRunComesUpFoldedAtTheDefaultPlace();
    void saveThenRestartComesBackWhereSaved();
    void quittingWithoutSaveKeepsTheLastSave();
    void escapeInTheAboutBoxSavesNothing();
    void keysAreWrittenInOrderWithTheWholeFlagWord();
    void handEditedValuesAreTakenUnchanged();
    void unreachableRectanglesAreMended_data();
    void unreachableRectanglesAreMended();
    void aboutBoxShowsTheVersion();
};

void PlacementTest::firstRunComesUpFoldedAtTheDefaultPlace()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const CRect r = windowRect(dlg);
        QCOMPARE(QPoint(r.left, r.top), area.topLeft());
        QCOMPARE(dlg.m_flags, 0);
        const int folded = r.Height();
        dlg.SendMessage(WM_COMMAND, IDOK);
        QCOMPARE(windowRect(dlg).Height(), folded + calendarHeight(dlg));
    });
    QVERIFY(!QFile::exists(profilePath())); // nothing is saved by just running
}

void PlacementTest::saveThenRestartComesBackWhereSaved()
{
    CRect saved;
    {
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.SendMessage(WM_COMMAND, IDOK);
            const CRect r = windowRect(dlg);
            dlg.MoveWindow(CRect(200, 150, 200 + r.Width(), 150 + r.Height()));
            saved = windowRect(dlg);
            answerAbout(Qt::Key_Return);
            dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
            QVERIFY(QFile::exists(profilePath()));
        });
    }
    CClockDialog again;
    RunModal(again, [&] {
        QCOMPARE(windowRect(again), saved);
        QCOMPARE(again.m_flags, 1);
        again.SendMessage(WM_COMMAND, IDOK); // one Enter folds
        QCOMPARE(windowRect(again).Height(), saved.Height() - calendarHeight(again));
        QCOMPARE(windowRect(again).top, saved.top);
    });
}

void PlacementTest::quittingWithoutSaveKeepsTheLastSave()
{
    CRect saved;
    {
        CClockDialog dlg;
        RunModal(dlg, [&] {
            dlg.MoveWindow(CRect(60, 70, 60 + windowRect(dlg).Width(), 70 + windowRect(dlg).Height()));
            saved = windowRect(dlg);
            answerAbout(Qt::Key_Return);
            dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
            // Unfold and move after the save, then quit.
            dlg.SendMessage(WM_COMMAND, IDOK);
            dlg.MoveWindow(CRect(300, 300, 466, 500));
            AnswerNextMessageBox(QMessageBox::Yes);
            dlg.SendMessage(WM_COMMAND, IDCANCEL);
        });
    }
    CClockDialog again;
    RunModal(again, [&] {
        QCOMPARE(windowRect(again), saved);
        QCOMPARE(again.m_flags, 0);
    });
}

void PlacementTest::escapeInTheAboutBoxSavesNothing()
{
    writeProfile("[LOCATE]\r\nLEFT=10\r\nTOP=20\r\nRIGHT=176\r\nBOTTOM=39\r\n");
    const QByteArray before = readProfile();
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.MoveWindow(CRect(400, 300, 566, 319));
        answerAbout(Qt::Key_Escape);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
    });
    QCOMPARE(readProfile(), before);
}

void PlacementTest::keysAreWrittenInOrderWithTheWholeFlagWord()
{
    CClockDialog dlg;
    RunModal(dlg, [&] {
        dlg.m_flags = 3; // unfolded, with a selection change pending
        dlg.ApplyLayout();
        dlg.MoveWindow(CRect(-20, 5, -20 + windowRect(dlg).Width(), 5 + windowRect(dlg).Height()));
        const CRect r = windowRect(dlg);
        answerAbout(Qt::Key_Return);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
        const QByteArray expected = QStringLiteral("[LOCATE]\r\nLEFT=%1\r\nTOP=%2\r\nRIGHT=%3\r\nBOTTOM=%4\r\n"
                                                   "[SETTING]\r\nFLAG=3\r\n")
                                        .arg(r.left).arg(r.top).arg(r.right).arg(r.bottom).toUtf8();
        QCOMPARE(readProfile(), expected);
    });
    CClockDialog again;
    RunModal(again, [&] { QCOMPARE(again.m_flags, 3); });
}

void PlacementTest::handEditedValuesAreTakenUnchanged()
{
    // Odd spellings the profile reader accepts; a height that was never laid out; extra bits.
    writeProfile(
        "[locate]\nleft = 0x20\nTop=\"40\"\nRIGHT=232px\nBOTTOM=+111\n[Setting]\nFlag=-4\n");
    CClockDialog dlg;
    RunModal(dlg, [&] {
        QCOMPARE(windowRect(dlg), CRect(32, 40, 232, 111));
        QCOMPARE(dlg.m_flags, -4);
        // Bit 0 is clear: the first Enter unfolds to the laid-out height, from the same corner.
        dlg.SendMessage(WM_COMMAND, IDOK);
        CRect client;
        dlg.GetClientRect(&client);
        QCOMPARE(client.Height(), calendarHeight(dlg));
        QCOMPARE(windowRect(dlg).top, 40);
        QCOMPARE(dlg.m_flags, -3);
    });
}

void PlacementTest::unreachableRectanglesAreMended_data()
{
    QTest::addColumn<QRect>("stored"); // left, top, right, bottom as x, y, x2 + 1, y2 + 1
    QTest::addColumn<bool>("kept");
    QTest::newRow("partly on screen") << QRect(QPoint(-100, 10), QPoint(65, 28)) << true;
    QTest::newRow("off to the right") << QRect(QPoint(20000, 100), QPoint(20165, 118)) << false;
    QTest::newRow("above the screen") << QRect(QPoint(100, -500), QPoint(265, -482)) << false;
}

void PlacementTest::unreachableRectanglesAreMended()
{
    QFETCH(QRect, stored);
    QFETCH(bool, kept);
    writeProfile(QStringLiteral("[LOCATE]\r\nLEFT=%1\r\nTOP=%2\r\nRIGHT=%3\r\nBOTTOM=%4\r\n")
                                         .arg(stored.left()).arg(stored.top()).arg(stored.right() + 1).arg(stored.bottom() + 1)
                                         .toUtf8());
    const QByteArray before = readProfile();
    CClockDialog dlg;
    RunModal(dlg, [&] {
        const CRect r = windowRect(dlg);
        QCOMPARE(r.Width(), stored.width());
        QCOMPARE(r.Height(), stored.height());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        if (kept)
            QCOMPARE(QPoint(r.left, r.top), stored.topLeft());
        else
            QVERIFY(area.contains(QRect(r.left, r.top, r.Width(), r.Height())));
    });
    QCOMPARE(readProfile(), before); // nothing written back until a save
}

void PlacementTest::aboutBoxShowsTheVersion()
{
    CClockDialog dlg;
    QStringList texts;
    RunModal(dlg, [&] {
        answerAbout(Qt::Key_Escape, &texts);
        dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
    });
    QVERIFY(texts.contains(QStringLiteral("OmbrelClockのﾊﾞｰｼﾞｮﾝ情報")));
    QVERIFY(texts.contains(QStringLiteral("OmbrelClock Version 1.0")));
    QVERIFY(texts.contains(QStringLiteral("© 2026 OmbrelClock 開発者")));
    QVERIFY(texts.contains(QStringLiteral("Save")));
}

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
