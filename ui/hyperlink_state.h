// What a link control shows: its state (normal, visited, hover) and the colour, underline and
// shadow that go with it, driven by the pointer and by opening the target. Plain C++, no wx:
// the control (CKvHyperLink) asks it and paints.
#pragma once

#include <cstdint>

struct LinkColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const LinkColour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const LinkColour& other) const { return !(*this == other); }
};

class HyperLinkState {
public:
    enum State : std::int32_t { kNormal = 0, kVisited = 1, kHover = 2 };

    static constexpr LinkColour kNormalColour{0, 0, 238};    // blue
    static constexpr LinkColour kVisitedColour{85, 26, 139};  // purple
    static constexpr LinkColour kHoverColour{255, 0, 0};      // red

    State GetState() const { return m_nState; }

    // The colour the caption is drawn in now.
    LinkColour Colour() const;

    // The pointer is inside (or outside) the control. With hover tracking on, entering leaves
    // the state to come back to and shows hover; leaving returns to it. True when the control
    // must be painted again. With tracking off nothing changes.
    bool PointerAt(bool inside);

    // Hover ends without the pointer leaving (the context menu opens). True when it changed.
    bool LeaveHover();

    // The target was opened: the state is visited from now on, hover included. A failed open
    // changes nothing.
    void Opened(bool success);

    bool GetHoverTracking() const { return m_bHoverTracking; }
    // Turning tracking off ends a hover in progress.
    void SetHoverTracking(bool on);

    bool GetUnderline() const { return m_bUnderline; }
    void SetUnderline(bool on) { m_bUnderline = on; }

    bool GetHoverShadow() const { return m_bHoverShadow; }
    void SetHoverShadow(bool on) { m_bHoverShadow = on; }

    // Whether the caption gets its drop shadow now: while hovered with the shadow switched on.
    bool DrawsShadow() const { return m_nState == kHover && m_bHoverShadow; }

private:
    bool m_bHoverTracking = true;
    State m_nState = kNormal;
    bool m_bUnderline = true;
    bool m_bHoverShadow = true;
    State m_nStateBeforeHover = kNormal;
};
