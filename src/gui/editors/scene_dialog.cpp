#include "gui/editors/scene_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/editing/close_gate.h"
#include "gui/editors/editor_widgets.h"
#include "gui/editors/frame_pacer.h"
#include "gui/ports/port_combo_box.h"
#include "gui/toolkit/color_button.h"
#include "gui/toolkit/wheel_guard.h"
#include "platform/prompter.h"
#include "platform/serial_link.h"

namespace room::gui {

using editing::Colours;

namespace {

QColor toColor(const commissioning::Rgb& rgb) {
    return QColor(rgb.r, rgb.g, rgb.b);
}

void paint(ColorButton* button, const Colours& colours) {
    button->setFillColor(toColor(colours.background));
    button->setTextColor(toColor(colours.text));
}

ColorButton* colourButton(const QString& text, const Colours& colours, QWidget* parent) {
    auto* button = new ColorButton(parent);
    button->setText(text);
    paint(button, colours);
    return button;
}

const Colours kDialogButton{{144, 215, 236}, {0, 0, 0}};
const Colours kLegendOn{{0, 240, 0}, {0, 0, 0}};
const Colours kLegendOff{{10, 10, 10}, {255, 255, 255}};
const Colours kLegendNot{{139, 126, 102}, {255, 255, 255}};

}  // namespace

SceneDialog::SceneDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                         editing::EditMode mode, platform::Prompter& prompter,
                         std::function<void(int)> modeChanged, QWidget* parent)
    : QDialog(parent),
      m_session(room, edit, mode),
      m_prompter(prompter),
      m_modeChanged(std::move(modeChanged)),
      m_pacer(new FramePacer(this)),
      m_room(room) {
    m_portOffered = edit.sendToSwitch;
    setObjectName(QStringLiteral("sceneDialog"));
    setWindowTitle(QStringLiteral("配置情景模式"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(buildValueRow());
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildKeys());
    middle->addWidget(buildOutputs(), 1);
    layout->addLayout(middle, 1);
    layout->addWidget(buildBottomRow());
    connect(m_pacer, &FramePacer::pendingChanged, this,
            [this](int count) { m_queued->setText(fromUtf8(editing::queuedFramesText(count))); });
    connect(m_pacer, &FramePacer::idle, this, [this] { finish(m_gate.drained()); });
    redraw();
}

SceneDialog::~SceneDialog() = default;

QWidget* SceneDialog::buildValueRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(3);
    for (std::size_t i = 0; i < editing::kPenButtons.size(); ++i) {
        const editing::PenButton& pen = editing::kPenButtons[i];
        auto* button = colourButton(QString::fromUtf8(pen.text), pen.colours, row);
        button->setMinimumWidth(46);
        button->setCheckable(true);  // the pen in use stays pressed in
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, index] {
            m_session.choosePen(index);
            redrawPens();
        });
        m_pens.push_back(button);
        h->addWidget(button);
    }
    h->addSpacing(12);
    const std::pair<const char*, Colours> bulk[] = {
        {"全开", kLegendOn}, {"全关", kLegendOff}, {"全不受控", kLegendNot}};
    for (int a = 0; a < 3; ++a) {
        auto* button = colourButton(QString::fromUtf8(bulk[a].first), bulk[a].second, row);
        const auto action = static_cast<editing::BulkAction>(a + 1);
        connect(button, &QPushButton::clicked, this, [this, action] {
            send(m_session.bulk(action));
            redraw();
        });
        m_bulk.push_back(button);
        h->addWidget(button);
    }
    h->addStretch(1);
    return row;
}

QWidget* SceneDialog::buildKeys() {
    auto* group = new QGroupBox(QStringLiteral("情景模式按键"), this);
    auto* v = new QVBoxLayout(group);
    v->setSpacing(2);
    v->setContentsMargins(4, 4, 4, 4);
    for (int key = 1; key <= editing::kSceneKeys; ++key) {
        auto* button = new ColorButton(group);
        button->setText(fromUtf8(m_session.keyText(key)));
        button->setAccessibleName(button->text());
        button->setAccessibleDescription(QStringLiteral("情景%1").arg(key));
        button->setObjectName(QStringLiteral("scene%1").arg(key));
        button->setMinimumWidth(104);
        button->setMaximumHeight(22);
        connect(button, &QPushButton::clicked, this, [this, key] {
            send(m_session.chooseKey(key));
            redraw();
        });
        m_keys[static_cast<std::size_t>(key - 1)] = button;
        v->addWidget(button);
    }
    v->addStretch(1);
    return group;
}

QWidget* SceneDialog::buildOutputs() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    static const char* const kGroupTexts[6] = {"1-5号开关继电器",   "6-10号开关继电器",
                                               "11-15号开关继电器", "16-20号开关继电器",
                                               "21-25号开关继电器", "26-30号开关继电器"};
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (int g = 0; g < 6; ++g) {
        auto* group = new QGroupBox(QString::fromUtf8(kGroupTexts[g]), area);
        // The smaller font once for the whole grid rather than per button (opening time).
        auto* inner = new QWidget(group);
        inner->setFont(small);
        auto* frame = new QVBoxLayout(group);
        frame->setContentsMargins(0, 0, 0, 0);
        frame->addWidget(inner);
        auto* cells = new QGridLayout(inner);
        cells->setSpacing(2);
        cells->setContentsMargins(3, 3, 3, 3);
        for (int d = 0; d < 5; ++d) addOutputRow(5 * g + d + 1, cells, d);
        m_groups[static_cast<std::size_t>(g)] = group;
        grid->addWidget(group, g / 2, g % 2);
    }
    grid->setRowStretch(3, 1);
    return area;
}

// One device's row: its number and location, then its six outputs.
void SceneDialog::addOutputRow(int device, QGridLayout* cells, int row) {
    QWidget* inner = cells->parentWidget();
    auto* label = new QLabel(fromUtf8(m_session.deviceRowLabel(device)), inner);
    label->setMinimumWidth(64);
    label->setMaximumWidth(96);
    label->setToolTip(label->text());
    cells->addWidget(label, row, 0);
    for (int o = 0; o < 6; ++o) {
        const int slot = 6 * (device - 1) + o + 1;
        auto* button = new ColorButton(inner);
        button->setObjectName(QStringLiteral("output%1").arg(slot));
        button->setAccessibleDescription(QStringLiteral("输出%1").arg(slot));
        button->setAccessibleName(button->accessibleDescription());  // until it has a text
        button->setMinimumWidth(72);
        button->setMaximumHeight(22);
        // An empty place keeps its room in the grid, so outputs stay under their device.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        connect(button, &QPushButton::clicked, this, [this, slot] {
            send(m_session.clickOutput(slot));
            redraw();
        });
        m_outputs[static_cast<std::size_t>(slot - 1)] = button;
        cells->addWidget(button, row, o + 1);
    }
}

QWidget* SceneDialog::buildBottomRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, Colours> legend[] = {{"代表灯亮(通电)", kLegendOn},
                                                      {"代表灯灭(断电)", kLegendOff},
                                                      {"代表不受控(保持当前状态)", kLegendNot}};
    for (const auto& [text, colours] : legend) {
        auto* swatch = colourButton(QString(), colours, row);
        swatch->setFixedSize(18, 18);
        swatch->setEnabled(false);
        swatch->setFocusPolicy(Qt::NoFocus);
        swatch->setAccessibleName(QString::fromUtf8(text));
        h->addWidget(swatch);
        h->addWidget(new QLabel(QString::fromUtf8(text), row));
    }
    auto* notes = colourButton(QStringLiteral("特殊配置说明"), kDialogButton, row);
    connect(notes, &QPushButton::clicked, this, &SceneDialog::showSpecialNotes);
    h->addWidget(notes);
    h->addSpacing(8);

    m_copyFrom = new QComboBox(row);
    ignoreWheelUnlessFocused(m_copyFrom);
    for (int key = 1; key <= editing::kSceneKeys; ++key) {
        if (m_session.keyShown(key)) m_copyFrom->addItem(fromUtf8(m_session.keyText(key)), key);
    }
    auto* copyLabel = new QLabel(QStringLiteral("从情景:"), row);
    copyLabel->setBuddy(m_copyFrom);
    m_copyFrom->setAccessibleName(copyLabel->text());
    auto* copy = colourButton(QStringLiteral("复制情景"), kDialogButton, row);
    copy->setObjectName(QStringLiteral("btnCopyScene"));
    connect(copy, &QPushButton::clicked, this, [this] {
        send(m_session.copyScene(m_copyFrom->currentData().toInt()));
        redraw();
    });
    h->addWidget(copyLabel);
    h->addWidget(m_copyFrom);
    h->addWidget(copy);
    h->addSpacing(8);

    // Filled when the installer opens or focuses it: no scan of the system's ports on opening.
    m_portList = new PortComboBox(row);
    m_portList->setObjectName(QStringLiteral("scenePort"));
    m_portLabel = new QLabel(QStringLiteral("串口号:"), row);
    m_portLabel->setBuddy(m_portList);
    m_portList->setAccessibleName(m_portLabel->text());
    connect(m_portList, &PortComboBox::portChosen, this, &SceneDialog::choosePort);
    const bool portShown = m_portOffered;
    m_portLabel->setVisible(portShown);
    m_portList->setVisible(portShown);
    m_sendOnSwitch = new QCheckBox(QStringLiteral("切模式时发送"), row);
    m_sendOnSwitch->hide();
    connect(m_sendOnSwitch, &QCheckBox::toggled, this,
            [this](bool on) { m_session.setSendOnModeSwitch(on); });
    m_queued = new QLabel(QStringLiteral("待发送: 0 帧"), row);
    m_queued->setObjectName(QStringLiteral("queued"));
    h->addWidget(m_portLabel);
    h->addWidget(m_portList);
    h->addWidget(m_sendOnSwitch);
    h->addWidget(m_queued);
    h->addStretch(1);

    auto* ok = colourButton(QStringLiteral("确定"), kDialogButton, row);
    ok->setObjectName(QStringLiteral("btnOk"));
    auto* cancel = colourButton(QStringLiteral("取消"), kDialogButton, row);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    m_cancel = cancel;
    connect(ok, &QPushButton::clicked, this, &SceneDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &SceneDialog::reject);
    h->addWidget(ok);
    h->addWidget(cancel);
    return row;
}

void SceneDialog::choosePort(const PortChoice& choice) {
    m_pacer->clear();
    m_pacer->setLink(nullptr);
    if (m_link) m_link->close();
    m_link = m_factory(choice, m_room);
    if (!m_link || !m_link->open(linkPortName(choice))) {
        m_prompter.warning(QStringLiteral("串口打开失败!\n") + choice.displayText +
                               (m_link ? QStringLiteral("\n") + m_link->errorString() : QString()),
                           platform::defaultCaption());
        m_link.reset();
        return;
    }
    m_pacer->setLink(m_link.get());
    m_session.portOpened();
    m_sendOnSwitch->show();
    redraw();
}

void SceneDialog::send(std::vector<editing::TimedFrame> frames) {
    m_pacer->enqueue(std::move(frames));
}

void SceneDialog::redraw() {
    for (int key = 1; key <= editing::kSceneKeys; ++key) {
        ColorButton* button = keyButton(key);
        button->setVisible(m_session.keyShown(key));
        paint(button, m_session.keyColours(key));
        const bool holds = m_session.keyHoldsSettings(key);
        button->setMarked(holds);
        button->setToolTip(holds ? QStringLiteral("已有设置") : QStringLiteral("尚无设置"));
    }
    const int groups = m_session.groupsShown();
    for (int g = 0; g < 6; ++g) m_groups[static_cast<std::size_t>(g)]->setVisible(g < groups);
    for (int slot = 1; slot <= editing::kSceneOutputs; ++slot) {
        ColorButton* button = outputButton(slot);
        const bool shown = m_session.outputShown(slot);
        button->setVisible(shown);
        if (!shown) continue;
        button->setText(fromUtf8(m_session.outputText(slot)));
        button->setAccessibleName(button->text());
        button->setEnabled(m_session.outputsEnabled());
        paint(button, m_session.outputColours(slot));
    }
    const QString why = fromUtf8(m_session.bulkDisabledReason());
    for (ColorButton* button : m_bulk) {
        button->setVisible(m_session.bulkShown());
        button->setEnabled(m_session.bulkEnabled());
        button->setToolTip(button->isEnabled() ? QString() : why);
    }
    redrawPens();
    if (m_modeChanged) m_modeChanged(m_session.currentCode());
}

void SceneDialog::redrawPens() {
    for (std::size_t i = 0; i < m_pens.size(); ++i) {
        m_pens[i]->setChecked(static_cast<int>(i) == m_session.penButton());
    }
}

void SceneDialog::showSpecialNotes() {
    QDialog notes(this);
    notes.setWindowTitle(QStringLiteral("特殊配置说明"));
    auto* v = new QVBoxLayout(&notes);
    for (const char* line :
         {"关于空调的配置：", "开关：关=关闭，开=打开", "模式：80=制热，99=制冷，开=通风",
          "风速：70=低速，80=中速，99=高速，开=自动",
          "温度：关=16度，00=17度，20=18度，30=19度，……"}) {
        v->addWidget(new QLabel(QString::fromUtf8(line), &notes));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &notes);
    connect(buttons, &QDialogButtonBox::accepted, &notes, &QDialog::accept);
    v->addWidget(buttons);
    notes.exec();
}

void SceneDialog::accept() {
    requestClose(true);
}

void SceneDialog::reject() {
    // Once it waits for its frames, a second Cancel only gives up waiting.
    if (!m_gate.waiting() && m_mayCancel && !m_mayCancel()) return;
    requestClose(false);
}

// OK and Cancel wait for the frames already queued; the countdown shows them going.
void SceneDialog::requestClose(bool ok) {
    const editing::CloseDecision decision =
        m_gate.press(ok, m_pacer->pending(), m_pacer->sending());
    if (decision.closeNow) {
        finish(decision);
    } else if (m_gate.waiting()) {
        holdForFrames();
    }
}

// While the queue drains only Cancel stays live (a second one gives up waiting), and the count
// of frames still to send stays readable.
void SceneDialog::holdForFrames() {
    QWidget* bottom = m_cancel->parentWidget();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setEnabled(child == bottom);
    }
    for (QWidget* child : bottom->findChildren<QWidget*>()) {
        child->setEnabled(child == m_cancel || child == m_queued);
    }
    m_queued->setText(fromUtf8(editing::queuedFramesText(m_pacer->pending())));
}

void SceneDialog::finish(const editing::CloseDecision& decision) {
    if (!decision.closeNow) return;
    m_pacer->clear();
    if (decision.message) {
        m_prompter.information(fromUtf8(*decision.message), platform::defaultCaption());
    }
    // The main window's relays keep following the last scene chosen.
    if (decision.accepted) {
        m_session.accept();
        QDialog::accept();
    } else {
        QDialog::reject();
    }
}

bool runSceneDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                    editing::EditMode mode, platform::Prompter& prompter,
                    std::function<void(int)> modeChanged, QWidget* parent,
                    const editing::CancelCheck& mayCancel) {
    SceneDialog dialog(room, edit, mode, prompter, std::move(modeChanged), parent);
    dialog.setCancelCheck(mayCancel);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace room::gui
