#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kIconSize = 24;

struct IconSpec {
    const char* key;
    const char* themeName;
};

constexpr IconSpec kIcons[] = {
    {"Browse", "view-list-icons"}, {"Edit", "document-edit"},         {"Exit", "application-exit"},
    {"Refresh", "view-refresh"},   {"Options", "preferences-system"}, {"Help", "help-contents"},
};

void DrawBrowse(QPainter& p, const QColor& ink) {
    p.setBrush(ink);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            p.drawRect(4 + col * 9, 4 + row * 9, 7, 7);
        }
    }
}

void DrawEdit(QPainter& p, const QColor& ink) {
    p.setBrush(Qt::white);
    p.drawRect(4, 3, 13, 17);
    p.setBrush(ink);
    QPainterPath pencil;
    pencil.moveTo(10, 18);
    pencil.lineTo(19, 7);
    pencil.lineTo(21, 9);
    pencil.lineTo(12, 20);
    pencil.lineTo(9, 21);
    pencil.closeSubpath();
    p.drawPath(pencil);
}

void DrawExit(QPainter& p, const QColor& ink) {
    p.setBrush(Qt::NoBrush);
    p.drawRect(4, 3, 10, 18);
    p.setBrush(ink);
    QPainterPath arrow;
    arrow.moveTo(9, 10);
    arrow.lineTo(15, 10);
    arrow.lineTo(15, 6);
    arrow.lineTo(21, 12);
    arrow.lineTo(15, 18);
    arrow.lineTo(15, 14);
    arrow.lineTo(9, 14);
    arrow.closeSubpath();
    p.drawPath(arrow);
}

void DrawRefresh(QPainter& p, const QColor& ink) {
    QPen pen(ink, 3);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(5, 5, 14, 14), 60 * 16, 280 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygon({QPoint(14, 2), QPoint(21, 6), QPoint(14, 10)}));
}

void DrawOptions(QPainter& p, const QColor& ink) {
    p.setBrush(ink);
    for (int i = 0; i < 3; ++i) {
        const int y = 5 + i * 7;
        p.drawRect(3, y, 18, 2);
        p.drawEllipse(QPoint(6 + i * 6, y + 1), 3, 3);
    }
}

void DrawHelp(QPainter& p, const QColor& ink) {
    p.setBrush(ink);
    p.drawEllipse(QRect(2, 2, 20, 20));
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(15);
    p.setFont(font);
    p.drawText(QRect(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
}

QPixmap Draw(const QString& key, bool hover) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The hovered variant is brighter, as the hot image list was.
    const QColor ink = hover ? QColor(0x1E, 0x7B, 0xE6) : QColor(0x2F, 0x4F, 0x6F);
    p.setPen(QPen(ink, 1.5));
    if (key == QLatin1String("Browse")) {
        DrawBrowse(p, ink);
    } else if (key == QLatin1String("Edit")) {
        DrawEdit(p, ink);
    } else if (key == QLatin1String("Exit")) {
        DrawExit(p, ink);
    } else if (key == QLatin1String("Refresh")) {
        DrawRefresh(p, ink);
    } else if (key == QLatin1String("Options")) {
        DrawOptions(p, ink);
    } else {
        DrawHelp(p, ink);
    }
    return pixmap;
}

const IconSpec* Find(const QString& key) {
    for (const IconSpec& spec : kIcons) {
        if (key == QLatin1String(spec.key)) {
            return &spec;
        }
    }
    return nullptr;
}

} // namespace

QIcon DrawnToolbarIcon(const QString& key) {
    if (Find(key) == nullptr) {
        return {};
    }
    QIcon icon;
    icon.addPixmap(Draw(key, false), QIcon::Normal);
    icon.addPixmap(Draw(key, true), QIcon::Active);
    return icon;
}

QIcon ToolbarIcon(const QString& key) {
    const IconSpec* spec = Find(key);
    if (spec == nullptr) {
        return {};
    }
    const QString themeName = QLatin1String(spec->themeName);
    if (QIcon::hasThemeIcon(themeName)) {
        return QIcon::fromTheme(themeName);
    }
    return DrawnToolbarIcon(key);
}
