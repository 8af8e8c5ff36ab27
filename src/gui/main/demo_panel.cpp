#include "gui/main/demo_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/toolkit/color_button.h"
#include "gui/toolkit/colors.h"

namespace room::gui {

const char* const kDemoHintText =
    "提示：演示效果仅体现输入与输出信号之间对应的逻辑关系，延时关闭等特殊功能体现在实际应用中。";

namespace {
constexpr int kBands = 3;
constexpr int kDevicesPerBand = 6;
const char* const kBandTitles[kBands] = {"开关编号:1-6", "开关编号:7-12", "开关编号:13-18"};

const QColor kKeyFill(0xE6, 0xEA, 0xEC);

QColor relayColor(int state) {
    switch (state) {
        case demo::kRelayOn:
            return fromColorRef(kRelayOnColorRef);
        case demo::kRelayThird:
            return fromColorRef(kRelayThirdColorRef);
        default:
            return fromColorRef(kRelayOffColorRef);
    }
}

// Twelve columns of buttons must fit a 1366 px laptop screen: a point smaller than the window.
QFont buttonFont(QFont font) {
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1));
    } else {
        font.setPixelSize(std::max(9, font.pixelSize() - 1));
    }
    return font;
}

// Room for the widest default caption; longer names of a user's own are elided (tooltip).
QSize buttonSize(const QFont& font) {
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(QStringLiteral("K6:紧急呼叫(SOS)")) + 8,
                 metrics.height() + 7);
}
}  // namespace

DemoPanel::DemoPanel(QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* sides = new QHBoxLayout;
    m_keyGroup = buildSide(QStringLiteral("按键"), QStringLiteral("group1123"), 248, true);
    m_relayGroup = buildSide(QStringLiteral("继电器"), QStringLiteral("group1125"), 251, false);
    sides->addWidget(m_keyGroup);
    sides->addWidget(m_relayGroup);
    column->addLayout(sides);
    m_hint = new QLabel(QString::fromUtf8(kDemoHintText), this);
    m_hint->setObjectName(QStringLiteral("static1223"));
    column->addWidget(m_hint);
    // The window keeps its size while the bands are hidden before a room type is shown.
    for (QWidget* group :
         {static_cast<QWidget*>(m_keyGroup), static_cast<QWidget*>(m_relayGroup)}) {
        QSizePolicy policy = group->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        group->setSizePolicy(policy);
    }
    hideButtons();
    setGroupsShown(false);
}

QGroupBox* DemoPanel::buildSide(const QString& title, const QString& name, int firstBand,
                                bool keys) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    auto* bands = new QVBoxLayout(group);
    bands->setSpacing(4);
    bands->setContentsMargins(2, 6, 2, 4);
    const QFont font = buttonFont(this->font());
    const QSize size = buttonSize(font);
    for (int band = 0; band < kBands; ++band) {
        auto* box = new QGroupBox(QString::fromUtf8(kBandTitles[band]), group);
        box->setObjectName(QStringLiteral("band%1").arg(firstBand + band));
        auto* grid = new QGridLayout(box);
        grid->setSpacing(2);
        grid->setContentsMargins(2, 2, 2, 2);
        for (int device = 0; device < kDevicesPerBand; ++device) {
            for (int channel = 0; channel < model::kChannels; ++channel) {
                const int k = (band * kDevicesPerBand + device) * model::kChannels + channel + 1;
                auto* button = new ColorButton(box);
                button->setObjectName(QStringLiteral("%1%2")
                                          .arg(keys ? "key" : "relay")
                                          .arg((keys ? 2100 : 2400) + k - 1));
                button->setFont(font);
                button->setFixedSize(size);
                QSizePolicy policy = button->sizePolicy();
                policy.setRetainSizeWhenHidden(true);
                button->setSizePolicy(policy);
                grid->addWidget(button, channel, device);
                if (keys) {
                    m_keys[k - 1] = button;
                    button->setFillColor(kKeyFill);
                    connect(button, &ColorButton::clicked, this, [this, k] { emit keyClicked(k); });
                } else {
                    m_relays[k - 1] = button;
                    button->setTextColor(Qt::white);  // on every state of the relay
                    connect(button, &ColorButton::clicked, this,
                            [this, k] { emit relayClicked(k); });
                }
            }
        }
        bands->addWidget(box);
    }
    return group;
}

void DemoPanel::hideButtons() {
    for (int k = 0; k < demo::kDemoButtons; ++k) {
        m_keys[k]->hide();
        m_relays[k]->hide();
    }
}

void DemoPanel::setGroupsShown(bool shown) {
    m_keyGroup->setVisible(shown);
    m_relayGroup->setVisible(shown);
    m_keyGroup->setEnabled(shown);
    m_relayGroup->setEnabled(shown);
}

void DemoPanel::relabel(const demo::DemoSession& session) {
    for (int k = 1; k <= demo::kDemoButtons; ++k) {
        ColorButton* key = m_keys[k - 1];
        key->setText(QString::fromStdString(session.keyCaption(k)));
        key->setToolTip(key->text());
        key->setVisible(session.keyVisible(k));
        ColorButton* relay = m_relays[k - 1];
        relay->setText(QString::fromStdString(session.relayCaption(k)));
        relay->setToolTip(relay->text());
        relay->setVisible(session.relayVisible(k));
    }
    showStates(session);
}

void DemoPanel::showStates(const demo::DemoSession& session) {
    for (int k = 1; k <= demo::kDemoButtons; ++k) {
        m_keys[k - 1]->setEnabled(session.keyEnabled(k));
        m_relays[k - 1]->setFillColor(relayColor(session.relayState(k)));
    }
}

}  // namespace room::gui
