// The progress bar: the bar's geometry for Value writes, what waits for the next
// Value, the edge styles, resizing, persistence and showing progress at once.

#include "controls/Qv_Progbar.h"
#include "platform/PictureBox.h"
#include "platform/PropertyBag.h"

#include <QtTest>

using namespace platform;

Q_DECLARE_METATYPE(std::optional<QRect>)

namespace {
constexpr ColorRef kRed = RGBRef(255, 0, 0);
constexpr ColorRef kBlue = RGBRef(0, 0, 255);

bool AllPixels(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                return false;
    return true;
}
} // namespace

class TestQvProgbar : public QObject {
    Q_OBJECT
private slots:
    void barRect_data();
    void barRect();
    void valueWrites_data();
    void valueWrites();
    void stylesAndOffsetWaitForTheNextValue();
    void barcolorRecoloursAtOnceKeepingTheEdge();
    void edges_data();
    void edges();
    void resizeMovesTheBarToTheCorner();
    void valueProcessesPendingEvents();
    void persistence();
};

void TestQvProgbar::barRect_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<std::optional<QRect>>("expected");

    using R = std::optional<QRect>;
    const QSize s(200, 16);
    QTest::newRow("example: quarter, inset") << 25 << 100 << 1 << s << R(QRect(2, 2, 49, 12));
    QTest::newRow("full, no inset") << 100 << 100 << 0 << s << R(QRect(0, 0, 200, 16));
    QTest::newRow("full, inset") << 100 << 100 << 1 << s << R(QRect(2, 2, 196, 12));
    QTest::newRow("offset 2 is no inset") << 50 << 100 << 2 << s << R(QRect(0, 0, 100, 16));
    QTest::newRow("half rounds to even, down") << 1 << 8 << 1 << s << R(QRect(2, 2, 24, 12));
    QTest::newRow("half rounds to even, up") << 3 << 8 << 1 << s << R(QRect(2, 2, 74, 12));
    QTest::newRow("negative over negative") << -50 << -100 << 0 << s << R(QRect(0, 0, 100, 16));
    QTest::newRow("above max: capped past the side")
        << 150 << 100 << 0 << s << R(QRect(0, 0, 204, 16));
    QTest::newRow("huge value: capped") << INT_MAX << 1 << 1 << s << R(QRect(2, 2, 204, 12));
    QTest::newRow("max 0") << 25 << 0 << 1 << s << R();
    QTest::newRow("zero over zero") << 0 << 0 << 0 << s << R();
    QTest::newRow("negative width") << -1 << 100 << 0 << s << R();
    QTest::newRow("too low for the inset") << 50 << 100 << 1 << QSize(200, 3) << R();
    QTest::newRow("too narrow for the inset") << 50 << 100 << 1 << QSize(3, 16) << R();
}

void TestQvProgbar::barRect() {
    QFETCH(int, value);
    QFETCH(int, max);
    QFETCH(int, offset);
    QFETCH(QSize, size);
    QFETCH(std::optional<QRect>, expected);
    QCOMPARE(ProgbarBarRect(value, max, offset, size.width(), size.height()), expected);
}

void TestQvProgbar::valueWrites_data() {
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max"); // set after the first value
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QRect>("bar");

    QTest::newRow("example") << 0 << 100 << QList<int>{25} << true << QRect(2, 2, 49, 12);
    QTest::newRow("value 0 hides") << 0 << 100 << QList<int>{25, 0} << false << QRect(2, 2, 0, 12);
    QTest::newRow("min plays no part")
        << 50 << 100 << QList<int>{75} << true << QRect(2, 2, 147, 12);
    QTest::newRow("max 0 keeps the size")
        << 0 << 0 << QList<int>{25, 50} << true << QRect(2, 2, 49, 12);
}

void TestQvProgbar::valueWrites() {
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(QList<int>, values);
    QFETCH(bool, visible);
    QFETCH(QRect, bar);

    QWidget host;
    Qv_Progbar progbar(&host);
    progbar.resize(200, 16);
    host.show();
    progbar.SetMin(min);
    progbar.SetBarOffset(1);
    progbar.SetValue(values.takeFirst());
    progbar.SetMax(max);
    for (int value : values)
        progbar.SetValue(value);
    QCOMPARE(progbar.picBar()->isVisible(), visible);
    QCOMPARE(progbar.picBar()->geometry(), bar);
}

void TestQvProgbar::stylesAndOffsetWaitForTheNextValue() {
    Qv_Progbar bar;
    bar.resize(200, 16);
    bar.SetBarcolor(kRed);
    bar.SetValue(25);
    const QRect before = bar.picBar()->geometry();
    const QImage image = bar.picBar()->Image();
    QVERIFY(AllPixels(image, qRgb(255, 0, 0)));

    bar.SetBarOffset(1);
    bar.SetBarstyle(6);
    bar.SetMax(50);
    QCOMPARE(bar.picBar()->geometry(), before);
    QCOMPARE(bar.picBar()->Image(), image);

    bar.SetValue(25);
    QCOMPARE(bar.picBar()->geometry(), QRect(2, 2, 98, 12));
    QVERIFY(!AllPixels(bar.picBar()->Image(), qRgb(255, 0, 0)));
}

void TestQvProgbar::barcolorRecoloursAtOnceKeepingTheEdge() {
    Qv_Progbar bar;
    bar.resize(200, 16);
    bar.SetBarcolor(kRed);
    bar.SetBarstyle(5);
    bar.SetValue(50);
    const QRgb corner = bar.picBar()->Image().pixel(0, 0);
    bar.SetBarstyle(0); // not applied before the next Value

    bar.SetBarcolor(kBlue);
    const QImage image = bar.picBar()->Image();
    QCOMPARE(image.pixel(50, 8) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);
    QCOMPARE(image.pixel(0, 0), corner);
}

void TestQvProgbar::edges_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("drawn");
    for (int style = 1; style <= 8; ++style)
        QTest::addRow("style %d", style) << style << true;
    QTest::newRow("style 0 is flat") << 0 << false;
    QTest::newRow("style 9 draws nothing") << 9 << false;
    QTest::newRow("style -1 draws nothing") << -1 << false;
}

void TestQvProgbar::edges() {
    QFETCH(int, style);
    QFETCH(bool, drawn);
    Qv_Progbar bar;
    bar.resize(200, 16);
    bar.SetBackColor(kBlue);
    bar.SetBorderStyle(style);
    bar.SetBarcolor(kRed);
    bar.SetBarstyle(style);
    bar.SetValue(50);
    const QImage barImage = bar.picBar()->Image();
    QCOMPARE(!AllPixels(barImage, qRgb(255, 0, 0)), drawn);
    QCOMPARE(barImage.pixel(50, 8) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);

    bar.picBar()->hide(); // the frame alone
    const QImage frame = bar.grab().toImage();
    QCOMPARE(!AllPixels(frame, qRgb(0, 0, 255)), drawn);
}

void TestQvProgbar::resizeMovesTheBarToTheCorner() {
    QWidget host;
    Qv_Progbar bar(&host);
    bar.resize(200, 16);
    host.show();
    bar.SetBarOffset(1);
    bar.SetValue(25);
    bar.resize(300, 20);
    QCOMPARE(bar.picBar()->geometry(), QRect(0, 0, 49, 12));
    bar.SetValue(25);
    QCOMPARE(bar.picBar()->geometry(), QRect(2, 2, 74, 16));
}

void TestQvProgbar::valueProcessesPendingEvents() {
    // A caller that keeps the thread busy still sees queued work (and the bar's
    // paint) done inside each Value write.
    Qv_Progbar bar;
    bar.resize(200, 16);
    bar.show();
    bool ran = false;
    QMetaObject::invokeMethod(
        &bar, [&ran] { ran = true; }, Qt::QueuedConnection);
    bar.SetValue(10);
    QVERIFY(ran);
}

void TestQvProgbar::persistence() {
    PropertyBag bag;
    Qv_Progbar().WriteProperties(bag);
    QCOMPARE(bag.Count(), 0); // a new control holds only defaults

    Qv_Progbar bar;
    bar.SetMin(-5);
    bar.SetMax(7);
    bar.SetValue(3);
    bar.SetBackColor(vbWindowBackground);
    bar.SetBarcolor(0xFFFFFFFF);
    bar.SetBarstyle(8);
    bar.SetBorderStyle(6);
    bar.SetBarOffset(1);
    bar.WriteProperties(bag);
    QCOMPARE(bag.Count(), 8);
    bag.WriteProperty("Max", QStringLiteral("lots"), 100); // unreadable: skipped

    Qv_Progbar copy;
    copy.resize(200, 16);
    copy.SetMax(40);
    copy.ReadProperties(bag);
    QCOMPARE(copy.Min(), -5);
    QCOMPARE(copy.Max(), 40);
    QCOMPARE(copy.Value(), 3);
    QCOMPARE(copy.BackColor(), vbWindowBackground);
    QCOMPARE(copy.Barcolor(), ColorRef(0xFFFFFFFF));
    QCOMPARE(copy.Barstyle(), 8);
    QCOMPARE(copy.BorderStyle(), 6);
    QCOMPARE(copy.BarOffset(), 1);
    QVERIFY(copy.picBar()->isHidden()); // stored without drawing the bar
}

QTEST_MAIN(TestQvProgbar)
#include "tst_Qv_Progbar.moc"
