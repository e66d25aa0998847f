// The month calendar driven like a user would: notification sequences for clicks, arrows and
// keys, day-state bits, the midnight refresh, accessibility and what actually lands on screen.
#include <QAccessible>
#include <QMetaEnum>
#include <QtTest>

#include <memory>

#include "core/Time.h"
#include "framework/qt/MonthCalWidget.h"

namespace {

CTime::Clock fixedClock(QDate date, int hour = 12, int minute = 0, int second = 0, int ms = 0)
{
    const auto t = std::chrono::system_clock::from_time_t(
                       CTime(date.year(), date.month(), date.day(), hour, minute, second).GetTime())
        + std::chrono::milliseconds(ms);
    return [t] { return t; };
}

QString ymd(const SYSTEMTIME& st)
{
    return QDate(st.wYear, st.wMonth, st.wDay).toString(Qt::ISODate);
}

// The template's 95 x 90 dialog-unit box converted with the font as the dialog measures it:
// the alphabet's average width, and the em as the height.
QSize dialogBox(const QFont& font)
{
    const QFontMetrics fm(font);
    const int cx = (fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    const int cy = QFontInfo(font).pixelSize();
    return {(95 * cx + 2) / 4, (90 * cy + 4) / 8};
}

// Writes every notification as one line: "selchange 2026-12-15", "getdaystate 2026-11", ...;
// a malformed one is written with "bad " in front.
struct Recorder {
    QStringList notes;

    explicit Recorder(MonthCalWidget& cal)
    {
        cal.setControlId(1000);
        cal.setNotifyHandler([this, &cal](NMHDR* h) {
            bool ok = h->hwndFrom == &cal && h->idFrom == 1000;
            QString note;
            if (h->code == MCN_GETDAYSTATE) {
                const auto* ds = reinterpret_cast<NMDAYSTATE*>(h);
                ok = ok && ds->cDayState == 3 && !ds->prgDayState && ds->stStart.wDay == 1;
                note = "getdaystate " + ymd(ds->stStart).left(7);
            } else if (h->code == MCN_SELCHANGE || h->code == MCN_SELECT) {
                const auto* sel = reinterpret_cast<NMSELCHANGE*>(h);
                ok = ok && ymd(sel->stSelStart) == ymd(sel->stSelEnd) && ymd(sel->stSelStart) == ymd(cal.selection());
                note = (h->code == MCN_SELECT ? "select " : "selchange ") + ymd(sel->stSelStart);
            } else {
                note = h->code == NM_RELEASEDCAPTURE ? QStringLiteral("released") : QString("code %1").arg(int(h->code));
            }
            notes << (ok ? note : "bad " + note);
            return LRESULT(0);
        });
    }
};

// Sum of each pixel's distance from the background: grows with the amount and weight of ink.
qint64 ink(const QImage& image, const QRectF& logical)
{
    const qreal dpr = image.devicePixelRatio();
    const QRect r = QRectF(logical.topLeft() * dpr, logical.size() * dpr).toAlignedRect() & image.rect();
    const int base = qGray(image.pixel(0, image.height() - 1));
    qint64 sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            sum += qAbs(qGray(image.pixel(x, y)) - base);
    return sum;
}

class EventLog : public QWidget {
public:
    QList<int> keys;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent*>(e)->key();
        return QWidget::event(e);
    }
};

} // namespace

class MonthCalWidgetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MonthCalWidget> make(QDate today, int pointSize = 9)
    {
        ScopedClock pin(fixedClock(today));
        auto cal = std::make_unique<MonthCalWidget>();
        cal->setFont(QFont(QStringLiteral("IPAPGothic"), pointSize)); // the dialog's font
        cal->resize(dialogBox(cal->font()));
        return cal;
    }

private slots:
    void initTestCase()
    {
        // The second run of this program is the high-DPI one; make sure it really is.
        const qreal scale = qEnvironmentVariable("OMBREL_TEST_SCALE", QStringLiteral("1")).toDouble();
        auto cal = make(QDate(2026, 12, 9));
        cal->show();
        QCOMPARE(cal->devicePixelRatioF(), scale);
    }

    void userActions_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("expected");
        // Dec 2026 starts on Tuesday: row 0 is 29 30 1 2 3 4 5, row 5 is 3..9 January.
        const QDate dec9(2026, 12, 9);
        QTest::newRow("click unselected") << dec9 << QStringList{"click 2,2"}
            << QStringList{"selchange 2026-12-15", "select 2026-12-15", "released"};
        QTest::newRow("click selected") << dec9 << QStringList{"click 1,3"} << QStringList{"select 2026-12-09", "released"};
        QTest::newRow("click leading grey") << dec9 << QStringList{"click 0,0"}
            << QStringList{"getdaystate 2026-10", "selchange 2026-11-29", "select 2026-11-29", "released"};
        QTest::newRow("click trailing grey") << dec9 << QStringList{"click 5,6"}
            << QStringList{"getdaystate 2026-12", "selchange 2027-01-09", "select 2027-01-09", "released"};
        QTest::newRow("press on one day, release on another") << dec9 << QStringList{"press 2,2", "release 3,3"}
            << QStringList{"selchange 2026-12-23", "select 2026-12-23", "released"};
        QTest::newRow("title, weekday row and right button do nothing") << dec9
            << QStringList{"click title", "click weekday", "rclick 2,2"} << QStringList{};
        QTest::newRow("previous arrow into last year") << QDate(2027, 1, 15) << QStringList{"click prev"}
            << QStringList{"getdaystate 2026-11", "selchange 2026-12-15", "released"};
        QTest::newRow("held next arrow repeats, into next year and clamping the 31st")
            << QDate(2026, 12, 31) << QStringList{"press next", "tick", "tick", "release next"}
            << QStringList{"getdaystate 2026-12", "selchange 2027-01-31", "getdaystate 2027-01",
                           "selchange 2027-02-28", "getdaystate 2027-02", "selchange 2027-03-28", "released"};
        QTest::newRow("held arrow pauses off the arrow") << dec9
            << QStringList{"press prev", "move 3,3", "tick", "release 3,3"}
            << QStringList{"getdaystate 2026-10", "selchange 2026-11-09", "released"};
        QTest::newRow("Left over the year start") << QDate(2027, 1, 1) << QStringList{"key Left"}
            << QStringList{"getdaystate 2026-11", "selchange 2026-12-31"};
        QTest::newRow("Right over the year end") << QDate(2026, 12, 31) << QStringList{"key Right"}
            << QStringList{"getdaystate 2026-12", "selchange 2027-01-01"};
        QTest::newRow("Up into the previous month") << QDate(2026, 12, 3) << QStringList{"key Up"}
            << QStringList{"getdaystate 2026-10", "selchange 2026-11-26"};
        QTest::newRow("Down") << dec9 << QStringList{"key Down"} << QStringList{"selchange 2026-12-16"};
        QTest::newRow("Home") << dec9 << QStringList{"key Home"} << QStringList{"selchange 2026-12-01"};
        QTest::newRow("End") << dec9 << QStringList{"key End"} << QStringList{"selchange 2026-12-31"};
        QTest::newRow("PageUp") << dec9 << QStringList{"key PageUp"}
            << QStringList{"getdaystate 2026-10", "selchange 2026-11-09"};
        QTest::newRow("PageDown clamps") << QDate(2026, 1, 31) << QStringList{"key PageDown"}
            << QStringList{"getdaystate 2026-01", "selchange 2026-02-28"};
    }

    void userActions()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, expected);
        auto cal = make(today);
        cal->show();
        auto* repeat = cal->findChild<QTimer*>(QStringLiteral("arrowRepeat"));
        Recorder rec(*cal);
        rec.notes.clear();
        // "next", "prev", "title", "weekday" (over column 3) or a cell "row,column".
        const auto at = [&](const QString& where) {
            const QRect weekday = cal->cellRect(0, 3).translated(0, -cal->cellRect(0, 3).height());
            const QStringList cell = where.split(',');
            return where == "next"      ? cal->nextArrowRect().center()
                : where == "prev"       ? cal->previousArrowRect().center()
                : where == "title"      ? QPoint(cal->width() / 2, cal->previousArrowRect().center().y())
                : where == "weekday"    ? weekday.center()
                                        : cal->cellRect(cell[0].toInt(), cell.value(1).toInt()).center();
        };
        for (const QString& action : actions) {
            const QString verb = action.section(' ', 0, 0), what = action.section(' ', 1);
            if (verb == "key") {
                QTest::keyClick(cal.get(), Qt::Key(QMetaEnum::fromType<Qt::Key>().keyToValue(qPrintable("Key_" + what))));
            } else if (verb == "tick") {
                QVERIFY(repeat->isActive());
                QMetaObject::invokeMethod(repeat, "timeout");
            } else if (verb == "click" || verb == "rclick") {
                QTest::mouseClick(cal.get(), verb == "click" ? Qt::LeftButton : Qt::RightButton, {}, at(what));
            } else if (verb == "press") {
                QTest::mousePress(cal.get(), Qt::LeftButton, {}, at(what));
            } else if (verb == "release") {
                QTest::mouseRelease(cal.get(), Qt::LeftButton, {}, at(what));
            } else {
                QTest::mouseMove(cal.get(), at(what));
            }
        }
        QCOMPARE(rec.notes, expected);
        QVERIFY(!repeat->isActive());
        QCOMPARE(repeat->interval(), 350);
    }

    void dialogKeysReachTheWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("reachesWindow");
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("Enter") << int(Qt::Key_Enter) << true << QStringList{};
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true << QStringList{};
        QTest::newRow("Tab") << int(Qt::Key_Tab) << true << QStringList{};
        QTest::newRow("Down stays, and works outside the visible area") << int(Qt::Key_Down) << false
                                                                        << QStringList{"selchange 2026-12-16"};
    }

    void dialogKeysReachTheWindow()
    {
        QFETCH(int, key);
        QFETCH(bool, reachesWindow);
        QFETCH(QStringList, notes);
        ScopedClock pin(fixedClock(QDate(2026, 12, 9)));
        EventLog window;
        window.resize(60, 60);
        auto* cal = new MonthCalWidget(&window);
        cal->setGeometry(QRect(QPoint(400, 400), dialogBox(cal->font())));
        new QWidget(&window); // somewhere for Tab to go
        window.show();
        Recorder rec(*cal);
        rec.notes.clear();
        QTest::keyClick(cal, Qt::Key(key));
        QCOMPARE(window.keys.contains(key), reachesWindow);
        QCOMPARE(rec.notes, notes);
    }

    void dayStateBits_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("fromHandler"); // else through setDayState()
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<uint>>("masks");
        QTest::addColumn<QList<QPoint>>("boldCells"); // (column, row)
        const auto bit = [](int day) { return 1u << (day - 1); };
        // Dec 2026: 29, 30 Nov lead; 27-31 Dec and 1-2 Jan in row 4.
        const QList<uint> dec{bit(30), bit(29) | bit(30) | bit(31), bit(2)};
        const QList<QPoint> decCells{{1, 0}, {2, 4}, {3, 4}, {4, 4}, {6, 4}};
        QTest::newRow("handler, Dec") << QDate(2026, 12, 9) << true << 3 << dec << decCells;
        QTest::newRow("setDayState, Dec") << QDate(2026, 12, 9) << false << 3 << dec << decCells;
        QTest::newRow("setDayState, leading month only") << QDate(2026, 12, 9) << false << 1 << dec << QList<QPoint>{{1, 0}};
        // Feb 2026 starts on Sunday: a full leading week, no day 29-31 to mark.
        QTest::newRow("handler, Feb")
            << QDate(2026, 2, 10) << true << 3
            << QList<uint>{bit(25), bit(1) | bit(28) | bit(29) | bit(30) | bit(31), bit(7)}
            << QList<QPoint>{{0, 0}, {0, 1}, {6, 4}, {6, 5}};
    }

    void dayStateBits()
    {
        QFETCH(QDate, today);
        QFETCH(bool, fromHandler);
        QFETCH(int, count);
        QFETCH(QList<uint>, masks);
        QFETCH(QList<QPoint>, boldCells);
        auto cal = make(today);
        std::array<MONTHDAYSTATE, 3> reply{};
        std::copy(masks.begin(), masks.end(), reply.begin());
        if (fromHandler) {
            cal->setNotifyHandler([&reply](NMHDR* h) {
                if (h->code == MCN_GETDAYSTATE)
                    reinterpret_cast<NMDAYSTATE*>(h)->prgDayState = reply.data();
                return LRESULT(0);
            });
        } else {
            QVERIFY(cal->setDayState(count, reply.data()));
        }
        const QImage shot = cal->grab().toImage();
        const auto isBoldCell = [&](int i) { return boldCells.contains(QPoint(i % 7, i / 7)); };
        for (int i = 0; i < 42; ++i)
            QVERIFY2(cal->isBold(i / 7, i % 7) == isBoldCell(i), qPrintable(QString("cell %1").arg(i)));
        // What is drawn follows the seam: only the bold cells lose ink when the masks are cleared.
        const std::array<MONTHDAYSTATE, 3> none{};
        QVERIFY(cal->setDayState(3, none.data()));
        const QImage plain = cal->grab().toImage();
        for (int i = 0; i < 42; ++i) {
            const QRect cell = cal->cellRect(i / 7, i % 7);
            QVERIFY2(isBoldCell(i) ? ink(shot, cell) > ink(plain, cell) * 11 / 10 : ink(shot, cell) == ink(plain, cell),
                     qPrintable(QString("cell %1: %2 vs %3").arg(i).arg(ink(shot, cell)).arg(ink(plain, cell))));
        }
        // A month change asks again and starts from clear masks when the handler leaves none.
        cal->setNotifyHandler([](NMHDR*) { return LRESULT(0); });
        QVERIFY(cal->setDayState(3, reply.data()));
        QTest::keyClick(cal.get(), Qt::Key_PageDown);
        for (const QPoint& c : boldCells)
            QVERIFY(!cal->isBold(c.y(), c.x()));
    }

    void fitsTheDialogBox_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("9 pt (the dialog)") << 9;
        QTest::newRow("16 pt") << 16;
    }

    void fitsTheDialogBox()
    {
        QFETCH(int, pointSize);
        auto cal = make(QDate(2026, 12, 31), pointSize); // today circled in the last full row
        cal->show();
        QVERIFY(cal->sizeHint().width() <= cal->width() + 4 && cal->sizeHint().height() <= cal->height() + 4);
        QFont bold = cal->font();
        bold.setBold(true);
        const QFontMetrics fm(bold);
        const QRect box = cal->rect();
        const QRect prev = cal->previousArrowRect();
        const QRect next = cal->nextArrowRect();
        QVERIFY(box.contains(prev) && box.contains(next));
        QVERIFY(fm.horizontalAdvance(QStringLiteral("2026年12月")) <= next.left() - prev.right());
        QVERIFY(prev.top() >= 0 && prev.height() >= fm.height()); // the title line is not cut
        const QRect weekdayRow(cal->cellRect(0, 0).topLeft() - QPoint(0, cal->cellRect(0, 0).height()),
                               cal->cellRect(0, 6).topRight());
        QVERIFY(weekdayRow.top() > prev.bottom());
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < 7; ++column) {
                const QRect cell = cal->cellRect(row, column);
                QVERIFY(box.contains(cell));
                QVERIFY(!cell.intersects(prev) && !cell.intersects(next));
                QVERIFY(cell.contains(fm.boundingRect(cell, Qt::AlignCenter, QStringLiteral("28"))));
                QVERIFY(cell.contains(fm.boundingRect(cell, Qt::AlignCenter, QStringLiteral("水"))));
                if (column > 0)
                    QCOMPARE(cell.left(), cal->cellRect(row, column - 1).right() + 1);
            }
        }
        // On screen: every row of the grid carries digits, and nothing is cut at the edges.
        const QImage shot = cal->grab().toImage();
        for (int row = 0; row < 6; ++row)
            QVERIFY(ink(shot, cal->cellRect(row, 0)) > 0);
        const QSizeF size = QSizeF(shot.size()) / shot.devicePixelRatio();
        const qreal px = 1 / shot.devicePixelRatio();
        QCOMPARE(ink(shot, QRectF(0, size.height() - px, size.width(), px)), 0);
        QCOMPARE(ink(shot, QRectF(size.width() - px, 0, px, size.height())), 0);
        QCOMPARE(ink(shot, QRectF(0, 0, px, size.height())), 0);
    }

    void followsThePalette()
    {
        auto cal = make(QDate(2026, 12, 9));
        QPalette dark = cal->palette();
        dark.setColor(QPalette::Base, Qt::black);
        dark.setColor(QPalette::Text, Qt::white);
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
        dark.setColor(QPalette::Highlight, QColor(0, 0, 160));
        dark.setColor(QPalette::HighlightedText, Qt::yellow);
        cal->setPalette(dark);
        QTest::keyClick(cal.get(), Qt::Key_Right); // selected, but not today's circle
        const QImage shot = cal->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        const auto brightest = [&](const QRect& r) {
            int best = 0;
            const QRect d(r.topLeft() * dpr, r.size() * dpr);
            for (int y = d.top(); y <= d.bottom(); ++y)
                for (int x = d.left(); x <= d.right(); ++x)
                    best = qMax(best, qGray(shot.pixel(x, y)));
            return best;
        };
        QCOMPARE(shot.pixel(0, shot.height() - 1), QColor(Qt::black).rgb());
        QVERIFY(brightest(cal->cellRect(2, 2)) > 200); // white digits
        QVERIFY(brightest(cal->cellRect(0, 0)) < 150 && brightest(cal->cellRect(0, 0)) > 50); // grey ones
        const QRect selected = cal->cellRect(1, 4);
        QCOMPARE(shot.pixel((selected.topLeft() + QPoint(2, selected.height() / 2)) * dpr), QColor(0, 0, 160).rgb());
    }

    void midnightMovesToday()
    {
        const QDate day(2026, 12, 9);
        std::unique_ptr<MonthCalWidget> cal;
        {
            ScopedClock pin(fixedClock(day, 23, 59, 59, 500));
            cal = std::make_unique<MonthCalWidget>();
        }
        auto* timer = cal->findChild<QTimer*>(QStringLiteral("midnight"));
        QVERIFY(timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 500);
        Recorder rec(*cal);
        rec.notes.clear();
        ScopedClock pin(fixedClock(day.addDays(1), 0, 0, 0, 1));
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(ymd(cal->today()), day.addDays(1).toString(Qt::ISODate));
        QCOMPARE(ymd(cal->selection()), day.toString(Qt::ISODate)); // the selection stays
        QVERIFY(rec.notes.isEmpty());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 24 * 3600 * 1000 - 1);
    }

    void accessibleValueFollowsSelection()
    {
        // The offscreen platform has no accessibility bridge, so the change events cannot be
        // observed here; the value they announce can.
        auto cal = make(QDate(2026, 12, 6));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(cal.get());
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("カレンダー"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2026年12月6日 日曜日"));
        QTest::keyClick(cal.get(), Qt::Key_PageDown);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2027年1月6日 水曜日"));
        QTest::mouseClick(cal.get(), Qt::LeftButton, {}, cal->cellRect(2, 2).center());
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2027年1月12日 火曜日"));
    }
};

QTEST_MAIN(MonthCalWidgetTest)
#include "MonthCalWidgetTest.moc"
