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

    // The key that leaves About, the flags and place to save, and the client height the first
    // Enter gives on the next start.
    struct Saving { Qt::Key aboutKey; int flags; QPoint at; int clientAfterEnter; };
    // The profile as stored, and the window and flags it gives.
    struct Stored { QByteArray profile; QRect expected; int flags; };

private slots:
    // A first start comes up folded at the work area's corner. Save in the About box stores the
    // window as it is then, and the next start comes back exactly there; what happens after the
    // save (Enter, a move, quitting) is not stored, and neither is anything when About is left
    // with Escape. From there Enter folds to the caption or unfolds to exactly the calendar's
    // height by bit 0 of the flag word, keeping the corner and the width.
    void savedPlacementComesBack_data()
    {
        QTest::addColumn<Saving>("row");
        QTest::newRow("Escape saves nothing") << Saving{Qt::Key_Escape, 1, QPoint(200, 150), 135};
        QTest::newRow("saved folded") << Saving{Qt::Key_Return, 0, QPoint(60, 70), 135};
        QTest::newRow("saved unfolded, the whole flag word, partly off screen") << Saving{Qt::Key_Return, 3, QPoint(-20, 5), 0};
    }

    void savedPlacementComesBack()
    {
        QFETCH(Saving, row);
        const bool saves = row.aboutKey == Qt::Key_Return;
        QRect first, saved;
        QStringList aboutTexts;
        {
            CClockDialog dlg;
            RunModal(dlg, [&] {
                first = WindowRect(dlg);
                dlg.m_flags = row.flags;
                dlg.ApplyLayout();
                dlg.MoveWindow(CRect(row.at.x(), row.at.y(), row.at.x() + first.width(), row.at.y() + WindowRect(dlg).height()));
                saved = WindowRect(dlg);
                ActOnNextDialog(IDD_ABOUT, [&](DialogWindow* about) {
                    aboutTexts << about->windowTitle();
                    for (QLabel* label : about->findChildren<QLabel*>())
                        aboutTexts << label->text();
                    for (QPushButton* button : about->findChildren<QPushButton*>())
                        aboutTexts << button->text();
                    QTest::keyClick(about, row.aboutKey);
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
            QCOMPARE(readProfile(), locateSection(saved) + QStringLiteral("[SETTING]\r\nFLAG=%1\r\n").arg(row.flags).toUtf8());

        CClockDialog again;
        RunModal(again, [&] {
            const QRect expected = saves ? saved : first;
            QCOMPARE(WindowRect(again), expected);
            QCOMPARE(again.m_flags, saves ? row.flags : 0);
            const int caption = WindowOf(again)->caption()->height();
            for (const int client : {row.clientAfterEnter, 135 - row.clientAfterEnter}) { // 90 dialog units of a 12-pixel em
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
        QTest::addColumn<Stored>("row");
        // Odd spellings the profile reader accepts; a height that was never laid out; extra bits.
        QTest::newRow("hand edited") << Stored{"[locate]\nleft = 0x20\nTop=\"40\"\nRIGHT=232px\nBOTTOM=+111\n[Setting]\nFlag=-4\n",
                                              QRect(32, 40, 200, 71), -4};
        const int top = QGuiApplication::primaryScreen()->availableGeometry().top();
        QTest::newRow("above the screen") << Stored{locateSection(QRect(100, -500, 166, 40)), QRect(100, top, 166, 40), 0};
    }

    void storedPlacementIsTaken()
    {
        QFETCH(Stored, row);
        writeProfile(row.profile);
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QCOMPARE(WindowRect(dlg), row.expected);
            QCOMPARE(dlg.m_flags, row.flags);
            // Bit 0 is clear: the first Enter unfolds to the laid-out height, from the same corner.
            dlg.SendMessage(WM_COMMAND, IDOK);
            const int caption = WindowOf(dlg)->caption()->height();
            QCOMPARE(WindowRect(dlg), QRect(row.expected.topLeft(), QSize(row.expected.width(), caption + 135)));
            QCOMPARE(dlg.m_flags, row.flags | 1);
        });
        QCOMPARE(readProfile(), row.profile);
    }
};

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
