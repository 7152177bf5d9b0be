#include "controls/ScrollViewLayout.h"

#include "imaging/Units.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scrollview {

ScrollLayout ArrangeScrollView(int W, int H, int imageW, int imageH, int borderStyle,
                               int hBarHeight, int vBarWidth) {
    ScrollLayout out;
    // A 2-pixel frame is left for the border, unless there is none.
    out.viewport = borderStyle == 0 ? Box{0, 0, W, H} : Box{2, 2, W - 4, H - 4};
    const int vw = out.viewport.width;
    const int vh = out.viewport.height;
    const bool wider = vw < imageW;
    const bool taller = vh < imageH;
    out.image = Box{0, 0, imageW, imageH};
    // Ranges in double: the sum of two int-sized widths may not fit an int.
    out.hBar.geometry = Box{0, float(vh - hBarHeight), vw - vBarWidth, hBarHeight};
    out.hBar.max = units::RoundHalfEvenTo<std::int32_t>(double(imageW) - vw + vBarWidth);
    out.hBar.largeChange = units::RoundHalfEvenTo<std::int32_t>(vw / 2.0);
    out.hBar.visible = wider;
    out.vBar.geometry = Box{float(vw - vBarWidth), 0, vBarWidth, vh - hBarHeight};
    out.vBar.max = units::RoundHalfEvenTo<std::int32_t>(double(imageH) - vh + hBarHeight);
    out.vBar.largeChange = units::RoundHalfEvenTo<std::int32_t>(vh / 2.0);
    out.vBar.visible = taller;
    // Without the other bar the range loses that bar's thickness again.
    if (!taller) {
        out.hBar.max = units::RoundHalfEvenTo<std::int32_t>(double(out.hBar.max) - vBarWidth);
        out.image.left = vw / 2.0F - imageW / 2.0F;
    }
    if (!wider) {
        out.vBar.max = units::RoundHalfEvenTo<std::int32_t>(double(out.vBar.max) - hBarHeight);
        out.image.top = vh / 2.0F - imageH / 2.0F;
    }
    // Once either bar shows, the picture starts at the top left corner.
    if (taller || wider) {
        out.image.left = 0;
        out.image.top = 0;
    }
    // The corner button fills the square where the two bars meet.
    out.corner =
        Box{out.vBar.geometry.left, out.vBar.geometry.top + float(out.vBar.geometry.height),
            vBarWidth, hBarHeight};
    out.cornerVisible = taller || wider;
    return out;
}

Box FitViewport(int W, int H) {
    return Box{2, 2, W - 4, H - 4};
}

Box FitPicture(int sourceW, int sourceH, int targetW, int targetH, int margin, bool centre) {
    std::int32_t sw = sourceW;
    std::int32_t sh = sourceH;
    const std::int32_t tw = targetW - margin;
    const std::int32_t th = targetH - margin;
    if (sw > tw && sw > 0) {
        sh = units::RoundHalfEvenTo<std::int32_t>(double(sh) * tw / sw);
        sw = tw;
    }
    if (sh > th && sh > 0) {
        sw = units::RoundHalfEvenTo<std::int32_t>(double(sw) * th / sh);
        sh = th;
    }
    sw = std::max(sw, 0);
    sh = std::max(sh, 0);
    if (centre) {
        return Box{float(units::RoundHalfEvenTo<std::int32_t>((targetW - double(sw)) / 2)),
                   float(units::RoundHalfEvenTo<std::int32_t>((targetH - double(sh)) / 2)), sw, sh};
    }
    return Box{float(margin), float(margin), sw, sh};
}

} // namespace scrollview
