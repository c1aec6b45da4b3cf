#include "app/statusbar.h"

#include <QLabel>
#include <QResizeEvent>

namespace app {

namespace {
    constexpr int kGap = 2;
    constexpr int kPadding = 4;
} // namespace

CStatusBar::CStatusBar(QWidget* parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
}

void CStatusBar::SetIndicators(int count)
{
    for (Pane& p : m_panes)
        delete p.label;
    m_panes.assign(size_t(std::max(count, 0)), Pane());
    for (Pane& p : m_panes) {
        p.label = new QLabel(this);
        p.label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        p.label->setTextFormat(Qt::PlainText);
        p.label->setContentsMargins(kPadding, 0, kPadding, 0);
        p.label->show();
    }
    Relayout();
}

void CStatusBar::SetPaneInfo(int index, int id, int style, int width)
{
    if (index < 0 || index >= GetCount())
        return;
    Pane& p = m_panes[size_t(index)];
    p.id = id;
    p.style = style;
    p.width = width;
    Relayout();
}

void CStatusBar::SetPaneText(int index, const QString& text)
{
    if (index < 0 || index >= GetCount())
        return;
    m_panes[size_t(index)].label->setText(text);
    Relayout();
}

QString CStatusBar::GetPaneText(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[size_t(index)].label->text() : QString();
}

int CStatusBar::GetPaneWidth(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[size_t(index)].label->width() : 0;
}

QSize CStatusBar::sizeHint() const
{
    return { 200, fontMetrics().height() + 10 };
}

void CStatusBar::Relayout()
{
    int x = kGap;
    const int h = height() > 0 ? height() : sizeHint().height();
    for (Pane& p : m_panes) {
        // A pane keeps its width unless its text needs more: a counter is never cut off.
        int w = std::max(p.width, p.label->sizeHint().width());
        if (p.style & SBPS_STRETCH)
            w = std::max(w, width() - x - kGap);
        p.label->setGeometry(x, kGap, w, h - 2 * kGap);
        x += w + kGap;
    }
}

} // namespace app
