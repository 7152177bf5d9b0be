// The column arithmetic of the report list, against worked examples.

#include "platform/ColumnFit.h"

#include <QTest>

Q_DECLARE_METATYPE(std::vector<int>)

class tst_ColumnFit : public QObject {
    Q_OBJECT
private slots:
    void fit_data() {
        QTest::addColumn<std::vector<int>>("wanted");
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("flexible");
        QTest::addColumn<std::vector<int>>("widths");
        // Name, Size, Type, Date; 60 is the least a name shrinks to.
        QTest::newRow("everything fits, name as long as its longest")
            << std::vector<int>{400, 70, 120, 130} << 1500 << 0
            << std::vector<int>{400, 70, 120, 130};
        QTest::newRow("exactly fits") << std::vector<int>{400, 70, 120, 130} << 720 << 0
                                      << std::vector<int>{400, 70, 120, 130};
        QTest::newRow("name takes what is left") << std::vector<int>{900, 70, 120, 130} << 600 << 0
                                                 << std::vector<int>{280, 70, 120, 130};
        QTest::newRow("no room left: the least, and the list scrolls")
            << std::vector<int>{900, 70, 120, 130} << 300 << 0
            << std::vector<int>{60, 70, 120, 130};
        QTest::newRow("a short name never grows to the least")
            << std::vector<int>{40, 70, 120, 130} << 100 << 0 << std::vector<int>{40, 70, 120, 130};
        QTest::newRow("other flexible column") << std::vector<int>{100, 70, 500, 130} << 500 << 2
                                               << std::vector<int>{100, 70, 200, 130};
        QTest::newRow("bad index: all as wanted")
            << std::vector<int>{900, 70} << 100 << 5 << std::vector<int>{900, 70};
        QTest::newRow("negative wishes count as nothing")
            << std::vector<int>{300, -5, 20} << 200 << 0 << std::vector<int>{180, 0, 20};
        QTest::newRow("huge widths do not overflow")
            << std::vector<int>{2000000000, 2000000000, 2000000000} << 100 << 0
            << std::vector<int>{60, 2000000000, 2000000000};
        QTest::newRow("no columns") << std::vector<int>{} << 100 << 0 << std::vector<int>{};
    }
    void fit() {
        QFETCH(std::vector<int>, wanted);
        QFETCH(int, room);
        QFETCH(int, flexible);
        QFETCH(std::vector<int>, widths);
        QCOMPARE(platform::FitColumns(wanted, room, flexible, 60), widths);
    }
};

QTEST_APPLESS_MAIN(tst_ColumnFit)
#include "tst_ColumnFit.moc"
