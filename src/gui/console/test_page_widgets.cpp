#include "gui/console/test_page_widgets.h"

#include <QFontMetrics>
#include <algorithm>

#include "core/model/catalogues.h"
#include "gui/console/console_context.h"
#include "gui/toolkit/color_button.h"
#include "gui/toolkit/wheel_guard.h"

namespace room::gui::testpage {

namespace {

// Sizes follow the font the console gives the page, whenever it is set, so no caption is clipped.
class PageButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override {
        const QSize base = QPushButton::sizeHint();
        const int text = fontMetrics().horizontalAdvance(this->text());
        return {std::max({72, base.width() + 16, text + 28}), base.height() + 8};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

class PageGroup : public QGroupBox {
public:
    using QGroupBox::QGroupBox;
    QSize minimumSizeHint() const override {
        const QSize base = QGroupBox::minimumSizeHint();
        return {std::max(base.width(), fontMetrics().horizontalAdvance(title()) + 32),
                base.height()};
    }
};

class FlagButton : public ColorButton {
public:
    using ColorButton::ColorButton;
    QSize sizeHint() const override { return ColorButton::sizeHint() + QSize(20, 12); }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

}  // namespace

QPushButton* makeButton(const QString& caption, QWidget* parent) {
    auto* button = new PageButton(caption, parent);
    button->setAutoDefault(false);
    return button;
}

ColorButton* makeFlagButton(const QString& caption, QWidget* parent) {
    auto* button = new FlagButton(parent);
    button->setText(caption);
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
    // Choosing an item sends a command on most of these lists.
    ignoreWheelUnlessFocused(list);
    return list;
}

std::optional<int> chosenNumber(const QComboBox& list) {
    if (list.currentIndex() < 0) return std::nullopt;
    return model::leadingNumber(list.currentText().toStdString());
}

QGroupBox* makeGroup(const QString& caption, QWidget* parent) {
    return new PageGroup(caption, parent);
}

QGridLayout* makeGroupGrid(QGroupBox* group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(14, 16, 14, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    return grid;
}

QHBoxLayout* makePageColumns(QWidget* page) {
    auto* columns = new QHBoxLayout(page);
    // Narrow enough that every page shows whole in the console on a laptop screen.
    columns->setContentsMargins(14, 14, 14, 14);
    columns->setSpacing(20);
    return columns;
}

bool requirePort(ConsoleContext& context) {
    if (context.portOpen()) return true;
    context.prompter().information(kChoosePortText, platform::defaultCaption());
    return false;
}

bool sendOrRefuse(ConsoleContext& context, const std::optional<protocol::Bytes>& frame,
                  const QString& refusal, const QString& what) {
    if (!frame) {
        context.prompter().information(refusal, platform::defaultCaption());
        return false;
    }
    return context.sendCommand(*frame, what);
}

}  // namespace room::gui::testpage
