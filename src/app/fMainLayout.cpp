// fMain's geometry: the minimum size, the arrangement on every resize and the
// resize handlers of the panes that hold other controls.

#include "app/fMain.h"
#include "app/mDirTreeview.h"
#include "controls/Qv_Progbar.h"
#include "controls/Splitter.h"
#include "imaging/Units.h"
#include "platform/ListView.h"
#include "platform/PictureBox.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMinOuterWidthTwips = 7485;
constexpr int kMinOuterHeightTwips = 4695;
constexpr int kStatusHeight = 19;

// Halves of odd lengths round to the even neighbour, as every fraction does.
int HalfOf(int length, int less = 0) {
    return units::RoundHalfEvenTo<int>(length / 2.0 - less);
}

} // namespace

QSize fMain::OuterSizeTwips() const {
    const QSize outer = frameGeometry().size();
    return {platform::PixelsToTwips(outer.width()), platform::PixelsToTwips(outer.height())};
}

void fMain::SetOuterSizeTwips(int widthTwips, int heightTwips) {
    // The frame is whatever the window system adds around the client area; before
    // the window is first shown it is not known yet and counts as none.
    const QSize frame = frameGeometry().size() - size();
    const QSize client(std::max(1, platform::TwipsToPixels(widthTwips) - frame.width()),
                       std::max(1, platform::TwipsToPixels(heightTwips) - frame.height()));
    if (windowState() & Qt::WindowMaximized) {
        // The size becomes the normal size the window returns to.
        const Qt::WindowStates state = windowState();
        setWindowState(state & ~Qt::WindowMaximized);
        resize(client);
        setWindowState(state);
        return;
    }
    resize(client);
}

bool fMain::EnforceMinimumSize() {
    const QSize outer = OuterSizeTwips();
    if (outer.width() < kMinOuterWidthTwips) {
        SetOuterSizeTwips(kMinOuterWidthTwips, outer.height());
        return true;
    }
    if (outer.height() < kMinOuterHeightTwips) {
        SetOuterSizeTwips(outer.width(), kMinOuterHeightTwips);
        return true;
    }
    return false;
}

void fMain::resizeEvent(QResizeEvent* /*event*/) {
    Form_Resize();
}

void fMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Restoring a minimized window lays it out again.
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
        Form_Resize();
    }
}

void fMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    // A window below the minimum is set to it; that raises a new resize, which
    // lays out.
    if (EnforceMinimumSize()) {
        return;
    }
    const int w = width();
    const int h = height();
    tbrMain_->setGeometry(0, 0, w, tbrMain_->sizeHint().height());
    const int t = tbrMain_->y();
    const int th = tbrMain_->height();

    vSplit_->setGeometry(10, t + th + 10, w - 20,
                         std::max(0, h - th - picStatus_->height() - cmdAbout_->height() - 20));
    const int below = vSplit_->y() + vSplit_->height() + 5;
    cmdAbout_->setGeometry(10, below, HalfOf(vSplit_->width()), cmdAbout_->height());
    cmdVisit_->setGeometry(cmdAbout_->x() + cmdAbout_->width() + 5, below,
                           HalfOf(vSplit_->width(), 5), cmdVisit_->height());
    picStatus_->setGeometry(10, cmdAbout_->y() + cmdAbout_->height() + 5, w - 20, kStatusHeight);
    picStatus_Resize();

    const QLabel* panel3 = StatusPanel(3);
    pbThumbs_->setGeometry(panel3->x() + 2, sbInfo_->y() + 3, panel3->width() - 4,
                           sbInfo_->height() - 5);
    pbThumbs_->raise();
}

void fMain::picStatus_Resize() {
    sbInfo_->setGeometry(0, 0, picStatus_->width(), picStatus_->height());
    // The panels' places are needed at once (pbThumbs lies over panel 3), also
    // while the window is hidden and resize events wait.
    if (QLayout* layout = sbInfo_->layout()) {
        layout->setGeometry(sbInfo_->rect());
    }
}

void fMain::picLV_Resize() {
    const int w = picLV_->width();
    ComboFilter_->setGeometry(0, 0, w, ComboFilter_->height());
    const int top = ComboFilter_->y() + ComboFilter_->height();
    lvFiles_->setGeometry(0, top, w, std::max(0, picLV_->height() - ComboFilter_->height()));
}

void fMain::pictreeview_Resize() {
    MoveTree(0, 0, static_cast<int>(std::lround(pictreeview_->ScaleWidth())),
             static_cast<int>(std::lround(pictreeview_->ScaleHeight())));
}
