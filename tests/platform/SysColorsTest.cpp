#include "platform/SysColors.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

using namespace platform;

class SysColorsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Distinct colours per role, so that a wrong mapping cannot pass by accident.
        QPalette pal;
        int shade = 0x10;
        for (QPalette::ColorRole role :
             {QPalette::Button, QPalette::Dark, QPalette::Light, QPalette::Shadow}) {
            pal.setColor(role, QColor(shade, shade + 0x10, shade + 0x20));
            ++shade;
        }
        pal.setColor(QPalette::Disabled, QPalette::Text, QColor(0x70, 0x71, 0x72));
        QApplication::setPalette(pal);
    }

    void references_data() {
        QTest::addColumn<uint>("ref");
        QTest::addColumn<QColor>("color");
        const QPalette pal = QApplication::palette();
        QTest::newRow("red low, blue high") << 0x123456u << QColor(0x56, 0x34, 0x12);
        QTest::newRow("high byte not 0x80 is ignored") << 0x01123456u << QColor(0x56, 0x34, 0x12);
        QTest::newRow("button face") << vbButtonFace << pal.color(QPalette::Button);
        QTest::newRow("button shadow") << vbButtonShadow << pal.color(QPalette::Dark);
        QTest::newRow("3-D dark shadow") << vb3DDKShadow << pal.color(QPalette::Shadow);
        QTest::newRow("grey text is disabled text") << vbGrayText << QColor(0x70, 0x71, 0x72);
        QTest::newRow("unknown index is black") << 0x800000FFu << QColor(0, 0, 0);
        QTest::newRow("index beyond a byte is black") << 0x80FFFFFFu << QColor(0, 0, 0);
    }

    void references() {
        QFETCH(uint, ref);
        QFETCH(QColor, color);
        QCOMPARE(ColorFromRef(ref), color);
        QCOMPARE(RgbFromRef(ref), color.rgb());
    }
};

QTEST_MAIN(SysColorsTest)
#include "SysColorsTest.moc"
