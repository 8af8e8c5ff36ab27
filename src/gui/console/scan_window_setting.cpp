#include "gui/console/scan_window_setting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>
#include <string>

#include "core/commissioning/scan.h"
#include "gui/toolkit/labelled.h"
#include "platform/settings_store.h"

namespace room::gui {

using commissioning::Milliseconds;

namespace {

struct Memory {
    platform::SettingsStore* store = nullptr;
    Milliseconds window = commissioning::kDefaultScanWindow;
    bool loaded = false;
};

Memory& memory() {
    static Memory shared;
    return shared;
}

Milliseconds bounded(Milliseconds window) {
    return std::clamp(window, commissioning::kShortestScanWindow,
                      commissioning::kLongestScanWindow);
}

}  // namespace

void setScanWindowStore(platform::SettingsStore* store) {
    memory() = Memory{store, commissioning::kDefaultScanWindow, false};
}

Milliseconds scanWindow() {
    Memory& m = memory();
    if (!m.loaded && m.store) {
        const QString text = QString::fromStdString(m.store->readSetting(format::kScanWindowKey));
        bool ok = false;
        const int ms = text.toInt(&ok);
        if (ok) m.window = bounded(Milliseconds(ms));
    }
    m.loaded = true;
    return m.window;
}

void setScanWindow(Milliseconds window) {
    Memory& m = memory();
    m.window = bounded(window);
    m.loaded = true;
    if (m.store) m.store->writeSetting(format::kScanWindowKey, std::to_string(m.window.count()));
}

QWidget* makeScanWindowRow(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* spin = new QSpinBox(box);
    spin->setObjectName(QStringLiteral("scanWindow"));
    spin->setRange(int(commissioning::kShortestScanWindow.count()),
                   int(commissioning::kLongestScanWindow.count()));
    spin->setSingleStep(50);
    spin->setValue(int(scanWindow().count()));
    // Written once the number is whole, not at every digit typed.
    spin->setKeyboardTracking(false);
    spin->setToolTip(QStringLiteral("扫描总线时每个编号等待应答开始的时间; 总线慢时加大"));
    QObject::connect(spin, &QSpinBox::valueChanged, spin,
                     [](int ms) { setScanWindow(Milliseconds(ms)); });
    row->addWidget(labelFor(new QLabel(QStringLiteral("扫描窗口(毫秒):"), box), spin));
    row->addWidget(spin);
    row->addStretch(1);
    return box;
}

}  // namespace room::gui
