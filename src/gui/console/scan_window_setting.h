#pragma once
// The window "扫描总线" gives each number to begin its answer: "扫描窗口(毫秒):" on the console's
// 其它配置 page, kept in setinfo.ini like the last port, so a slow building's setting stays.
// Without a settings file (tests, tools) it lives for the session only.

#include "core/commissioning/effects.h"

class QWidget;

namespace room::platform {
class SettingsStore;
}

namespace room::gui {

void setScanWindowStore(platform::SettingsStore* store);
// Read from the file the first time; a missing or unreadable value is the default.
commissioning::Milliseconds scanWindow();
void setScanWindow(commissioning::Milliseconds window);

// "扫描窗口(毫秒):" and its spin box (objectName "scanWindow") in a row.
QWidget* makeScanWindowRow(QWidget* parent);

}  // namespace room::gui
