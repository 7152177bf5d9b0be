#include "filelist/NaturalOrder.h"
#include "filelist/PathMatchSpec.h"

#include <QStringList>
#include <QTest>
#include <algorithm>

using filelist::NaturalCompare;
using filelist::PathMatchSpec;

class TestPathMatchSpec : public QObject {
    Q_OBJECT

private slots:
    void match_data();
    void match();
    void manyStarsStayFast();
    void naturalCompare_data();
    void naturalCompare();
    void naturalSortIsTotal();
};

void TestPathMatchSpec::match_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("specs");
    QTest::addColumn<bool>("expected");

    const QString dir = QStringLiteral("/home/u/pics/");
    QTest::newRow("extension") << dir + "a.jpg"
                               << "*.jpg" << true;
    QTest::newRow("other extension") << dir + "a.png"
                                     << "*.jpg" << false;
    QTest::newRow("upper-case name") << dir + "A.JPG"
                                     << "*.jpg" << true;
    QTest::newRow("upper-case spec") << dir + "a.jpg"
                                     << "*.JPG" << true;
    QTest::newRow("mixed case") << dir + "Photo.JpG"
                                << "*.jPg" << true;
    QTest::newRow("non-ASCII case") << dir + "ÄRGER.PNG"
                                    << "*ärger.png" << true;
    QTest::newRow("suffix must end the path") << dir + "a.jpg.txt"
                                              << "*.jpg" << false;
    QTest::newRow("longer extension") << dir + "a.jpeg"
                                      << "*.jpg" << false;
    QTest::newRow("tiff not tif") << dir + "a.tif"
                                  << "*.tiff" << false;
    QTest::newRow("second spec") << dir + "a.png"
                                 << "*.jpg;*.png" << true;
    QTest::newRow("last spec") << dir + "a.xpm"
                               << "*.bmp;*.gif;*.xpm" << true;
    QTest::newRow("spaces around specs") << dir + "a.png"
                                         << "*.jpg ; *.png " << true;
    QTest::newRow("empty specs skipped") << dir + "a.png"
                                         << ";;*.png;" << true;
    QTest::newRow("only empty specs") << dir + "a.png"
                                      << " ; ;" << false;
    QTest::newRow("empty pattern") << dir + "a.png"
                                   << "" << false;
    QTest::newRow("star dot star any name") << dir + "README"
                                            << "*.*" << true;
    QTest::newRow("star dot star dotted") << dir + "a.b.c"
                                          << "*.*" << true;
    QTest::newRow("star dot star spaced") << dir + "Makefile"
                                          << " *.* " << true;
    QTest::newRow("star alone") << dir + "x"
                                << "*" << true;
    QTest::newRow("question mark") << dir + "img1.png"
                                   << "*img?.png" << true;
    QTest::newRow("question needs one char") << dir + "img.png"
                                             << "*img?.png" << false;
    QTest::newRow("whole path: no leading star") << dir + "a.jpg"
                                                 << "a.jpg" << false;
    QTest::newRow("whole path exact") << "a.jpg"
                                      << "a.jpg" << true;
    QTest::newRow("star crosses folders") << dir + "a.jpg"
                                          << "/home/*.jpg" << true;
    QTest::newRow("backtracking") << dir + "a.jpg.jpg"
                                  << "*.jpg" << true;
    QTest::newRow("backtracking middle") << dir + "abcabd"
                                         << "*ab?" << true;
    QTest::newRow("trailing stars") << dir + "a"
                                    << "*a**" << true;
    QTest::newRow("dot file") << dir + ".hidden.jpg"
                              << "*.jpg" << true;
    QTest::newRow("empty path") << ""
                                << "*" << true;
    QTest::newRow("empty path, needs char") << ""
                                            << "?" << false;
    QTest::newRow("all formats has iff")
        << dir + "a.IFF"
        << "*.bmp;*.cur;*.dib;*.dds;*.emf;*.gif;*.ico;*.iff;*.jif;*.jng;*.jpg;*.koala;*.lbm;"
           "*.mng;*.pbm;*.pcd;*.pcx;*.pgm;*.png;*.ppm;*.psd;*.ras;*.rle;*.tga;*.tiff;*.wbmp;"
           "*.wmf;*.xbm;*.xpm"
        << true;
    QTest::newRow("all formats lacks jpeg")
        << dir + "a.jpeg"
        << "*.bmp;*.cur;*.dib;*.dds;*.emf;*.gif;*.ico;*.iff;*.jif;*.jng;*.jpg;*.koala;*.lbm;"
           "*.mng;*.pbm;*.pcd;*.pcx;*.pgm;*.png;*.ppm;*.psd;*.ras;*.rle;*.tga;*.tiff;*.wbmp;"
           "*.wmf;*.xbm;*.xpm"
        << false;
}

void TestPathMatchSpec::match() {
    QFETCH(QString, path);
    QFETCH(QString, specs);
    QFETCH(bool, expected);
    QCOMPARE(PathMatchSpec(path, specs), expected);
}

void TestPathMatchSpec::manyStarsStayFast() {
    // A naive recursive matcher takes exponential time here; ours is bounded
    // by text x spec, so this finishes at once (a hang fails through the
    // test's timeout).
    const QString text(4000, u'a');
    const QString spec = QString(QStringLiteral("*a")).repeated(40) + QStringLiteral("b");
    QVERIFY(!PathMatchSpec(text, spec));
    QVERIFY(PathMatchSpec(text + u'b', spec));
}

void TestPathMatchSpec::naturalCompare_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("numbers by value") << "img2"
                                      << "img10" << -1;
    QTest::newRow("numbers by value, reversed") << "img10"
                                                << "img2" << 1;
    QTest::newRow("case ignored") << "Beta"
                                  << "alpha" << 1;
    QTest::newRow("case ignored, lower first") << "alpha"
                                               << "BETA" << -1;
    QTest::newRow("prefix first") << "img"
                                  << "img1" << -1;
    QTest::newRow("leading zeros same value") << "img01"
                                              << "img1" << -1;
    QTest::newRow("exact tie on case") << "A.png"
                                       << "a.png" << -1;
    QTest::newRow("equal") << "same"
                           << "same" << 0;
    QTest::newRow("huge numbers") << "f99999999999999999999999"
                                  << "f100000000000000000000000" << -1;
    QTest::newRow("digits after text") << "2a"
                                       << "10" << -1;
    QTest::newRow("extension after number") << "x9.png"
                                            << "x9.jpg" << 1;
    QTest::newRow("empty") << ""
                           << "a" << -1;
}

void TestPathMatchSpec::naturalCompare() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int c = NaturalCompare(a, b);
    QCOMPARE((c > 0) - (c < 0), sign);
    const int r = NaturalCompare(b, a);
    QCOMPARE((r > 0) - (r < 0), -sign);
}

void TestPathMatchSpec::naturalSortIsTotal() {
    QStringList names = {"img10.png", "IMG2.png", "img1.png", "Img02.png",  "a",
                         "B",         "img2.png", "img",      "img0010.png"};
    std::sort(names.begin(), names.end(), filelist::NaturalLess);
    // Ties in value and case fall back to the exact characters.
    const QStringList expected = {"a",         "B",        "img",         "img1.png", "IMG2.png",
                                  "Img02.png", "img2.png", "img0010.png", "img10.png"};
    QCOMPARE(names, expected);
}

QTEST_APPLESS_MAIN(TestPathMatchSpec)
#include "tst_PathMatchSpec.moc"
