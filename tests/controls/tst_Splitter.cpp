// The Splitter widget: layout of real child widgets, drags with real mouse
// events and the bar's colours. The rounding and clamping behind them are
// tabled in tst_SplitterLayout.

#include "controls/Splitter.h"
#include "platform/SysColors.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// A 400 x 200 pixel splitter (6000 x 3000 twips) with two plain panes and a bar
// of 90 twips (6 pixels).
struct Fixture {
    std::unique_ptr<Splitter> splitter = std::make_unique<Splitter>();
    QWidget* one = new QWidget;
    QWidget* two = new QWidget;

    Fixture() {
        splitter->resize(400, 200);
        splitter->SetSplitterWidth(90);
        splitter->SetChild1(one);
        splitter->SetChild2(two);
        splitter->show();
    }
};

void SendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class tst_Splitter : public QObject {
    Q_OBJECT
private slots:

    void layout_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("readOrientation");
        QTest::addColumn<QRect>("child1");
        QTest::addColumn<QRect>("child2");
        QTest::addColumn<QRect>("bar");
        QTest::addColumn<Qt::CursorShape>("cursor");

        QTest::newRow("orientation 5 reads -1 and stacks")
            << 5 << 42 << -1 << QRect(0, 0, 400, 81) << QRect(0, 87, 400, 113)
            << QRect(0, 81, 400, 6) << Qt::SizeVerCursor;
        // The second pane would get a negative width: its move is skipped, the rest
        // of the layout still runs.
        QTest::newRow("150 % skips the second pane")
            << 0 << 150 << 0 << QRect(0, 0, 591, 200) << QRect(6, 0, 394, 200)
            << QRect(591, 0, 6, 200) << Qt::SizeHorCursor;
    }

    void layout() {
        QFETCH(int, orientation);
        QFETCH(int, percent);
        QFETCH(int, readOrientation);
        QFETCH(QRect, child1);
        QFETCH(QRect, child2);
        QFETCH(QRect, bar);
        QFETCH(Qt::CursorShape, cursor);

        Fixture f;
        f.splitter->SetSplitPercent(0); // a known place for panes a later move skips
        QSignalSpy resized(f.splitter.get(), &Splitter::Resize);
        f.splitter->SetOrientation(orientation);
        f.splitter->SetSplitPercent(static_cast<std::uint8_t>(percent));

        QCOMPARE(resized.count(), 2); // one pass per write
        QCOMPARE(f.splitter->Orientation(), readOrientation);
        QCOMPARE(int(f.splitter->SplitPercent()), percent);
        QCOMPARE(f.one->geometry(), child1);
        QCOMPARE(f.two->geometry(), child2);
        QCOMPARE(f.splitter->Bar()->geometry(), bar);
        QCOMPARE(f.splitter->Bar()->cursor().shape(), cursor);
    }

    void drag_data() {
        QTest::addColumn<Qt::MouseButtons>("held");
        QTest::addColumn<int>("pointerX");
        QTest::addColumn<int>("barDuring");
        QTest::addColumn<int>("percent");

        // The bar starts at 197 (50 % of 394). A move to pointer x gives a new left of
        // 197 + x - 6 pixels.
        QTest::newRow("left drag") << Qt::MouseButtons(Qt::LeftButton) << 60 << 251 << 63;
        QTest::newRow("left and right together do not move")
            << (Qt::LeftButton | Qt::RightButton) << 60 << 197 << 50;
    }

    void drag() {
        QFETCH(Qt::MouseButtons, held);
        QFETCH(int, pointerX);
        QFETCH(int, barDuring);
        QFETCH(int, percent);

        Fixture f;
        f.splitter->SetSplitPercent(50);
        SplitterBar* bar = f.splitter->Bar();
        QCOMPARE(bar->x(), 197);
        const QRect one = f.one->geometry();
        QSignalSpy resized(f.splitter.get(), &Splitter::Resize);

        SendMouse(bar, QEvent::MouseButtonPress, QPoint(3, 100), Qt::LeftButton, held);
        SendMouse(bar, QEvent::MouseMove, QPoint(pointerX, 100), Qt::NoButton, held);
        QCOMPARE(bar->x(), barDuring);
        QCOMPARE(f.one->geometry(), one); // panes wait for the release
        QCOMPARE(resized.count(), 0);

        SendMouse(bar, QEvent::MouseButtonRelease, QPoint(pointerX, 100), Qt::LeftButton,
                  Qt::NoButton);
        QCOMPARE(resized.count(), 1);
        QCOMPARE(int(f.splitter->SplitPercent()), percent);
        QCOMPARE(bar->x(), f.one->width());
        QCOMPARE(f.two->x(), bar->x() + bar->width());
        QCOMPARE(f.two->x() + f.two->width(), 400);
    }

    // A bar whose colour was never set (the program's) paints the button face and
    // turns black while pressed, until the next paint.
    void barColours() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(f.splitter.get()));
        SplitterBar* bar = f.splitter->Bar();
        f.splitter->repaint();
        QCOMPARE(bar->Color(), platform::ColorFromRef(platform::vbButtonFace));
        SendMouse(bar, QEvent::MouseButtonPress, QPoint(3, 10), Qt::RightButton, Qt::RightButton);
        SendMouse(bar, QEvent::MouseButtonRelease, QPoint(3, 10), Qt::RightButton, Qt::NoButton);
        QCOMPARE(bar->Color(), QColor(Qt::black));
        f.splitter->repaint();
        QCOMPARE(bar->Color(), platform::ColorFromRef(platform::vbButtonFace));
    }

    void deletedPaneIsSkipped() {
        Fixture f;
        delete f.one;
        QSignalSpy resized(f.splitter.get(), &Splitter::Resize);
        f.splitter->SetSplitPercent(30);
        QCOMPARE(resized.count(), 1);
        QCOMPARE(f.splitter->Child1(), nullptr);
        QCOMPARE(f.two->x(), f.splitter->Bar()->x() + f.splitter->Bar()->width());
    }
};

QTEST_MAIN(tst_Splitter)
#include "tst_Splitter.moc"
