#include "ui/hyperlink_state.h"

constexpr LinkColour HyperLinkState::kNormalColour;
constexpr LinkColour HyperLinkState::kVisitedColour;
constexpr LinkColour HyperLinkState::kHoverColour;

LinkColour HyperLinkState::Colour() const {
    switch (m_nState) {
        case kVisited: return kVisitedColour;
        case kHover: return kHoverColour;
        default: return kNormalColour;
    }
}

bool HyperLinkState::PointerAt(bool inside) {
    if (!m_bHoverTracking) return false;
    if (inside && m_nState != kHover) {
        m_nStateBeforeHover = m_nState;
        m_nState = kHover;
        return true;
    }
    if (!inside && m_nState == kHover) {
        m_nState = m_nStateBeforeHover;
        return true;
    }
    return false;
}

bool HyperLinkState::LeaveHover() {
    if (m_nState != kHover) return false;
    m_nState = m_nStateBeforeHover;
    return true;
}

void HyperLinkState::Opened(bool success) {
    // Also from hover: the next move over the link shows hover again and remembers visited.
    if (success) m_nState = kVisited;
}

void HyperLinkState::SetHoverTracking(bool on) {
    if (!on) LeaveHover();
    m_bHoverTracking = on;
}
