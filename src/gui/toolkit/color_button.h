#pragma once
// A flat push button filled with one colour and drawn by hand: the demonstration shows 216 of them
// and a style sheet per button would make the window slow to build.

#include <QColor>
#include <QPushButton>

namespace room::gui {

class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget* parent = nullptr);

    void setFillColor(const QColor& color);
    QColor fillColor() const { return m_fill; }
    // Text colour; an invalid colour picks black or white, whichever reads better on the fill.
    void setTextColor(const QColor& color);
    QColor effectiveTextColor() const;
    // A small dot in the top right corner: the button holds something (a scene key with settings).
    void setMarked(bool marked);
    bool isMarked() const { return m_marked; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill{Qt::lightGray};
    QColor m_text;
    bool m_marked = false;
};

}  // namespace room::gui
