#include "windows/fOptions.h"

#include "controls/Splitter.h"
#include "settings/mSetup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr QSize kClientSize(360, 252);

// A small drawing of the main window in one arrangement: the folder tree and the
// file list on the left (stacked or side by side), the preview on the right.
// A click on it chooses that arrangement.
class ArrangementPicture : public QWidget {
    Q_OBJECT
public:
    ArrangementPicture(bool stacked, QWidget* parent) : QWidget(parent), stacked_(stacked) {
        setCursor(Qt::PointingHandCursor);
    }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPalette& colours = palette();
        const QRect window = rect().adjusted(0, 0, -1, -1);
        painter.fillRect(window, colours.color(QPalette::Base));
        painter.setPen(colours.color(QPalette::Dark));
        painter.drawRect(window);
        const QRect inner = window.adjusted(3, 3, -2, -2);
        const int half = inner.width() / 2;
        const QRect panes(inner.left(), inner.top(), half - 2, inner.height());
        const QRect preview(inner.left() + half + 1, inner.top(), inner.width() - half - 1,
                            inner.height());
        QRect tree = panes;
        QRect list = panes;
        if (stacked_) {
            tree.setHeight(panes.height() / 2 - 1);
            list.setTop(tree.bottom() + 3);
        } else {
            tree.setWidth(panes.width() / 2 - 1);
            list.setLeft(tree.right() + 3);
        }
        DrawTree(painter, tree);
        DrawList(painter, list);
        painter.fillRect(preview, colours.color(QPalette::Midlight));
        painter.drawRect(preview.adjusted(0, 0, -1, -1));
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            emit Click();
    }

private:
    // A pane with an indented run of folder branches.
    static void DrawTree(QPainter& painter, const QRect& pane) {
        painter.drawRect(pane.adjusted(0, 0, -1, -1));
        for (int row = 0, y = pane.top() + 4; y + 2 < pane.bottom(); ++row, y += 5) {
            const int indent = 3 + 4 * (row % 3);
            painter.drawLine(pane.left() + indent, y, pane.left() + indent + 8, y);
        }
    }

    // A pane with rows of file names.
    static void DrawList(QPainter& painter, const QRect& pane) {
        painter.drawRect(pane.adjusted(0, 0, -1, -1));
        for (int y = pane.top() + 4; y + 2 < pane.bottom(); y += 4)
            painter.drawLine(pane.left() + 3, y, pane.right() - 4, y);
    }

    bool stacked_;
};

} // namespace

fOptions::fOptions(QWidget* owner, Splitter* hSplit) : QDialog(owner), hSplit_(hSplit) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(kClientSize);
    CreateControls();
    Form_Load();
}

fOptions::~fOptions() = default;

QCheckBox* fOptions::ckOptions(int index) const {
    return index == 0 || index == 1 ? ckOptions_[std::size_t(index)] : nullptr;
}

QRadioButton* fOptions::optSplitters(int index) const {
    return index == 0 || index == 1 ? optSplitters_[std::size_t(index)] : nullptr;
}

QPushButton* fOptions::cmdAction(int index) const {
    return index == 0 || index == 1 ? cmdAction_[std::size_t(index)] : nullptr;
}

void fOptions::CreateControls() {
    lblOpts_ = new QLabel(QStringLiteral("Vistrel Options"), this);
    lblOpts_->setObjectName(QStringLiteral("lblOpts"));
    QFont heading = lblOpts_->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    lblOpts_->setFont(heading);
    lblOpts_->adjustSize();
    lblOpts_->move(12, 10);

    const QString captions[] = {QStringLiteral("&Start with last browsed image path"),
                                QStringLiteral("Start browser in  &Thumbnail View  ")};
    for (int i = 0; i < 2; ++i) {
        auto* box = new QCheckBox(captions[i], this);
        box->setObjectName(QStringLiteral("ckOptions%1").arg(i));
        box->setGeometry(20, 42 + 24 * i, 320, 22);
        ckOptions_[std::size_t(i)] = box; // a click on a box changes nothing yet
    }

    frsplitter1_ = new QGroupBox(QStringLiteral(" Interface Orientation: "), this);
    frsplitter1_->setObjectName(QStringLiteral("frsplitter1"));
    frsplitter1_->setGeometry(20, 96, 320, 110);
    image1_ = new ArrangementPicture(true, frsplitter1_);
    image2_ = new ArrangementPicture(false, frsplitter1_);
    image1_->setObjectName(QStringLiteral("Image1"));
    image2_->setObjectName(QStringLiteral("Image2"));
    image1_->setGeometry(42, 26, 100, 70);
    image2_->setGeometry(196, 26, 100, 70);
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(frsplitter1_);
        option->setObjectName(QStringLiteral("optSplitters%1").arg(i));
        optSplitters_[std::size_t(i)] = option;
        connect(option, &QRadioButton::clicked, this, [this, i] { optSplitters_Click(i); });
    }
    // Each button sits beside the picture of its arrangement.
    optSplitters_[1]->setGeometry(16, 50, 22, 22);
    optSplitters_[0]->setGeometry(170, 50, 22, 22);
    connect(static_cast<ArrangementPicture*>(image1_), &ArrangementPicture::Click, this,
            [this] { SelectOption(1); });
    connect(static_cast<ArrangementPicture*>(image2_), &ArrangementPicture::Click, this,
            [this] { SelectOption(0); });

    const QString actions[] = {QStringLiteral("&Apply"), QStringLiteral("&Ok")};
    for (int i = 0; i < 2; ++i) {
        auto* button = new QPushButton(actions[i], this);
        button->setObjectName(QStringLiteral("cmdAction%1").arg(i));
        button->setGeometry(150 + 100 * i, 216, 90, 26);
        button->setAutoDefault(false);
        cmdAction_[std::size_t(i)] = button;
        connect(button, &QPushButton::clicked, this, [this, i] { cmdAction_Click(i); });
    }
}

void fOptions::Form_Load() {
    lblOpts_->move(width() / 2 - lblOpts_->width() / 2, lblOpts_->y());

    const settings::SetupRecord& setup = settings::Setup;
    // A damaged value (neither 0 nor -1) selects neither arrangement.
    if (setup.PaneSplitOrientation == 0)
        SelectOption(0);
    else if (setup.PaneSplitOrientation == -1)
        SelectOption(1);
    ckOptions_[0]->setCheckState(setup.StartWithLastPath != 0 ? Qt::Checked : Qt::Unchecked);
    ckOptions_[1]->setCheckState(setup.StartInThumbnailView != 0 ? Qt::Checked : Qt::Unchecked);
}

void fOptions::SelectOption(int index) {
    QRadioButton* option = optSplitters_[std::size_t(index)];
    // Selecting a button raises its click, as a click by the user does.
    if (!option->isChecked()) {
        option->setChecked(true);
        optSplitters_Click(index);
    }
}

void fOptions::optSplitters_Click(int) {
    if (hSplit_)
        hSplit_->SetOrientation(optSplitters_[1]->isChecked() ? -1 : 0);
}

void fOptions::cmdAction_Click(int index) {
    if (index != 0 && index != 1)
        return;
    settings::SetupRecord& setup = settings::Setup;
    // A grey (partly ticked) box counts as ticked.
    setup.StartWithLastPath = ckOptions_[0]->checkState() != Qt::Unchecked ? -1 : 0;
    setup.StartInThumbnailView = ckOptions_[1]->checkState() != Qt::Unchecked ? -1 : 0;
    setup.PaneSplitOrientation = optSplitters_[1]->isChecked() ? -1 : 0;
    settings::SaveSetup();
    if (index == 1)
        close();
}

#include "fOptions.moc"
