// Renders the application icon's SVG into the PNG sizes of the hicolor theme:
//   render_icon ICON.svg OUTPUT_FOLDER
// writes OUTPUT_FOLDER/<n>x<n>/apps/<name of ICON>.png for each size. The PNGs
// are committed; this tool is run again only when the SVG changes.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: render_icon ICON.svg OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(QString::fromLocal8Bit(argv[1])).completeBaseName() + ".png";
    const QDir output(QString::fromLocal8Bit(argv[2]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!output.mkpath(folder) || !image.save(output.filePath(folder + "/" + name))) {
            std::fprintf(stderr, "render_icon: cannot write size %d\n", size);
            return 1;
        }
    }
    return 0;
}
