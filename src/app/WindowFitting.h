// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The arithmetic that fits the windows to the screen and stretches the main window's lists.
// Everything is in twips; the windows were laid out for 15 twips per pixel.
namespace fitting {

inline constexpr double kDesignTwipsPerPixel = 15.0;
inline constexpr int kRightMargin = 100;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Twips per pixel of a screen with this many logical dots per inch (96 gives 15, 120 gives 12).
double twipsPerPixel(double logicalDpi);

// A window's outer size and place after fitting: the client area scaled, the frame kept,
// the whole centred on the screen.
struct WindowFit {
    int width;
    int height;
    int left;
    int top;
};
WindowFit fitWindow(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                    int screenWidth, int screenHeight, double tppX, double tppY);

// A control after fitting; a drive list keeps its height (keepHeight).
TwipRect fitControl(const TwipRect& rect, double tppX, double tppY, bool keepHeight);
double fitFontSize(double points, double tppX);

// The stretched width of the kept-entry lists for a client area this wide: the client width
// less the list's left edge and the right margin, never below zero.
int stretchedWidth(int clientWidth, int left);

}  // namespace fitting
