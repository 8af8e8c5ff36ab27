#include "gui/editors/definition_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/console/console_frame.h"
#include "gui/editors/editor_widgets.h"
#include "gui/editors/lamp_grid.h"
#include "gui/toolkit/wheel_guard.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"

namespace room::gui {

using editing::DefinitionForm;
using editing::ListPage;
using editing::NumberField;

namespace {

QCheckBox* checkBox(std::string_view text, bool& value, QWidget* parent) {
    auto* box = new QCheckBox(fromUtf8(text), parent);
    box->setChecked(value);
    QObject::connect(box, &QCheckBox::toggled, parent, [&value](bool on) { value = on; });
    return box;
}

}  // namespace

DefinitionDialog::DefinitionDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                                   editing::EditMode mode, platform::Prompter& prompter,
                                   platform::SettingsStore* settings, QWidget* parent)
    : QDialog(parent),
      m_session(room, edit, mode, room.systemTypeSelection),
      m_prompter(prompter),
      m_settings(settings) {
    setObjectName(QStringLiteral("definitionDialog"));
    setWindowTitle(fromUtf8(editing::kDefinitionCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* frame = new ConsoleFrame(this);
    m_tabs = frame->tabs();
    QFont tabFont(QStringLiteral("宋体"));
    tabFont.setPointSize(12);
    m_tabs->tabBar()->setFont(tabFont);
    m_tabs->addTab(buildBasicPage(), fromUtf8(editing::kDefinitionTabs[0]));
    for (ListPage page : editing::kListPages) {
        m_tabs->addTab(buildListPage(page),
                       fromUtf8(editing::kDefinitionTabs[static_cast<int>(page)]));
    }
    m_tabs->addTab(buildOptionsPage(), fromUtf8(editing::kDefinitionTabs[7]));
    m_tabs->setCurrentIndex(0);
    layout->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = dialogButton(fromUtf8(editing::kOk), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* cancel = dialogButton(fromUtf8(editing::kCancel), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &DefinitionDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &DefinitionDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    // A wheel that scrolls a page past a list must not change the room's counts or types.
    QObject* guard = makeWheelGuard(this);
    for (QComboBox* list : findChildren<QComboBox*>()) ignoreWheelUnlessFocused(list, guard);
    updateEnabling();
    resize(1120, 660);  // inside a laptop screen less its taskbar and title bar
}

DefinitionDialog::~DefinitionDialog() = default;

LampGrid* DefinitionDialog::grid(ListPage page) const {
    return m_grids[static_cast<std::size_t>(page) - 1];
}

void DefinitionDialog::showMessage(const QString& text) {
    m_prompter.information(text, platform::defaultCaption());
}

// ---------------------------------------------------------------------------------------------
// Basic page

QWidget* DefinitionDialog::buildBasicPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageBasic"));
    auto* grid = new QGridLayout(page);
    DefinitionForm& f = m_session.form();
    auto textField = [&](const char* label, std::string& value, int row, int column) {
        auto* edit = new QLineEdit(fromUtf8(value), page);
        connect(edit, &QLineEdit::textChanged, this,
                [&value](const QString& t) { value = toUtf8(t); });
        grid->addWidget(labelFor(QString::fromUtf8(label), edit, page), row, column);
        grid->addWidget(edit, row, column + 1);
        return edit;
    };
    refuseFieldBreakers(textField("酒店名称：", f.hotelName, 0, 0));
    refuseFieldBreakers(textField("房型名称：", f.roomTypeName, 0, 2));
    textField("房型编号：", f.roomNumber, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("（每种房型采用不同的编号，以便维护！1-200）"), page),
                    1, 2, 1, 2);

    m_systemType = new QComboBox(page);
    m_systemType->setObjectName(QStringLiteral("systemType"));
    for (std::string_view name : model::systemTypeNames) m_systemType->addItem(fromUtf8(name));
    // Types beyond the named four (short-frame rooms) keep their number rather than be lost.
    for (int type = m_systemType->count(); type <= std::min(f.systemType, 6); ++type) {
        m_systemType->addItem(QString::number(type));
    }
    m_systemType->setCurrentIndex(std::clamp(f.systemType, 0, m_systemType->count() - 1));
    connect(m_systemType, &QComboBox::activated, this, [this](int index) {
        if (auto refused = m_session.chooseSystemType(index)) {
            showMessage(fromUtf8(*refused));
            m_systemType->setCurrentIndex(m_session.form().systemType);
        }
        updateEnabling();
    });
    grid->addWidget(labelFor(QStringLiteral("系统类型："), m_systemType, page), 2, 0);
    grid->addWidget(m_systemType, 2, 1);

    int row = 3;
    for (std::size_t i = 0; i < editing::kCountLists.size(); ++i) {
        const editing::CountSpec& info = editing::kCountLists[i];
        auto* list = new QComboBox(page);
        for (const std::string& entry : editing::countEntries(info)) list->addItem(fromUtf8(entry));
        list->setCurrentIndex(std::clamp(f.counts[i], 0, info.maximum));
        int& value = f.counts[i];
        connect(list, &QComboBox::currentIndexChanged, this,
                [&value](int index) { value = index; });
        const int column = static_cast<int>(i % 2) * 2;
        grid->addWidget(labelFor(fromUtf8(info.label), list, page), row, column);
        grid->addWidget(list, row, column + 1);
        if (i % 2 == 1) ++row;
    }
    ++row;
    grid->addWidget(checkBox("配置时向开关发送", f.sendToSwitch, page), row++, 0, 1, 2);
    addBasicHidden(grid, row);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QComboBox* DefinitionDialog::makerList(const std::vector<std::string_view>& entries, int& value,
                                       QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (std::string_view entry : entries) list->addItem(fromUtf8(entry));
    list->setCurrentIndex(std::clamp(value, 0, list->count() - 1));
    connect(list, &QComboBox::currentIndexChanged, this, [&value](int index) { value = index; });
    return list;
}

// Settings this version keeps but does not show: created hidden, carrying their values.
void DefinitionDialog::addBasicHidden(QGridLayout* grid, int& row) {
    QWidget* page = grid->parentWidget();
    DefinitionForm& f = m_session.form();
    const std::pair<const char*, QComboBox*> makers[] = {
        {"温控器厂家", makerList(editing::kThermostatMakers, f.thermostatMaker, page)},
        {"空调类型", makerList(editing::kAirConditionerKinds, f.airConditionerKind, page)},
        {"取电开关厂家", makerList(editing::kPowerSwitchMakers, f.powerSwitchMaker, page)},
        {"背景音乐厂家", makerList(editing::kBackgroundMusicMakers, f.backgroundMusicMaker, page)},
        {"485开关厂家", makerList(editing::kSwitchMakers485, f.switchMaker485, page)},
    };
    for (const auto& [name, list] : makers) {
        list->setAccessibleName(QString::fromUtf8(name));
        grid->addWidget(list, row++, 0);
        list->hide();
    }
    for (const editing::BoardChoice& board : editing::kOutputBoards) {
        auto* radio = new QRadioButton(fromUtf8(board.text), page);
        radio->setAutoExclusive(false);
        radio->setChecked(f.outputBoard == board.value);
        const int value = board.value;
        connect(radio, &QRadioButton::clicked, this, [this, value] {
            m_session.chooseOutputBoard(value);
            updateEnabling();
        });
        m_outputBoards.push_back(radio);
        grid->addWidget(radio, row++, 0);
        radio->hide();
    }
    m_inputBoard = new QRadioButton(fromUtf8(editing::kInputBoards[1].text), page);
    m_inputBoard->setAutoExclusive(false);
    m_inputBoard->setChecked(f.inputBoard == 32);
    connect(m_inputBoard, &QRadioButton::clicked, this, [this](bool on) {
        m_session.chooseInputBoard(on ? 32 : 0);
        updateEnabling();
    });
    grid->addWidget(m_inputBoard, row++, 0);
    m_inputBoard->hide();
    for (std::size_t i = 0; i < editing::kBasicFlags.size(); ++i) {
        auto* box = checkBox(editing::kBasicFlags[i].text, f.flags[i], page);
        if (i == 6) m_smallBoardUse = box;
        if (i == 7) m_largeBoardUse = box;
        grid->addWidget(box, row++, 0);
        box->hide();
    }
    auto* vacant = new QCheckBox(QStringLiteral("关门后未检测到人"), page);
    vacant->setChecked(f.vacantPowerOff);
    QLineEdit* minutes = numberField(NumberField::VacantMinutes, page);
    connect(vacant, &QCheckBox::toggled, this, [this, minutes](bool on) {
        m_session.setVacantPowerOff(on);
        minutes->setText(
            fromUtf8(m_session.form().numbers[static_cast<int>(NumberField::VacantMinutes)]));
    });
    grid->addWidget(vacant, row, 0);
    grid->addWidget(minutes, row++, 1);
    vacant->hide();
    minutes->hide();
}

QLineEdit* DefinitionDialog::numberField(NumberField field, QWidget* parent) {
    const editing::NumberFieldSpec& info = editing::numberFieldSpec(field);
    std::string& text = m_session.form().numbers[static_cast<int>(field)];
    auto* edit = new QLineEdit(fromUtf8(text), parent);
    edit->setMaximumWidth(70);
    edit->setAccessibleName(fromUtf8(info.before.empty() ? info.after : info.before));
    connect(edit, &QLineEdit::textChanged, this, [&text](const QString& t) { text = toUtf8(t); });
    return edit;
}

// ---------------------------------------------------------------------------------------------
// List pages

QWidget* DefinitionDialog::buildListPage(ListPage page) {
    const editing::ListPageSpec& info = editing::listPageSpec(page);
    auto* widget = new QWidget;
    widget->setObjectName(QStringLiteral("pageList%1").arg(static_cast<int>(page)));
    auto* grid = new QGridLayout(widget);
    auto* note = new QLabel(fromUtf8(info.note), widget);
    note->setWordWrap(true);
    note->setVisible(info.noteShown);
    grid->addWidget(note, 0, 0, 1, 3);
    auto* selection = new QLabel(widget);
    selection->setObjectName(QStringLiteral("selection%1").arg(static_cast<int>(page)));
    grid->addWidget(selection, 0, 3, Qt::AlignRight);
    m_selectionLabels.push_back(selection);
    auto* lamps = new LampGrid(
        m_session, page, [this](const QString& text) { showMessage(text); }, widget);
    lamps->setObjectName(QStringLiteral("grid%1").arg(static_cast<int>(page)));
    lamps->setAccessibleName(fromUtf8(editing::kDefinitionTabs[static_cast<int>(page)]).trimmed());
    connect(lamps, &LampGrid::lampToggled, this, &DefinitionDialog::updateEnabling);
    m_grids.push_back(lamps);
    grid->addWidget(lamps, 1, 0, 1, 4);
    grid->setRowStretch(1, 1);
    int row = 2;
    addPageExtras(page, grid, row);
    return widget;
}

void DefinitionDialog::addPageExtras(ListPage page, QGridLayout* grid, int& row) {
    QWidget* parent = grid->parentWidget();
    DefinitionForm& f = m_session.form();
    // A row "before [field] after"; hidden rows are created hidden.
    auto fieldRow = [&](NumberField field, bool shown) {
        const editing::NumberFieldSpec& info = editing::numberFieldSpec(field);
        QLineEdit* edit = numberField(field, parent);
        auto* before = new QLabel(fromUtf8(info.before), parent);
        auto* after = new QLabel(fromUtf8(info.after), parent);
        // The field is named by the text in front of it, or behind it when there is none.
        (info.before.empty() ? after : before)->setBuddy(edit);
        auto* line = new QWidget(parent);
        auto* h = new QHBoxLayout(line);
        h->setContentsMargins(0, 0, 0, 0);
        h->addWidget(before);
        h->addWidget(edit);
        h->addWidget(after);
        h->addStretch(1);
        grid->addWidget(line, row++, 0, 1, 4);
        line->setVisible(shown);
        if (info.lampCondition >= 0)
            m_conditional.emplace_back(field, page == ListPage::OtherKeys ? line : edit);
        return line;
    };
    switch (page) {
        case ListPage::Dimming: {
            fieldRow(NumberField::CardOutDelay, true);
            fieldRow(NumberField::SocketDelay, false);
            auto* fan = new QCheckBox(QStringLiteral("无人入住时换气扇每隔"), parent);
            fan->setChecked(f.fanTimer);
            connect(fan, &QCheckBox::toggled, this, [this](bool on) { m_session.setFanTimer(on); });
            grid->addWidget(fan, row++, 0);
            fan->hide();
            fieldRow(NumberField::FanInterval, false);
            fieldRow(NumberField::FanRunTime, false);
            auto* sliders = new QGroupBox(
                QStringLiteral("调光参数（一般第一个设为200，第二个设为80即可）"), parent);
            auto* sl = new QGridLayout(sliders);
            const std::pair<const char*, std::pair<int, int>> ranges[] = {
                {"最大亮度参数", {125, 195}}, {"最小亮度参数", {25, 125}}};
            for (int i = 0; i < 2; ++i) {
                auto* slider = new QSlider(Qt::Horizontal, sliders);
                slider->setRange(ranges[i].second.first, ranges[i].second.second);
                const model::RoomTypeConfig& e = m_session.edit();
                slider->setValue(i == 0 ? e.dimMaxBrightness : e.dimMinBrightness);
                sl->addWidget(labelFor(QString::fromUtf8(ranges[i].first), slider, sliders), i, 0);
                sl->addWidget(slider, i, 1);
                sl->addWidget(new QLabel(QString::number(slider->value()), sliders), i, 2);
            }
            grid->addWidget(sliders, row++, 0, 1, 4);
            sliders->hide();
            break;
        }
        case ListPage::Curtains: {
            for (int i = 0; i < 13; ++i) {
                fieldRow(static_cast<NumberField>(static_cast<int>(NumberField::CurtainTime0) + i),
                         false);
            }
            auto* pairs = new QWidget(parent);
            auto* pl = new QGridLayout(pairs);
            pl->setContentsMargins(0, 0, 0, 0);
            for (int i = 0; i < 13; ++i) {
                const int first = editing::kCurtainPairs[static_cast<std::size_t>(i)];
                const std::string text =
                    std::to_string(first) + "与" + std::to_string(first + 1) + "号设为一键控制";
                pl->addWidget(checkBox(text, f.curtainOneKey[static_cast<std::size_t>(i)], pairs),
                              i / 5, i % 5);
            }
            grid->addWidget(pairs, row++, 0, 1, 4);
            auto* motor = checkBox("485窗帘电机", f.curtain485, parent);
            auto* makers = makerList(editing::kCurtainMotorMakers, f.curtainMotorMaker, parent);
            auto* makerLabel = labelFor(QStringLiteral("485窗帘电机厂家："), makers, parent);
            makers->setVisible(f.curtain485);
            makerLabel->setVisible(f.curtain485);
            connect(motor, &QCheckBox::toggled, makers, &QWidget::setVisible);
            connect(motor, &QCheckBox::toggled, makerLabel, &QWidget::setVisible);
            auto* line = new QHBoxLayout;
            line->addWidget(motor);
            line->addWidget(makerLabel);
            line->addWidget(makers);
            line->addWidget(checkBox("弱电控制", f.curtainWeak, parent));
            line->addStretch(1);
            grid->addLayout(line, row++, 0, 1, 4);
            break;
        }
        case ListPage::SceneKeys: {
            for (std::string_view note : editing::kBacklightNotes) {
                auto* label = new QLabel(fromUtf8(note), parent);
                grid->addWidget(label, row++, 0, 1, 4);
                label->hide();
            }
            for (int k = 0; k < 4; ++k) {
                editing::CycleKey& key = f.cycleKeys[static_cast<std::size_t>(k)];
                const std::string text = "设置" + std::to_string(51 + k) + "号为1键模式切换按键";
                auto* box = checkBox(text, key.on, parent);
                auto* fields = new QWidget(parent);
                auto* h = new QHBoxLayout(fields);
                h->addWidget(new QLabel(QStringLiteral("输入需要循环的模式编号"), fields));
                for (std::string& mode : key.modes) {
                    auto* edit = new QLineEdit(fromUtf8(mode), fields);
                    edit->setAccessibleName(QStringLiteral("输入需要循环的模式编号"));
                    connect(edit, &QLineEdit::textChanged, this,
                            [&mode](const QString& t) { mode = toUtf8(t); });
                    h->addWidget(edit);
                }
                connect(box, &QCheckBox::toggled, fields, &QWidget::setVisible);
                fields->setVisible(key.on);
                grid->addWidget(box, row, 0);
                grid->addWidget(fields, row++, 1, 1, 3);
                box->hide();
                fields->hide();
            }
            break;
        }
        case ListPage::OtherKeys: {
            fieldRow(NumberField::OffDelay65, true);
            fieldRow(NumberField::OffDelay66, true);
            auto* blink = checkBox("按稍候键闪烁几秒即灭", f.waitKeyBlink, parent);
            grid->addWidget(blink, row++, 0);
            blink->hide();
            break;
        }
        case ListPage::Reserved: {
            fieldRow(NumberField::DoorLampTime, false);
            for (int i = 0; i < 4; ++i) {
                fieldRow(static_cast<NumberField>(static_cast<int>(NumberField::SignalLamp0) + i),
                         false);
            }
            fieldRow(NumberField::SafeLampTime, false);
            break;
        }
        case ListPage::Ordinary:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Function options

QWidget* DefinitionDialog::buildOptionsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageOptions"));
    auto* grid = new QGridLayout(page);
    DefinitionForm& f = m_session.form();
    for (int byte = 0; byte < 6; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            const auto& text = editing::kFunctionOptionTexts[static_cast<std::size_t>(byte)]
                                                            [static_cast<std::size_t>(bit)];
            auto* box = new QCheckBox(fromUtf8(text), page);
            box->setObjectName(QStringLiteral("option%1%2").arg(QChar('A' + byte)).arg(bit));
            box->setChecked((f.options[static_cast<std::size_t>(byte)] >> bit) & 1);
            std::uint8_t& value = f.options[static_cast<std::size_t>(byte)];
            connect(box, &QCheckBox::toggled, this, [&value, bit](bool on) {
                value =
                    static_cast<std::uint8_t>(on ? (value | (1 << bit)) : (value & ~(1 << bit)));
            });
            grid->addWidget(box, byte * 8 + bit, 0);
            box->setVisible(byte == 0 && bit < 5);
        }
    }
    grid->setRowStretch(48, 1);
    return page;
}

// ---------------------------------------------------------------------------------------------

void DefinitionDialog::updateEnabling() {
    const editing::BoardUseEnabling use = m_session.boardUseEnabling();
    if (m_smallBoardUse) m_smallBoardUse->setEnabled(use.smallBoard);
    if (m_largeBoardUse) m_largeBoardUse->setEnabled(use.largeBoard);
    for (std::size_t i = 0; i < m_outputBoards.size(); ++i) {
        const int value = editing::kOutputBoards[i].value;
        m_outputBoards[i]->setEnabled(m_session.outputBoardEnabled(value));
        m_outputBoards[i]->setChecked(m_session.form().outputBoard == value);
    }
    if (m_inputBoard) {
        m_inputBoard->setEnabled(m_session.inputBoardEnabled());
        m_inputBoard->setChecked(m_session.form().inputBoard == 32);
    }
    const QString selection = fromUtf8(m_session.selectionText());
    for (QLabel* label : m_selectionLabels) label->setText(selection);
    for (LampGrid* grid : m_grids) grid->refreshMarkers();
    for (const auto& [field, widget] : m_conditional) {
        const bool available = m_session.numberFieldAvailable(field);
        // The other-key page shows its delays; the reserved page enables its hidden fields.
        if (editing::numberFieldSpec(field).tab == 5) {
            widget->setVisible(available);
        } else {
            widget->setEnabled(available);
        }
    }
}

void DefinitionDialog::accept() {
    const editing::AcceptOutcome outcome = m_session.accept();
    for (const std::string& message : outcome.messages) showMessage(fromUtf8(message));
    if (!outcome.accepted) return;
    if (outcome.systemTypeToSave && m_settings)
        m_settings->writeSystemType(*outcome.systemTypeToSave);
    QDialog::accept();
}

bool runDefinitionDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                         editing::EditMode mode, platform::Prompter& prompter,
                         platform::SettingsStore* settings, QWidget* parent) {
    DefinitionDialog dialog(room, edit, mode, prompter, settings, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace room::gui
