#include "gui/toolkit/color_button.h"

#include <QPainter>
#include <QStyleOption>

namespace room::gui {

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::TabFocus);
}

void ColorButton::setFillColor(const QColor& color) {
    if (color == m_fill) return;
    m_fill = color;
    update();
}

void ColorButton::setTextColor(const QColor& color) {
    m_text = color;
    update();
}

void ColorButton::setMarked(bool marked) {
    if (marked == m_marked) return;
    m_marked = marked;
    update();
}

QColor ColorButton::effectiveTextColor() const {
    if (m_text.isValid()) return m_text;
    // Perceived brightness, so that cyan (lightness 0.5, but bright) gets black text.
    const double luma = 0.299 * m_fill.redF() + 0.587 * m_fill.greenF() + 0.114 * m_fill.blueF();
    return luma > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

QSize ColorButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 10, metrics.height() + 8);
}

QSize ColorButton::minimumSizeHint() const {
    return sizeHint();
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = m_fill;
    // A checked button (the chosen pen) stays pressed in.
    const bool pressed = isDown() || isChecked();
    if (pressed) fill = fill.darker(isChecked() ? 150 : 130);
    QColor ink = effectiveTextColor();
    if (!isEnabled()) {
        fill = QColor::fromHsvF(fill.hsvHueF(), fill.hsvSaturationF() * 0.4, fill.valueF() * 0.8);
        ink = QColor(0x80, 0x80, 0x80);
    }
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(fill.lightnessF() > 0.5 ? fill.darker(160) : QColor(0x90, 0x90, 0x90), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(box, 3, 3);
    if (isChecked()) {
        painter.setPen(QPen(QColor(255, 200, 0), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 3, 3);
    }
    if (m_marked) {
        painter.setPen(QPen(QColor(40, 40, 40), 1));
        painter.setBrush(QColor(255, 140, 0));
        painter.drawEllipse(QRectF(box.right() - 9, box.top() + 2, 7, 7));
    }
    if (hasFocus()) {
        painter.setPen(QPen(ink, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(2, 2, -2, -2), 2, 2);
    }
    painter.setPen(ink);
    if (pressed) painter.translate(1, 1);
    const QRect area = rect().adjusted(3, 0, -3, 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignCenter, shown);
}

}  // namespace room::gui
