// Where the clock window comes up, how Enter folds and unfolds it there, and how "Save" in the
// About box stores it, through the real windows offscreen and the real profile file.
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "GuiTestSupport.h"
#include "framework/qt/CaptionBar.h"
#include "clock/ClockDialog.h"
#include "res/Resource.h"

namespace {

// The profile's rectangle section as the program writes it.
QByteArray locateSection(const QRect& r)
{
    return QStringLiteral("[LOCATE]\r\nLEFT=%1\r\nTOP=%2\r\nRIGHT=%3\r\nBOTTOM=%4\r\n")
        .arg(r.left()).arg(r.top()).arg(r.left() + r.width()).arg(r.top() + r.height()).toUtf8();
}

} // namespace

class PlacementTest : public GuiTest {
    Q_OBJECT

private slots:
    // A first start comes up folded at the work area's corner. Save in the About box stores the
    // window as it is then, and the next start comes back exactly there; what happens after the
    // save (Enter, a move, quitting) is not stored, and neither is anything when About is left
    // with Escape. From there Enter folds to the caption or unfolds to exactly the calendar's
    // height by bit 0 of the flag word, keeping the corner and the width.
    void savedPlacementComesBack_data()
    {
        QTest::addColumn<int>("aboutKey");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("clientAfterEnter"); // on the next start
        QTest::newRow("Escape saves nothing") << int(Qt::Key_Escape) << 1 << QPoint(200, 150) << 135;
        QTest::newRow("saved folded") << int(Qt::Key_Return) << 0 << QPoint(60, 70) << 135;
        QTest::newRow("saved unfolded, the whole flag word, partly off screen") << int(Qt::Key_Return) << 3 << QPoint(-20, 5) << 0;
    }

    void savedPlacementComesBack()
    {
        QFETCH(int, aboutKey);
        QFETCH(int, flags);
        QFETCH(QPoint, at);
        QFETCH(int, clientAfterEnter);
        const bool saves = aboutKey == Qt::Key_Return;
        QRect first, saved;
        QStringList aboutTexts;
        {
            CClockDialog dlg;
            RunModal(dlg, [&] {
                first = WindowRect(dlg);
                QCOMPARE(dlg.m_flags, 0);
                dlg.m_flags = flags;
                dlg.ApplyLayout();
                dlg.MoveWindow(CRect(at.x(), at.y(), at.x() + first.width(), at.y() + WindowRect(dlg).height()));
                saved = WindowRect(dlg);
                ActOnNextDialog(IDD_ABOUT, [&](DialogWindow* about) {
                    aboutTexts << about->windowTitle();
                    for (QLabel* label : about->findChildren<QLabel*>())
                        aboutTexts << label->text();
                    for (QPushButton* button : about->findChildren<QPushButton*>())
                        aboutTexts << button->text();
                    QTest::keyClick(about, Qt::Key(aboutKey));
                });
                dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUT);
                dlg.SendMessage(WM_COMMAND, IDOK);
                dlg.MoveWindow(CRect(300, 300, 466, 500));
                AnswerNextMessageBox(QMessageBox::Yes);
                dlg.SendMessage(WM_COMMAND, IDCANCEL);
            });
        }
        QCOMPARE(first.topLeft(), QGuiApplication::primaryScreen()->availableGeometry().topLeft());
        for (const char* text : {"OmbrelClockのﾊﾞｰｼﾞｮﾝ情報", "OmbrelClock Version 1.0", "© 2026 OmbrelClock 開発者", "Save"})
            QVERIFY2(aboutTexts.contains(QString::fromUtf8(text)), text);
        // The keys in this order, and the flag word whole.
        QCOMPARE(QFile::exists(profilePath()), saves);
        if (saves)
            QCOMPARE(readProfile(), locateSection(saved) + QStringLiteral("[SETTING]\r\nFLAG=%1\r\n").arg(flags).toUtf8());

        CClockDialog again;
        RunModal(again, [&] {
            const QRect expected = saves ? saved : first;
            QCOMPARE(WindowRect(again), expected);
            QCOMPARE(again.m_flags, saves ? flags : 0);
            const int caption = WindowOf(again)->caption()->height();
            for (const int client : {clientAfterEnter, 135 - clientAfterEnter}) { // 90 dialog units of a 12-pixel em
                again.SendMessage(WM_COMMAND, IDOK);
                QCOMPARE(WindowRect(again), QRect(expected.topLeft(), QSize(expected.width(), caption + client)));
            }
        });
    }

    // A stored placement is taken as it is, unless nobody could reach the window there: then it
    // comes up inside the work area at the same size (the rules for each edge: PlacementRulesTest).
    // Nothing is written back until a save.
    void storedPlacementIsTaken_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<int>("flags");
        // Odd spellings the profile reader accepts; a height that was never laid out; extra bits.
        QTest::newRow("hand edited") << QByteArray("[locate]\nleft = 0x20\nTop=\"40\"\nRIGHT=232px\nBOTTOM=+111\n[Setting]\nFlag=-4\n")
                                     << QRect(32, 40, 200, 71) << -4;
        const int top = QGuiApplication::primaryScreen()->availableGeometry().top();
        QTest::newRow("above the screen") << locateSection(QRect(100, -500, 166, 40)) << QRect(100, top, 166, 40) << 0;
    }

    void storedPlacementIsTaken()
    {
        QFETCH(QByteArray, profile);
        QFETCH(QRect, expected);
        QFETCH(int, flags);
        writeProfile(profile);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QCOMPARE(WindowRect(dlg), expected);
            QCOMPARE(dlg.m_flags, flags);
            // Bit 0 is clear: the first Enter unfolds to the laid-out height, from the same corner.
            dlg.SendMessage(WM_COMMAND, IDOK);
            QCOMPARE(ClientHeight(dlg), 135);
            QCOMPARE(WindowRect(dlg).topLeft(), expected.topLeft());
            QCOMPARE(dlg.m_flags, flags | 1);
        });
        QCOMPARE(readProfile(), profile);
    }
};

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
