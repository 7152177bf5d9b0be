#include "platform/ListView.h"

#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

using platform::ListItem;
using platform::ListView;

namespace {

ListItem makeItem(const QString& text, const QStringList& subItems) {
    ListItem item;
    item.text = text;
    item.subItems = subItems;
    return item;
}

std::vector<ListItem> makeItems(int n) {
    std::vector<ListItem> items;
    for (int i = 0; i < n; ++i)
        items.push_back(makeItem(QStringLiteral("file%1.png").arg(i),
                                 {QStringLiteral("%1 KB").arg(i), QStringLiteral("PNG image")}));
    return items;
}

/// A list set up the way the main window sets up its file list.
void addFileColumns(ListView& lv) {
    lv.addColumn(QStringLiteral("Name"), 2200);
    lv.addColumn(QStringLiteral("Size"), -1, Qt::AlignRight);
    lv.addColumn(QStringLiteral("Type"), 1500);
}

} // namespace

class TestListView : public QObject {
    Q_OBJECT

private slots:
    void columnsKeepHeadersWidthsAndAlignment() {
        ListView lv;
        addFileColumns(lv);
        QCOMPARE(lv.columnCount(), 3);
        QCOMPARE(lv.reportView()->model()->columnCount(), 3); // no placeholder column left
        QCOMPARE(lv.columnWidth(0), 147);                     // 2200 twips at 15 per pixel, rounded
        QCOMPARE(lv.columnWidth(1), 96);                      // the default 1440 twips
        lv.setItems({makeItem(QStringLiteral("short"), {QStringLiteral("1 KB")})});
        QAbstractItemModel* m = lv.reportView()->model();
        const auto align = [m](int col) {
            return Qt::Alignment(m->data(m->index(0, col), Qt::TextAlignmentRole).toInt());
        };
        QVERIFY(align(1) & Qt::AlignRight);
        QVERIFY(!(align(0) & Qt::AlignRight));
        QCOMPARE(m->data(m->index(0, 1)).toString(), QStringLiteral("1 KB"));
        // A cell past the row's sub-items is empty, not an out-of-range read.
        QCOMPARE(m->data(m->index(0, 2)).toString(), QString());
    }

    void viewStyles_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("report");
        QTest::addColumn<int>("iconSize");
        QTest::newRow("report") << 3 << true << 16;
        QTest::newRow("large icon") << 0 << false << 32;
        QTest::newRow("list") << 2 << false << 16;
    }

    void viewStyles() {
        QFETCH(int, style);
        QFETCH(bool, report);
        QFETCH(int, iconSize);
        ListView lv;
        lv.setItems(makeItems(10));
        lv.selectRow(4);
        lv.show();
        lv.setView(style);
        QAbstractItemView* shown = report ? static_cast<QAbstractItemView*>(lv.reportView())
                                          : static_cast<QAbstractItemView*>(lv.iconView());
        QCOMPARE(lv.currentView(), shown);
        QTRY_VERIFY(shown->isVisible());
        QCOMPARE(shown->iconSize(), QSize(iconSize, iconSize));
        QCOMPARE(shown->selectionModel()->selectedRows().size(), 1); // one shared selection
        QCOMPARE(lv.selectedText(), QStringLiteral("file4.png"));
        lv.setView(4); // outside the four styles: ignored
        lv.setView(-1);
        QCOMPARE(lv.View(), style);
    }

    void badRowsAreHarmless() {
        ListView lv;
        addFileColumns(lv);
        lv.selectRow(0); // empty list
        lv.ensureVisible(5);
        QCOMPARE(lv.selectedText(), QString());
        lv.setItems(makeItems(3));
        lv.selectRow(1);
        lv.selectRow(99);
        QCOMPARE(lv.selectedRow(), -1);
        lv.selectRow(2);
        lv.setItems(makeItems(2)); // new rows clear the selection
        QCOMPARE(lv.selectedRow(), -1);
        QCOMPARE(lv.columnWidth(9), -1);
        QVERIFY(!lv.autoSizeColumn(-1));
    }

    void mouseClickAndDoubleClick() {
        ListView lv;
        lv.resize(500, 300);
        lv.setItems(makeItems(5));
        lv.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lv));
        QSignalSpy clicks(&lv, &ListView::itemClick);
        QSignalSpy doubles(&lv, &ListView::dblClick);
        QTreeView* tv = lv.reportView();
        const QPoint at = tv->visualRect(tv->model()->index(2, 0)).center();
        QTest::mouseClick(tv->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(clicks.count(), 1);
        QCOMPARE(clicks.at(0).at(0).toInt(), 2);
        QTest::mouseDClick(tv->viewport(), Qt::LeftButton, {}, at);
        QTRY_COMPARE(doubles.count(), 1);
        QCOMPARE(doubles.at(0).at(0).toInt(), 2);
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ascii");    // keyPress argument, -1 for none
        QTest::addColumn<int>("clickRow"); // itemClick argument, -1 for none
        QTest::newRow("Enter") << int(Qt::Key_Return) << QStringLiteral("\r") << 13 << -1;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << QStringLiteral("\x1b") << 27 << -1;
        QTest::newRow("Down moves and clicks") << int(Qt::Key_Down) << QString() << -1 << 2;
    }

    void keys() {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, ascii);
        QFETCH(int, clickRow);
        ListView lv;
        lv.setItems(makeItems(4));
        lv.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lv));
        lv.selectRow(1);
        lv.reportView()->setFocus();
        QSignalSpy keysSpy(&lv, &ListView::keyPress);
        QSignalSpy clicks(&lv, &ListView::itemClick);
        QTest::sendKeyEvent(QTest::Press, lv.reportView(), Qt::Key(key), text, Qt::NoModifier);
        QCOMPARE(keysSpy.count(), ascii < 0 ? 0 : 1);
        QVERIFY(ascii < 0 || keysSpy.at(0).at(0).toInt() == ascii);
        QCOMPARE(clicks.count(), clickRow < 0 ? 0 : 1);
        QVERIFY(clickRow < 0 || clicks.at(0).at(0).toInt() == clickRow);
        QCOMPARE(lv.selectedRow(), clickRow < 0 ? 1 : clickRow); // Enter, Esc: no move
    }

    void ensureVisibleScrolls() {
        ListView lv;
        lv.resize(400, 200);
        lv.setItems(makeItems(1000));
        lv.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lv));
        QTreeView* tv = lv.reportView();
        const QModelIndex last = tv->model()->index(999, 0);
        QVERIFY(!tv->viewport()->rect().intersects(tv->visualRect(last)));
        lv.ensureVisible(999);
        QTRY_VERIFY(tv->viewport()->rect().contains(tv->visualRect(last)));
    }
};

QTEST_MAIN(TestListView)
#include "tst_ListView.moc"
