#pragma once
// A switch-panel tab of the console ("1-16号开关面板" or "17-32号开关面板"): the wiring view of
// its 16 devices and, in a strip beside it, the operation and execution choices, one check box
// and one send button per device, "全选" and "退出下发状态".
//
// Everything the page shows lives in the engine (operation, execution, selection, busy) or the
// room type; the page reads it back whenever either page changes it, so both pages agree.

#include <QList>
#include <QWidget>

#include "core/commissioning/effects.h"
#include "core/commissioning/wiring_cells.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace room::gui {

class ConsoleContext;
class WiringView;

class SwitchPanelPage : public QWidget {
    Q_OBJECT

public:
    SwitchPanelPage(ConsoleContext& context, int firstDevice, QWidget* parent = nullptr);

    int firstDevice() const { return m_firstDevice; }
    WiringView* wiringView() const { return m_view; }
    // The result badge the page shows for a device of the page.
    commissioning::Badge badge(int device) const { return m_badges.badge(device); }

private:
    QWidget* buildStrip();
    QGroupBox* buildOperations(QWidget* parent);
    QGroupBox* buildExecution(QWidget* parent);
    QGroupBox* buildDevices(QWidget* parent);

    void chooseOperation(int id);
    void chooseExecution(int id);
    void selectDevice(int device, bool selected);
    void setSelected(int device, bool selected);
    void selectAll(bool selected);
    void sendDevice(int device);
    void exitSendMode();
    void onEffects(const commissioning::Effects& effects);
    // Reads the choices, the selection and what is enabled back from the engine.
    void refresh();

    ConsoleContext& m_context;
    const int m_firstDevice;
    commissioning::ResultBadges m_badges;
    WiringView* m_view = nullptr;
    QScrollArea* m_viewScroll = nullptr;
    QButtonGroup* m_operations = nullptr;
    QButtonGroup* m_execution = nullptr;
    QList<QCheckBox*> m_selects;
    QList<QPushButton*> m_sends;
    QCheckBox* m_selectAll = nullptr;
    bool m_refreshing = false;
};

}  // namespace room::gui
