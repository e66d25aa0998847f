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

QRect windowRect(const CClockDialog& dlg)
{
    CRect r;
    dlg.GetWindowRect(&r);
    return QRect(r.left, r.top, r.Width(), r.Height());
}

int clientHeight(const CClockDialog& dlg)
{
    CRect r;
    dlg.GetClientRect(&r);
    return r.Height();
}

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
    // with Escape.
    void savedPlacementComesBack_data()
    {
        QTest::addColumn<int>("aboutKey");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("clientAfterEnter"); // on the next start
        QTest::newRow("Escape saves nothing") << int(Qt::Key_Escape) << 1 << QPoint(200, 150) << 135;
        QTest::newRow("saved unfolded") << int(Qt::Key_Return) << 1 << QPoint(200, 150) << 0;
        QTest::newRow("saved folded") << int(Qt::Key_Return) << 0 << QPoint(60, 70) << 135;
        QTest::newRow("the whole flag word, partly off screen") << int(Qt::Key_Return) << 3 << QPoint(-20, 5) << 0;
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
                first = windowRect(dlg);
                QCOMPARE(dlg.m_flags, 0);
                dlg.m_flags = flags;
                dlg.ApplyLayout();
                dlg.MoveWindow(CRect(at.x(), at.y(), at.x() + first.width(), at.y() + windowRect(dlg).height()));
                saved = windowRect(dlg);
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
            QCOMPARE(windowRect(again), expected);
            QCOMPARE(again.m_flags, saves ? flags : 0);
            // One Enter folds or unfolds from there, in place.
            again.SendMessage(WM_COMMAND, IDOK);
            QCOMPARE(clientHeight(again), clientAfterEnter);
            QCOMPARE(windowRect(again).topLeft(), expected.topLeft());
        });
    }

    void handEditedValuesAreTakenUnchanged()
    {
        // Odd spellings the profile reader accepts; a height that was never laid out; extra bits.
        writeProfile("[locate]\nleft = 0x20\nTop=\"40\"\nRIGHT=232px\nBOTTOM=+111\n[Setting]\nFlag=-4\n");
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QCOMPARE(windowRect(dlg), QRect(32, 40, 200, 71));
            QCOMPARE(dlg.m_flags, -4);
            // Bit 0 is clear: the first Enter unfolds to the laid-out height, from the same corner.
            dlg.SendMessage(WM_COMMAND, IDOK);
            QCOMPARE(clientHeight(dlg), 135);
            QCOMPARE(windowRect(dlg).topLeft(), QPoint(32, 40));
            QCOMPARE(dlg.m_flags, -3);
        });
    }

    // Nobody could reach the window there: it comes up inside the work area, the same size, and
    // the profile keeps what it had until a save.
    void unreachableRectanglesAreMended_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::newRow("off to the right") << QRect(20000, 100, 166, 19);
        QTest::newRow("above the screen") << QRect(100, -500, 166, 19);
    }

    void unreachableRectanglesAreMended()
    {
        QFETCH(QRect, stored);
        writeProfile(locateSection(stored));
        CClockDialog dlg;
        RunModal(dlg, [&] {
            QCOMPARE(windowRect(dlg).size(), stored.size());
            QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(windowRect(dlg)));
        });
        QCOMPARE(readProfile(), locateSection(stored));
    }
};

QTEST_MAIN(PlacementTest)
#include "PlacementTest.moc"
