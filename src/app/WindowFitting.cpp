// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/WindowFitting.h"

#include <algorithm>
#include <cmath>

namespace fitting {
namespace {
int scaled(int twips, double tpp) {
    return static_cast<int>(std::lround(twips * tpp / kDesignTwipsPerPixel));
}
}  // namespace

double twipsPerPixel(double logicalDpi) {
    return logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0;
}

WindowFit fitWindow(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                    int screenWidth, int screenHeight, double tppX, double tppY) {
    WindowFit fit{};
    fit.width = (windowWidth - clientWidth) + scaled(clientWidth, tppX);
    fit.height = (windowHeight - clientHeight) + scaled(clientHeight, tppY);
    fit.left = (screenWidth - fit.width) / 2;
    fit.top = (screenHeight - fit.height) / 2;
    return fit;
}

TwipRect fitControl(const TwipRect& rect, double tppX, double tppY, bool keepHeight) {
    return {scaled(rect.left, tppX), scaled(rect.top, tppY), scaled(rect.width, tppX),
            keepHeight ? rect.height : scaled(rect.height, tppY)};
}

double fitFontSize(double points, double tppX) {
    // Font sizes go in quarter points, as fine as the fonts can follow.
    return std::round(points * tppX / kDesignTwipsPerPixel * 4.0) / 4.0;
}

int stretchedWidth(int clientWidth, int left) {
    return std::max(0, clientWidth - (left + kRightMargin));
}

}  // namespace fitting
