#include "gui/console/before_read.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/compare/compare.h"
#include "gui/compare/compare_window.h"
#include "gui/console/console_context.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

namespace {
QPushButton* makeButton(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setEnabled(false);
    return button;
}
}  // namespace

BeforeRead::BeforeRead(ConsoleContext& context, QWidget* window)
    : QObject(window), m_context(context), m_window(window), m_controls(new QWidget(window)),
      m_changed(new QLabel(m_controls)),
      m_compare(makeButton(kCompareBeforeReadText, "btnCompareRead", m_controls)),
      m_restore(makeButton(kRestoreBeforeReadText, "btnRestoreRead", m_controls)),
      m_lastIdle(context.room()) {
    m_changed->setObjectName(QStringLiteral("readChanged"));
    m_changed->setWordWrap(true);
    m_changed->hide();
    auto* layout = new QVBoxLayout(m_controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_changed);
    // One above the other: side by side they do not fit the narrow list of differences.
    layout->addWidget(m_compare);
    layout->addWidget(m_restore);
    connect(&context, &ConsoleContext::effectsApplied, this, &BeforeRead::onEffects);
    connect(m_compare, &QPushButton::clicked, this, &BeforeRead::showComparison);
    connect(m_restore, &QPushButton::clicked, this, &BeforeRead::restore);
}

void BeforeRead::onEffects(const commissioning::Effects& effects) {
    // The first write of a read shows only after it happened: the copy taken while idle is the
    // room type before it.
    if (effects.readBack && !m_reading) {
        m_before = m_lastIdle;
        m_fromReadBefore = m_context.document().fromRead;
        m_reading = true;
    }
    if (effects.readBack) readWrote();
    if (!m_context.engine().runActive()) {
        m_reading = false;
        m_lastIdle = m_context.room();
        if (effects.readBack) showChanged();
    }
}

void BeforeRead::readWrote() {
    m_context.room().modified = 1;  // the main window's title gets its "*"
    m_context.document().fromRead = true;
    m_compare->setEnabled(true);
    m_restore->setEnabled(true);
}

// The devices whose answers differ from the room type before the read, in device order.
void BeforeRead::showChanged() {
    QStringList devices;
    for (const compare::Difference& line : compare::compareRoomTypes(*m_before, m_context.room())) {
        const QString group = QString::fromStdString(line.group);
        if (group.startsWith(QStringLiteral("设备")) && !devices.contains(group)) devices << group;
    }
    m_changed->setText(devices.isEmpty() ? QString()
                                         : QStringLiteral("读取改变了房型: ") + devices.join(' '));
    m_changed->setVisible(!devices.isEmpty());
}

void BeforeRead::showComparison() {
    if (!m_before) return;
    gui::showComparison(*m_before, m_context.room(), QStringLiteral("读取前的房型"),
                        QStringLiteral("读取后的房型"), m_window);
}

void BeforeRead::restore() {
    if (!m_before || m_context.engine().runActive()) return;
    m_context.room() = *m_before;
    m_context.document().fromRead = m_fromReadBefore;
    m_lastIdle = *m_before;
    m_before.reset();
    m_changed->clear();
    m_changed->hide();
    m_compare->setEnabled(false);
    m_restore->setEnabled(false);
    emit m_context.selectionChanged();  // the switch pages draw the room type again
}

bool BeforeRead::sendAllowed(ConsoleContext& context) {
    if (!context.document().fromRead || !context.room().modified) return true;
    return context.prompter().question(QString::fromUtf8(kSendReadRoomText),
                                       platform::defaultCaption(),
                                       platform::QuestionButtons::OkCancel) == platform::Answer::Ok;
}

}  // namespace room::gui
