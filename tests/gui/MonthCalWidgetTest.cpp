// The month calendar driven like a user would: notification sequences for clicks, arrows and
// keys, day-state bits, accessibility and what actually lands on screen.
#include <QAccessible>
#include <QMetaEnum>
#include <QtTest>

#include <cmath>
#include <utility>

#include "GuiTestSupport.h"
#include "framework/qt/DialogFont.h"
#include "framework/qt/MonthCalWidget.h"

namespace {

QString ymd(const SYSTEMTIME& st)
{
    return QDate(st.wYear, st.wMonth, st.wDay).toString(Qt::ISODate);
}

// What is drawn under a rectangle given in widget coordinates: the sum of each pixel's distance
// from the background, which grows with the amount and weight of ink, and the brightest grey.
struct Ink {
    qint64 amount = 0;
    int brightest = 0;
};

Ink inkIn(const QImage& image, const QRectF& logical)
{
    const qreal dpr = image.devicePixelRatio();
    const QRect r = QRectF(logical.topLeft() * dpr, logical.size() * dpr).toAlignedRect() & image.rect();
    const int base = qGray(image.pixel(0, image.height() - 1));
    Ink ink;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            ink.amount += qAbs(qGray(image.pixel(x, y)) - base);
            ink.brightest = qMax(ink.brightest, qGray(image.pixel(x, y)));
        }
    }
    return ink;
}

// The pixel of a cell that stands out most from the background: the core of the number's strokes.
QColor strongestIn(const QImage& image, const QRectF& logical, const QColor& base)
{
    const qreal dpr = image.devicePixelRatio();
    const QRect r = QRectF(logical.topLeft() * dpr, logical.size() * dpr).toAlignedRect() & image.rect();
    QColor strongest = base;
    int most = -1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int d = qAbs(c.red() - base.red()) + qAbs(c.green() - base.green()) + qAbs(c.blue() - base.blue());
            if (d > most) {
                most = d;
                strongest = c;
            }
        }
    }
    return strongest;
}

} // namespace

class MonthCalWidgetTest : public GuiTest {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    MonthCalWidget* m_cal = nullptr;
    // Every notification as one line: "selchange 2026-12-15", "getdaystate 2026-11", ...; a
    // malformed one with "bad " in front; and every key passed on to the window: "window Enter".
    QStringList m_notes;
    QList<MONTHDAYSTATE> m_answer; // the handler's masks for each day-state request, if any

    // What the user does on the calendar at noon of `today` ("; " between actions), and the
    // notes it leaves.
    struct Actions { QDate today; QString actions, expected; };
    // The day-state masks of the three shown months, given by the handler or, for this many
    // months, through setDayState(); and the (column, row) cells they make bold.
    struct DayStates { QDate today; int setDayStateCount; QList<MONTHDAYSTATE> masks; QList<QPoint> boldCells; };

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress)
            m_notes << "window " + QString(QMetaEnum::fromType<Qt::Key>().valueToKey(static_cast<QKeyEvent*>(e)->key())).mid(4);
        return false;
    }

    // The clock window's calendar at noon of `today`: the dialog's font and 95 x 90 unit box, lying
    // outside its shown window as in the folded clock, reporting to m_notes from here on.
    MonthCalWidget* make(QDate today, int pointSize = 9, const QList<MONTHDAYSTATE>& answer = {})
    {
        setNow(today.year(), today.month(), today.day(), 12, 0);
        m_answer = answer;
        m_window = std::make_unique<QWidget>();
        m_window->installEventFilter(this);
        m_window->resize(60, 60);
        m_cal = new MonthCalWidget(m_window.get());
        m_cal->setFont(QFont(QStringLiteral("IPAPGothic"), pointSize));
        const DialogBaseUnits units = MeasureBaseUnits(m_cal->font());
        m_cal->setGeometry(400, 400, DluToPixelsX(units, 95), DluToPixelsY(units, 90));
        m_cal->setControlId(1000);
        m_cal->setNotifyHandler([this](NMHDR* h) {
            auto* ds = reinterpret_cast<NMDAYSTATE*>(h);
            const auto* sel = reinterpret_cast<NMSELCHANGE*>(h);
            const QString note = h->code == MCN_GETDAYSTATE ? "getdaystate " + ymd(ds->stStart).left(7)
                : h->code == MCN_SELCHANGE ? "selchange " + ymd(sel->stSelStart)
                : h->code == MCN_SELECT ? "select " + ymd(sel->stSelStart)
                : h->code == NM_RELEASEDCAPTURE ? QStringLiteral("released") : QString("code %1").arg(int(h->code));
            const bool ok = h->hwndFrom == m_cal && h->idFrom == 1000
                && (h->code != MCN_GETDAYSTATE || (ds->cDayState == 3 && !ds->prgDayState && ds->stStart.wDay == 1))
                && (!note.startsWith("sel") || (ymd(sel->stSelEnd) == ymd(sel->stSelStart) && ymd(sel->stSelStart) == ymd(m_cal->selection())));
            m_notes << (ok ? note : "bad " + note);
            if (h->code == MCN_GETDAYSTATE && !m_answer.isEmpty())
                ds->prgDayState = m_answer.data();
            return LRESULT(0);
        });
        m_window->show();
        m_notes.clear();
        return m_cal;
    }

private slots:
    void userActions_data()
    {
        QTest::addColumn<Actions>("row");
        // Dec 2026 starts on Tuesday: row 0 is 29 30 1 2 3 4 5, row 5 is 3..9 January.
        const QDate dec9(2026, 12, 9);
        QTest::newRow("click selected") << Actions{dec9, "click 1,3", "select 2026-12-09; released"};
        QTest::newRow("click trailing grey")
            << Actions{dec9, "click 5,6", "getdaystate 2026-12; selchange 2027-01-09; select 2027-01-09; released"};
        QTest::newRow("press on one day, release on another")
            << Actions{dec9, "press 2,2; release 3,3", "selchange 2026-12-23; select 2026-12-23; released"};
        QTest::newRow("right button, title and weekday row do nothing") << Actions{dec9, "rclick 2,2; click title; click weekday", ""};
        QTest::newRow("held previous arrow into last year, paused off the arrow") << Actions{QDate(2027, 1, 15),
            "press prev; move 3,3; tick; release 3,3", "getdaystate 2026-11; selchange 2026-12-15; released"};
        QTest::newRow("held next arrow repeats, into next year and clamping the 31st") << Actions{QDate(2026, 12, 31),
            "press next; tick; tick; release next",
            "getdaystate 2026-12; selchange 2027-01-31; getdaystate 2027-01; selchange 2027-02-28; "
            "getdaystate 2027-02; selchange 2027-03-28; released"};
        QTest::newRow("Left, Right and Up over the year's turn") << Actions{QDate(2027, 1, 1), "key Left; key Right; key Up",
            "getdaystate 2026-11; selchange 2026-12-31; getdaystate 2026-12; selchange 2027-01-01; "
            "getdaystate 2026-11; selchange 2026-12-25"};
        QTest::newRow("Down, Home, End, PageUp") << Actions{dec9, "key Down; key Home; key End; key PageUp",
            "selchange 2026-12-16; selchange 2026-12-01; selchange 2026-12-31; getdaystate 2026-10; selchange 2026-11-30"};
        // The program's own choice tells no one; the calendar then goes on from the date it set.
        QTest::newRow("a selection set by the program turns the month silently")
            << Actions{dec9, "set 2027-03-15; key Right", "selchange 2027-03-16"};
        QTest::newRow("Enter, Escape and Tab go on to the window")
            << Actions{dec9, "key Enter; key Escape; key Tab", "window Enter; window Escape; window Tab"};
    }

    void userActions()
    {
        QFETCH(Actions, row);
        MonthCalWidget* cal = make(row.today);
        auto* repeat = cal->findChild<QTimer*>(QStringLiteral("arrowRepeat"));
        const QHash<QString, QPoint> places{{"next", cal->nextArrowRect().center()}, {"prev", cal->previousArrowRect().center()},
            {"title", QPoint(cal->width() / 2, cal->previousArrowRect().center().y())},
            {"weekday", cal->cellRect(0, 3).center() - QPoint(0, cal->cellRect(0, 3).height())}}; // over Wednesday
        const QHash<QString, QTest::MouseAction> mouse{
            {"click", QTest::MouseClick}, {"rclick", QTest::MouseClick}, {"press", QTest::MousePress},
            {"release", QTest::MouseRelease}, {"move", QTest::MouseMove}};
        for (const QString& action : row.actions.split("; ")) {
            // "<verb> <where>": an arrow, "title", "weekday" or a cell "row,column"; or "key <name>".
            const QString verb = action.section(' ', 0, 0), what = action.section(' ', 1);
            if (verb == "set") {
                const QDate date = QDate::fromString(what, Qt::ISODate);
                cal->setSelection({date.year(), date.month(), date.day()});
                QCOMPARE(ymd(cal->selection()), what);
            } else if (verb == "key") {
                QTest::keyClick(cal, Qt::Key(QMetaEnum::fromType<Qt::Key>().keyToValue(qPrintable("Key_" + what))));
            } else if (verb == "tick") {
                QVERIFY(repeat->isActive());
                QMetaObject::invokeMethod(repeat, "timeout");
            } else {
                const QPoint at = places.value(what, cal->cellRect(what.section(',', 0, 0).toInt(), what.section(',', 1).toInt()).center());
                QTest::mouseEvent(mouse.value(verb), cal, verb == "rclick" ? Qt::RightButton : Qt::LeftButton, {}, at);
            }
        }
        QCOMPARE(m_notes.join("; "), row.expected);
        QVERIFY(!repeat->isActive());
    }

    void dayStateBits_data()
    {
        QTest::addColumn<DayStates>("row");
        const auto bit = [](int day) { return 1u << (day - 1); };
        // Dec 2026: 29, 30 Nov lead; 27-31 Dec and 1-2 Jan in row 4.
        const QList<MONTHDAYSTATE> dec{bit(30), bit(29) | bit(30) | bit(31), bit(2)};
        QTest::newRow("handler, Dec") << DayStates{QDate(2026, 12, 9), 0, dec, {{1, 0}, {2, 4}, {3, 4}, {4, 4}, {6, 4}}};
        QTest::newRow("setDayState, leading month only") << DayStates{QDate(2026, 12, 9), 1, dec, {{1, 0}}};
        // Feb 2026 starts on Sunday: a full leading week, no day 29-31 to mark.
        QTest::newRow("handler, Feb") << DayStates{QDate(2026, 2, 10), 0,
            {bit(25), bit(1) | bit(28) | bit(29) | bit(30) | bit(31), bit(7)}, {{0, 0}, {0, 1}, {6, 4}, {6, 5}}};
    }

    void dayStateBits()
    {
        QFETCH(DayStates, row);
        MonthCalWidget* cal = make(row.today, 9, row.setDayStateCount ? QList<MONTHDAYSTATE>{} : row.masks);
        if (row.setDayStateCount)
            QVERIFY(cal->setDayState(row.setDayStateCount, row.masks.data()));
        // Drawn bold is drawn bolder: only the bold cells lose ink when the masks are cleared.
        const QImage shot = cal->grab().toImage();
        QVERIFY(cal->setDayState(3, QList<MONTHDAYSTATE>(3, 0).constData()));
        const QImage plain = cal->grab().toImage();
        for (int i = 0; i < 42; ++i) {
            const QRect cell = cal->cellRect(i / 7, i % 7);
            const qint64 bold = inkIn(shot, cell).amount, plainInk = inkIn(plain, cell).amount;
            QVERIFY2(row.boldCells.contains(QPoint(i % 7, i / 7)) ? bold > plainInk * 11 / 10 : bold == plainInk,
                     qPrintable(QString("cell %1: %2 vs %3").arg(i).arg(bold).arg(plainInk)));
        }
        // A month change asks again and starts from clear masks when the handler leaves none.
        m_answer.clear();
        QVERIFY(cal->setDayState(3, row.masks.data()));
        QTest::keyClick(cal, Qt::Key_PageDown);
        for (const QPoint& c : row.boldCells)
            QVERIFY(!cal->isBold(c.y(), c.x()));
    }

    void onScreen_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("9 pt (the dialog)") << 9;
        QTest::newRow("16 pt") << 16;
    }

    // Nothing is clipped in the dialog's box, and the colours are the palette's.
    void onScreen()
    {
        QFETCH(int, pointSize);
        MonthCalWidget* cal = make(QDate(2026, 12, 31), pointSize); // today circled in the last full row
        // The second run of this program is the high-DPI one; make sure it really is.
        QCOMPARE(cal->devicePixelRatioF(), qEnvironmentVariable("OMBREL_TEST_SCALE", QStringLiteral("1")).toDouble());
        QVERIFY(cal->sizeHint().width() <= cal->width() + 4 && cal->sizeHint().height() <= cal->height() + 4);
        QFont bold = cal->font();
        bold.setBold(true);
        const QFontMetrics fm(bold); // the title's, and a topic day's
        const QRect box = cal->rect(), prev = cal->previousArrowRect(), next = cal->nextArrowRect();
        QVERIFY(box.contains(prev) && box.contains(next));
        QVERIFY(fm.horizontalAdvance(QStringLiteral("2026年12月")) <= next.left() - prev.right());
        QVERIFY(prev.top() >= 0 && prev.height() >= fm.height()); // the title line is not cut
        QVERIFY(cal->cellRect(0, 0).top() - cal->cellRect(0, 0).height() > prev.bottom()); // nor the weekday row
        for (int i = 0; i < 42; ++i) {
            const QRect cell = cal->cellRect(i / 7, i % 7);
            QVERIFY(box.contains(cell) && !cell.intersects(prev) && !cell.intersects(next));
            QVERIFY(cell.contains(fm.boundingRect(cell, Qt::AlignCenter, QStringLiteral("28"))));
            QVERIFY(cell.contains(fm.boundingRect(cell, Qt::AlignCenter, QStringLiteral("水"))));
        }
        cal->setPalette(DarkPalette(cal->palette()));
        QTest::keyClick(cal, Qt::Key_Left); // selected, but not today's circle
        const QImage shot = cal->grab().toImage();
        const qreal px = 1 / shot.devicePixelRatio();
        const QSizeF size = QSizeF(shot.size()) * px;
        for (const QRectF& edge : {QRectF(0, size.height() - px, size.width(), px), QRectF(size.width() - px, 0, px, size.height()),
                                   QRectF(0, 0, px, size.height())})
            QCOMPARE(inkIn(shot, edge).amount, 0);
        for (int row = 0; row < 6; ++row)
            QVERIFY(inkIn(shot, cal->cellRect(row, 0)).amount > 0); // every week is there
        QCOMPARE(shot.pixel(0, shot.height() - 1), QColor(Qt::black).rgb());
        QVERIFY(inkIn(shot, cal->cellRect(2, 2)).brightest > 200); // white digits
        const int grey = inkIn(shot, cal->cellRect(0, 0)).brightest; // and grey ones
        QVERIFY(grey > 50 && grey < 150);
        const QRect selected = cal->cellRect(4, 3);
        QCOMPARE(shot.pixel((selected.topLeft() + QPoint(2, selected.height() / 2)) / px), QColor(0, 0, 160).rgb());
    }

    void dayColours_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }

    // May 2026: Sunday the 3rd, the holidays of the 4th (bold here), 5th and 6th (a substitute
    // day) red; Saturday the 2nd blue; Thursday the 7th in the text colour; 3:1 at least.
    void dayColours()
    {
        QFETCH(bool, dark);
        const QImage plain = make(QDate(2026, 5, 20))->grab().toImage();
        MonthCalWidget* cal = make(QDate(2026, 5, 20), 9, {0, 1u << 3, 0});
        if (dark)
            cal->setPalette(DarkPalette(cal->palette()));
        const QImage shot = cal->grab().toImage();
        const QColor base = cal->palette().color(QPalette::Base), text = cal->palette().color(QPalette::Text);
        for (const auto& [day, kind] : {std::pair{3, 'r'}, {4, 'r'}, {6, 'r'}, {2, 'b'}, {7, 't'}}) {
            const int index = calendar::gridIndex({2026, 5}, {2026, 5, day});
            const QColor c = strongestIn(shot, cal->cellRect(index / 7, index % 7), base);
            const bool red = c.red() > c.green() + 60 && c.red() > c.blue() + 60, blue = c.blue() > c.red() + 60;
            QVERIFY2(kind == 'r' ? red : kind == 'b' ? blue : Contrast(c, text) < 1.5, qPrintable(QString("May %1: %2").arg(day).arg(c.name())));
            QVERIFY2(Contrast(c, base) >= 3, qPrintable(QString("May %1: %2").arg(day).arg(c.name())));
        }
        // The bold holiday is bold still: more ink than the same day drawn plain.
        const int may4 = calendar::gridIndex({2026, 5}, {2026, 5, 4});
        QVERIFY(cal->isBold(may4 / 7, may4 % 7));
        if (!dark)
            QVERIFY(inkIn(shot, cal->cellRect(may4 / 7, may4 % 7)).amount > inkIn(plain, cal->cellRect(may4 / 7, may4 % 7)).amount * 11 / 10);
    }

    void accessibleValueFollowsSelection()
    {
        // The offscreen platform has no accessibility bridge, so the change events cannot be
        // observed here; the value they announce can.
        MonthCalWidget* cal = make(QDate(2026, 12, 6));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(cal);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("カレンダー"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2026年12月6日 日曜日"));
        QTest::keyClick(cal, Qt::Key_PageDown);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2027年1月6日 水曜日"));
        QTest::keyClick(cal, Qt::Key_Home);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("2027年1月1日 金曜日 元日"));
    }
};

QTEST_MAIN(MonthCalWidgetTest)
#include "MonthCalWidgetTest.moc"
