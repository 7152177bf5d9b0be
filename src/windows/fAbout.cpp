#include "windows/fAbout.h"

#include "platform/MessageBox.h"
#include "platform/ProgramLauncher.h"
#include "platform/Registry.h"
#include "platform/Twips.h"
#include "platform/mFileFound.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

const QString kTitle = QStringLiteral("Vistrel");

// A rectangle given in twips, as whole pixels.
QRect TwipsRect(int left, int top, int width, int height) {
    using platform::TwipsToPixels;
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

QPoint TwipsPoint(int x, int y) {
    return {platform::TwipsToPixels(x), platform::TwipsToPixels(y)};
}

// The program's picture: the application icon when there is one, else a small
// framed landscape drawn here.
QPixmap ProgramIcon() {
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        return icon.pixmap(32, 32);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.setBrush(QColor(170, 210, 250));
    painter.drawRect(2, 4, 28, 24);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 200, 40));
    painter.drawEllipse(QPointF(22, 11), 3.5, 3.5);
    painter.setBrush(QColor(60, 140, 70));
    const QPointF hills[] = {{3, 27}, {12, 13}, {19, 22}, {23, 18}, {29, 27}};
    painter.drawPolygon(hills, 5);
    return pixmap;
}

void Unavailable(QWidget* parent) {
    platform::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"),
                     platform::MsgButtons::OK, platform::MsgIcon::None, {}, parent);
}

} // namespace

QString VersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(VISTREL_VERSION_MAJOR)
        .arg(VISTREL_VERSION_MINOR)
        .arg(VISTREL_VERSION_PATCH);
}

QString DescriptionText() {
    return kTitle + QStringLiteral(" is a handy tool which you can use for a variety of") +
           QStringLiteral(" Image Browsing tasks. For more information on this and other "
                          "software,") +
           QStringLiteral(" Please contact us at: ") + QStringLiteral(VISTREL_HOMEPAGE_URL);
}

void StartSysInfo(QWidget* parent) {
    using namespace platform;
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path)) {
        // Started as named, without looking for the file first.
        if (StartProgram(path))
            return;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE,
                           QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QStringLiteral("MSINFO"), path)) {
        const QString file = path + QStringLiteral("/MSINFO32.EXE");
        if (FileExists(file) && StartProgram(file))
            return;
    }
    Unavailable(parent);
}

fAbout::fAbout(QWidget* owner) : QDialog(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("About ") + kTitle);
    setFixedSize(platform::TwipsToPixels(5730), platform::TwipsToPixels(3555));

    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setGeometry(TwipsRect(240, 240, 480, 480));
    picIcon_->setPixmap(ProgramIcon());

    const auto label = [this](const char* name, QRect geometry) {
        auto* created = new QLabel(this);
        created->setObjectName(QString::fromLatin1(name));
        created->setGeometry(geometry);
        created->setTextFormat(Qt::PlainText);
        created->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        created->setWordWrap(true);
        return created;
    };
    lblTitle_ = label("lblTitle", TwipsRect(1050, 240, 3885, 480));
    lblVersion_ = label("lblVersion", TwipsRect(1050, 780, 3885, 225));
    lblDescription_ = label("lblDescription", TwipsRect(1050, 1125, 3885, 1170));
    lblDisclaimer_ = label("lblDisclaimer", TwipsRect(255, 2625, 3870, 825));
    QFont titleFont = lblTitle_->font();
    titleFont.setPointSize(titleFont.pointSize() + 6);
    titleFont.setBold(true);
    lblTitle_->setFont(titleFont);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(TwipsRect(4245, 2625, 1260, 345));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setGeometry(TwipsRect(4260, 3075, 1245, 345));
    connect(cmdOK_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdSysInfo_, &QPushButton::clicked, this, [this] { StartSysInfo(this); });

    lblVersion_->setText(VersionText());
    lblTitle_->setText(kTitle);
    lblDescription_->setText(DescriptionText());
}

fAbout::~fAbout() = default;

void fAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(TwipsPoint(90, 2445), TwipsPoint(5654, 2445));
    painter.setPen(Qt::white);
    painter.drawLine(TwipsPoint(105, 2460), TwipsPoint(5654, 2460));
}
