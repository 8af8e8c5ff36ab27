#include "gui/console/test_page_widgets.h"

#include <QFontMetrics>

#include "core/model/catalogues.h"
#include "gui/console/console_context.h"

namespace room::gui::testpage {

QPushButton* makeButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    const QFontMetrics metrics(button->font());
    button->setMinimumWidth(std::max(64, metrics.horizontalAdvance(caption) + 24));
    button->setMinimumHeight(metrics.height() + 12);
    button->setAutoDefault(false);
    return button;
}

QComboBox* makeList(const QStringList& items, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItems(items);
    list->setCurrentIndex(items.isEmpty() ? -1 : 0);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->setMinimumContentsLength(6);
    list->setMaxVisibleItems(20);
    return list;
}

std::optional<int> chosenNumber(const QComboBox& list) {
    if (list.currentIndex() < 0) return std::nullopt;
    return model::leadingNumber(list.currentText().toStdString());
}

QGroupBox* makeGroup(const QString& caption, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    const QFontMetrics metrics(group->font());
    group->setMinimumWidth(metrics.horizontalAdvance(caption) + 32);
    return group;
}

bool requirePort(ConsoleContext& context) {
    if (context.portOpen()) return true;
    context.prompter().information(kChoosePortText, platform::defaultCaption());
    return false;
}

bool sendOrRefuse(ConsoleContext& context, const std::optional<protocol::Bytes>& frame,
                  const QString& refusal) {
    if (!frame) {
        context.prompter().information(refusal, platform::defaultCaption());
        return false;
    }
    return context.sendCommand(*frame);
}

}  // namespace room::gui::testpage
