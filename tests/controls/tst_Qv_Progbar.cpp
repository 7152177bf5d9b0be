// The progress bar: the bar's geometry for Value writes, the edge styles,
// resizing and showing progress at once.

#include "controls/Qv_Progbar.h"
#include "platform/PictureBox.h"

#include <QtTest>

using namespace platform;

Q_DECLARE_METATYPE(std::optional<QRect>)

namespace {
constexpr ColorRef kRed = RGBRef(255, 0, 0);

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

    void barRect_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<std::optional<QRect>>("expected");

        using R = std::optional<QRect>;
        const QSize s(200, 16);
        QTest::newRow("example: quarter, inset") << 25 << 100 << 1 << s << R(QRect(2, 2, 49, 12));
        QTest::newRow("half rounds to even, down") << 1 << 8 << 1 << s << R(QRect(2, 2, 24, 12));
        QTest::newRow("half rounds to even, up") << 3 << 8 << 1 << s << R(QRect(2, 2, 74, 12));

        QTest::newRow("huge value: capped") << INT_MAX << 1 << 1 << s << R(QRect(2, 2, 204, 12));
        QTest::newRow("max 0") << 25 << 0 << 1 << s << R();
        QTest::newRow("negative width") << -1 << 100 << 0 << s << R();
        QTest::newRow("too low for the inset") << 50 << 100 << 1 << QSize(200, 3) << R();
    }

    void barRect() {
        QFETCH(int, value);
        QFETCH(int, max);
        QFETCH(int, offset);
        QFETCH(QSize, size);
        QFETCH(std::optional<QRect>, expected);
        QCOMPARE(ProgbarBarRect(value, max, offset, size.width(), size.height()), expected);
    }

    void valueWrites_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max"); // set after the first value
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QRect>("bar");

        QTest::newRow("value 0 hides")
            << 0 << 100 << QList<int>{25, 0} << false << QRect(2, 2, 0, 12);
        QTest::newRow("max 0 keeps the size")
            << 0 << 0 << QList<int>{25, 50} << true << QRect(2, 2, 49, 12);
    }

    void valueWrites() {
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

        // A resize takes the bar to the corner, keeping its size until the next Value.
        progbar.resize(300, 20);
        QCOMPARE(progbar.picBar()->geometry(), QRect(QPoint(0, 0), bar.size()));
    }

    // The edge colours of the styles the status bar uses, in the frame: the
    // far ring colour owns the far corners; the inner ring is left alone.
    void edges_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("bottomRight");
        const auto role = [](QPalette::ColorRole r) {
            return QApplication::palette().color(r).rgb();
        };
        QTest::newRow("style 1 raised outer, the program's bar")
            << 1 << true << role(QPalette::Midlight) << role(QPalette::Shadow);
        QTest::newRow("style 3 sunken outer, the program's border")
            << 3 << true << role(QPalette::Dark) << role(QPalette::Light);
    }

    void edges() {
        QFETCH(int, style);
        QFETCH(bool, drawn);
        Qv_Progbar bar;
        bar.resize(200, 16);
        bar.SetBackColor(RGBRef(0, 0, 255));
        bar.SetBorderStyle(style);
        bar.SetBarcolor(kRed);
        bar.SetBarstyle(style);
        bar.SetValue(50);
        const QImage barImage = bar.picBar()->Image();
        QCOMPARE(!AllPixels(barImage, qRgb(255, 0, 0)), drawn);
        QCOMPARE(barImage.pixel(50, 8) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);

        bar.picBar()->hide(); // the frame alone
        const QImage frame = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QTEST(frame.pixel(0, 8), "topLeft");
        QTEST(frame.pixel(8, 0), "topLeft");
        QTEST(frame.pixel(199, 15), "bottomRight");
        QTEST(frame.pixel(199, 0), "bottomRight");
        QCOMPARE(frame.pixel(1, 8), qRgb(0, 0, 255));
    }

    void valueProcessesPendingEvents() {
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
};

QTEST_MAIN(TestQvProgbar)
#include "tst_Qv_Progbar.moc"
