#pragma once

#include <QWidget>

#include <vector>

class QLabel;

namespace app {

inline constexpr int SBPS_NORMAL = 0x0000;
inline constexpr int SBPS_STRETCH = 0x0800;

// A status bar along the bottom of a window: panes of fixed pixel width, each with its text.
class CStatusBar final : public QWidget {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);

    void SetIndicators(int count);
    void SetPaneInfo(int index, int id, int style, int width);
    void SetPaneText(int index, const QString& text);
    QString GetPaneText(int index) const;
    int GetPaneWidth(int index) const;
    int GetCount() const { return int(m_panes.size()); }
    QSize sizeHint() const override;

private:
    void Relayout();

    struct Pane {
        QLabel* label = nullptr;
        int id = 0;
        int style = SBPS_NORMAL;
        int width = 0;
    };
    std::vector<Pane> m_panes;
};

} // namespace app
