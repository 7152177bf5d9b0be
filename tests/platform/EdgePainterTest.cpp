#include "platform/EdgePainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace platform;

namespace {

// Distinct colours per role so that every pixel tells which role painted it.
QPalette testPalette() {
    QPalette pal;
    pal.setColor(QPalette::Light, QColor(0xF0, 0x00, 0x01));
    pal.setColor(QPalette::Midlight, QColor(0xF0, 0x00, 0x02));
    pal.setColor(QPalette::Dark, QColor(0xF0, 0x00, 0x03));
    pal.setColor(QPalette::Shadow, QColor(0xF0, 0x00, 0x04));
    pal.setColor(QPalette::Button, QColor(0xF0, 0x00, 0x05));
    return pal;
}

constexpr QRgb untouched = 0xFF123456;

QImage drawOnSixBySix(unsigned edge, unsigned flags) {
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(untouched);
    QPainter painter(&image);
    DrawEdge(painter, QRect(0, 0, 6, 6), edge, flags, testPalette());
    return image;
}

} // namespace

class EdgePainterTest : public QObject {
    Q_OBJECT
private slots:
    void ringPixels_data();
    void ringPixels();
    void insideRectangle_data();
    void insideRectangle();
};

void EdgePainterTest::ringPixels_data() {
    QTest::addColumn<uint>("edge");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<int>("role"); // -1: not painted
    const auto row = [](const char* name, unsigned edge, QPoint p, int role,
                        unsigned flags = BF_RECT) {
        QTest::newRow(name) << edge << flags << p << role;
    };
    row("raised: outer top-left", EDGE_RAISED, {0, 0}, QPalette::Midlight);
    row("raised: outer top-right corner", EDGE_RAISED, {5, 0}, QPalette::Shadow);
    row("raised: outer bottom-left corner", EDGE_RAISED, {0, 5}, QPalette::Shadow);
    row("raised: inner top-left", EDGE_RAISED, {1, 1}, QPalette::Light);
    row("raised: inner top-right", EDGE_RAISED, {4, 1}, QPalette::Dark);
    row("raised: middle untouched", EDGE_RAISED, {2, 2}, -1);
    row("sunken: outer top", EDGE_SUNKEN, {2, 0}, QPalette::Dark);
    row("sunken: outer bottom", EDGE_SUNKEN, {2, 5}, QPalette::Light);
    row("sunken: inner left", EDGE_SUNKEN, {1, 2}, QPalette::Shadow);
    row("sunken: inner right", EDGE_SUNKEN, {4, 2}, QPalette::Midlight);
    row("raised outer alone: no inner", BDR_RAISEDOUTER, {2, 1}, -1);
    row("raised inner alone takes the border", BDR_RAISEDINNER, {2, 0}, QPalette::Light);
    row("sunken inner alone: nothing inside", BDR_SUNKENINNER, {1, 2}, -1);
    row("both outer bits draw nothing", BDR_OUTER | BDR_RAISEDINNER, {0, 0}, -1);
    row("edge 0 draws nothing", 0, {0, 0}, -1);
    row("left only: no top", EDGE_RAISED, {2, 0}, -1, BF_LEFT);
    row("left only: no right", EDGE_RAISED, {5, 2}, -1, BF_LEFT);
    row("middle filled", EDGE_SUNKEN, {2, 2}, QPalette::Button, BF_RECT | BF_MIDDLE);
}

void EdgePainterTest::ringPixels() {
    QFETCH(uint, edge);
    QFETCH(uint, flags);
    QFETCH(QPoint, pixel);
    QFETCH(int, role);
    const QImage image = drawOnSixBySix(edge, flags);
    const QRgb expected =
        role < 0 ? untouched : testPalette().color(static_cast<QPalette::ColorRole>(role)).rgb();
    QCOMPARE(QString::number(image.pixel(pixel), 16), QString::number(expected, 16));
}

void EdgePainterTest::insideRectangle_data() {
    QTest::addColumn<uint>("edge");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("inside");
    const QRect six(0, 0, 6, 6);
    QTest::newRow("two rings") << uint(EDGE_SUNKEN) << uint(BF_RECT) << six << QRect(2, 2, 2, 2);
    QTest::newRow("one ring") << uint(BDR_RAISEDINNER) << uint(BF_RECT) << six << QRect(1, 1, 4, 4);
    QTest::newRow("top and left") << uint(EDGE_BUMP) << uint(BF_TOP | BF_LEFT) << six
                                  << QRect(2, 2, 4, 4);
    QTest::newRow("nothing drawn") << 0u << uint(BF_RECT) << six << six;
    QTest::newRow("one pixel") << uint(EDGE_RAISED) << uint(BF_RECT) << QRect(2, 2, 1, 1)
                               << QRect(3, 3, -1, -1);
    QTest::newRow("reversed rectangle")
        << uint(EDGE_SUNKEN) << uint(BF_RECT) << QRect(QPoint(5, 5), QPoint(0, 0))
        << QRect(QPoint(5, 5), QPoint(0, 0));
}

void EdgePainterTest::insideRectangle() {
    QFETCH(uint, edge);
    QFETCH(uint, flags);
    QFETCH(QRect, rect);
    QFETCH(QRect, inside);
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(untouched);
    QPainter painter(&image);
    const QRect result = DrawEdge(painter, rect, edge, flags, testPalette());
    if (!inside.isValid()) {
        QVERIFY(!result.isValid()); // used up by the rings
    } else {
        QCOMPARE(result, inside);
    }
}

QTEST_MAIN(EdgePainterTest)
#include "EdgePainterTest.moc"
