#pragma once

#include <QList>

// The language choice window grows with the number of packs. Its measures
// are worked out in twips, as the window was drawn, and turned into pixels
// once at the end.
namespace LangPickLayout {

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

// The window as drawn, in twips; the options sit inside the frame.
inline constexpr int WindowWidth = 4680;
inline constexpr int WindowHeight = 2010;
inline constexpr Rect Frame{120, 120, 4455, 1095};
inline constexpr Rect FirstOption{240, 360, 3975, 375};
inline constexpr Rect Ok{120, 1320, 4455, 615};
// Space between two options, and below the last option inside the frame.
inline constexpr int OptionGap = 10;
inline constexpr int FramePadding = 120;

struct Measures {
    QList<int> optionTops;
    int frameHeight = Frame.height;
    int windowHeight = WindowHeight;
    int okTop = Ok.top;
};

// The measures with optionCount options stacked in the frame (the first
// option is always there, so fewer than one counts as one).
Measures ForOptions(int optionCount);

} // namespace LangPickLayout
