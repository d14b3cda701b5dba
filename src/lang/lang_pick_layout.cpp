#include "lang_pick_layout.h"

namespace LangPickLayout {

Measures ForOptions(int optionCount) {
    Measures m;
    // What the window keeps around the frame stays the same as it grows.
    const int margin = m.windowHeight - m.frameHeight;
    m.optionTops.append(FirstOption.top);
    for (int i = 1; i < optionCount; ++i) {
        const int top = m.optionTops.last() + FirstOption.height + OptionGap;
        m.optionTops.append(top);
        const int bottom = top + FirstOption.height;
        if (m.frameHeight - Frame.top > bottom)
            continue;
        m.frameHeight = bottom + FramePadding;
        if (m.windowHeight - margin <= m.frameHeight - Frame.top) {
            m.windowHeight = m.frameHeight + Frame.top + margin;
            m.okTop = m.frameHeight + Frame.top + FramePadding;
        }
    }
    return m;
}

} // namespace LangPickLayout
