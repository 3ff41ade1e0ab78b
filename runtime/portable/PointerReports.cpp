#include "PointerReports.h"

namespace forms {

ScreenPoint PointerMerge::Next(ScreenPoint fromX, std::optional<ScreenPoint> fromDesktop)
{
    bool xSawAMove = m_lastFromX && *m_lastFromX != fromX;
    if (fromDesktop)
        m_shown = *fromDesktop;
    else if (xSawAMove || !m_lastFromX)
        m_shown = fromX; // the first tick has nothing older to keep
    m_lastFromX = fromX;
    return m_shown;
}

} // namespace forms
