#include "gui/console/before_read.h"

#include <QPushButton>

#include "gui/compare/compare_window.h"
#include "gui/console/console_context.h"

namespace room::gui {

BeforeRead::BeforeRead(ConsoleContext& context, QPushButton* button, QWidget* window)
    : QObject(window), m_context(context), m_button(button), m_window(window),
      m_lastIdle(context.room()) {
    m_button->setEnabled(false);
    connect(&context, &ConsoleContext::effectsApplied, this, &BeforeRead::onEffects);
    connect(m_button, &QPushButton::clicked, this, &BeforeRead::showComparison);
}

void BeforeRead::onEffects(const commissioning::Effects& effects) {
    // The first write of a read shows only after it happened: the copy taken while idle is the
    // room type before it.
    if (effects.readBack && !m_reading) {
        m_before = m_lastIdle;
        m_reading = true;
        m_button->setEnabled(true);
    }
    if (!m_context.engine().runActive()) {
        m_reading = false;
        m_lastIdle = m_context.room();
    }
}

void BeforeRead::showComparison() {
    if (!m_before) return;
    gui::showComparison(*m_before, m_context.room(), QStringLiteral("读取前的房型"),
                        QStringLiteral("读取后的房型"), m_window);
}

}  // namespace room::gui
