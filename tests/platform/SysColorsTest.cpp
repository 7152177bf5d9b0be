#include "platform/SysColors.h"

#include "imaging/Gdi.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

using namespace platform;

class SysColorsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void plainReferences_data();
    void plainReferences();
    void systemColoursFollowPalette_data();
    void systemColoursFollowPalette();
    void unknownSystemIndexIsBlack();
    void blitLayerResolvesThroughPalette();

private:
    QPalette saved_;
};

void SysColorsTest::init() {
    saved_ = QApplication::palette();
    // Distinct colours per role, so that a wrong mapping cannot pass by accident.
    QPalette pal;
    pal.setColor(QPalette::Button, QColor(0x10, 0x20, 0x30));
    pal.setColor(QPalette::Dark, QColor(0x11, 0x21, 0x31));
    pal.setColor(QPalette::Light, QColor(0x12, 0x22, 0x32));
    pal.setColor(QPalette::Shadow, QColor(0x13, 0x23, 0x33));
    pal.setColor(QPalette::Midlight, QColor(0x14, 0x24, 0x34));
    pal.setColor(QPalette::Base, QColor(0x15, 0x25, 0x35));
    pal.setColor(QPalette::Text, QColor(0x16, 0x26, 0x36));
    pal.setColor(QPalette::Highlight, QColor(0x17, 0x27, 0x37));
    pal.setColor(QPalette::HighlightedText, QColor(0x18, 0x28, 0x38));
    pal.setColor(QPalette::ButtonText, QColor(0x19, 0x29, 0x39));
    QApplication::setPalette(pal);
}

void SysColorsTest::cleanup() {
    QApplication::setPalette(saved_);
}

void SysColorsTest::plainReferences_data() {
    QTest::addColumn<uint>("ref");
    QTest::addColumn<QColor>("color");
    QTest::newRow("black") << 0x000000u << QColor(0, 0, 0);
    QTest::newRow("red is the low byte") << 0x0000FFu << QColor(255, 0, 0);
    QTest::newRow("green") << 0x00FF00u << QColor(0, 255, 0);
    QTest::newRow("blue is the third byte") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("mixed") << 0x123456u << QColor(0x56, 0x34, 0x12);
    QTest::newRow("high byte not 0x80 is ignored") << 0x01123456u << QColor(0x56, 0x34, 0x12);
}

void SysColorsTest::plainReferences() {
    QFETCH(uint, ref);
    QFETCH(QColor, color);
    QVERIFY(!IsSysColor(ref));
    QCOMPARE(ColorFromRef(ref), color);
    QCOMPARE(RgbFromRef(ref), color.rgb());
    QCOMPARE(RefFromColor(color), ref & 0x00FFFFFFu);
    QCOMPARE(RGBRef(color.red(), color.green(), color.blue()), ref & 0x00FFFFFFu);
}

void SysColorsTest::systemColoursFollowPalette_data() {
    QTest::addColumn<uint>("ref");
    QTest::addColumn<int>("role");
    QTest::newRow("button face") << vbButtonFace << int(QPalette::Button);
    QTest::newRow("button shadow") << vbButtonShadow << int(QPalette::Dark);
    QTest::newRow("3-D highlight") << vb3DHighlight << int(QPalette::Light);
    QTest::newRow("3-D dark shadow") << vb3DDKShadow << int(QPalette::Shadow);
    QTest::newRow("3-D light") << vb3DLight << int(QPalette::Midlight);
    QTest::newRow("window") << vbWindowBackground << int(QPalette::Base);
    QTest::newRow("window text") << vbWindowText << int(QPalette::Text);
    QTest::newRow("highlight") << vbHighlight << int(QPalette::Highlight);
    QTest::newRow("highlight text") << vbHighlightText << int(QPalette::HighlightedText);
    QTest::newRow("button text") << vbButtonText << int(QPalette::ButtonText);
}

void SysColorsTest::systemColoursFollowPalette() {
    QFETCH(uint, ref);
    QFETCH(int, role);
    QVERIFY(IsSysColor(ref));
    const QColor expected = QApplication::palette().color(static_cast<QPalette::ColorRole>(role));
    QCOMPARE(ColorFromRef(ref), expected);
    QCOMPARE(RgbFromRef(ref), expected.rgb());
}

void SysColorsTest::unknownSystemIndexIsBlack() {
    QCOMPARE(ColorFromRef(0x800000FFu), QColor(0, 0, 0));
    QCOMPARE(ColorFromRef(0x80FFFFFFu), QColor(0, 0, 0));
}

void SysColorsTest::blitLayerResolvesThroughPalette() {
    InstallSysColorResolver();
    const QPalette pal = QApplication::palette();
    QCOMPARE(gdi::OleTranslateColor(vbButtonFace), RefFromColor(pal.color(QPalette::Button)));
    QCOMPARE(gdi::OleTranslateColor(vb3DDKShadow), RefFromColor(pal.color(QPalette::Shadow)));
    QCOMPARE(gdi::OleTranslateColor(0x800000FFu), 0u);
    QCOMPARE(gdi::OleTranslateColor(0x00123456u), 0x00123456u);
    gdi::SetSysColorResolver({});
}

QTEST_MAIN(SysColorsTest)
#include "SysColorsTest.moc"
