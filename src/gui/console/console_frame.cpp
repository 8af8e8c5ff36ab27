#include "gui/console/console_frame.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace room::gui {

QColor ConsoleFrame::buttonFace() {
    return QColor(240, 240, 240);  // COLOR_BTNFACE on the installers' Windows machines
}

ConsoleFrame::ConsoleFrame(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(false);
    // The pages sit on button face with black text, whatever the dialog colours around them.
    QPalette palette = m_tabs->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, buttonFace());
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Button, buttonFace());
    }
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, Qt::black);
        palette.setColor(group, QPalette::Text, Qt::black);
        palette.setColor(group, QPalette::ButtonText, Qt::black);
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    m_tabs->setPalette(palette);
    m_tabs->setAutoFillBackground(true);
    layout->addWidget(m_tabs);
}

void ConsoleFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(frameColor(), 1));
    painter.setBrush(frameColor());
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(buttonFace());
    painter.drawRect(m_tabs->geometry());
}

}  // namespace room::gui
