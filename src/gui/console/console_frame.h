#pragma once
// The console's frame around its tab control: a rounded rectangle (radius 10) in RGB(97,120,140)
// reaching 10 pixels beyond the tab control, whose own area is filled in the button-face colour.

#include <QWidget>

class QTabWidget;

namespace room::gui {

class ConsoleFrame : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 10;
    static constexpr int kRadius = 10;
    static QColor frameColor() { return QColor(97, 120, 140); }
    // The system's button-face colour, as the tab pages are painted on it.
    static QColor buttonFace();

    explicit ConsoleFrame(QWidget* parent = nullptr);
    QTabWidget* tabs() const { return m_tabs; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTabWidget* m_tabs = nullptr;
};

}  // namespace room::gui
