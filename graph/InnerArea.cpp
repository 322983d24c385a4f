#include "graph/InnerArea.h"

#include <cstdlib>

namespace {

std::uint64_t Span(std::int32_t a, std::int32_t b)
{
    return static_cast<std::uint64_t>(std::llabs(static_cast<long long>(a) - b));
}

}  // namespace

CInnerArea& CInnerArea::Shared()
{
    static CInnerArea instance;
    return instance;
}

void CInnerArea::SetFrame(const GraphRect& rect)
{
    if (Span(m_rcFrame.right, m_rcFrame.left) > std::uint64_t{m_nLeft} + m_nRight &&
        Span(m_rcFrame.bottom, m_rcFrame.top) > std::uint64_t{m_nTop} + m_nBottom) {
        m_rcFrame = rect;
        SetMargins(m_nLeft, m_nRight, m_nTop, m_nBottom);
    }
}

void CInnerArea::SetMargins(std::uint32_t left, std::uint32_t right, std::uint32_t top, std::uint32_t bottom)
{
    m_nLeft = left;
    m_nRight = right;
    m_nTop = top;
    m_nBottom = bottom;
    if (Span(m_rcFrame.right, m_rcFrame.left) <= std::uint64_t{left} + right)
        m_rcFrame.right = static_cast<std::int32_t>(m_rcFrame.left + left + right + 1);
    if (Span(m_rcFrame.bottom, m_rcFrame.top) <= std::uint64_t{top} + bottom)
        m_rcFrame.bottom = static_cast<std::int32_t>(m_rcFrame.top + top + bottom + 1);
    m_rcPlot = {static_cast<std::int32_t>(m_rcFrame.left + left), static_cast<std::int32_t>(m_rcFrame.top - top),
                static_cast<std::int32_t>(m_rcFrame.right - right),
                static_cast<std::int32_t>(m_rcFrame.bottom + bottom)};
}
