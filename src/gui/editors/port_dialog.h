#pragma once
// "编辑输入输出端口": the second of the room-type editors, a thin binding of its key and output
// pages to a PortSession, with the port list through which it tells the switches that editing
// ended (the 0xBB frame, on OK and on Cancel, only while a port is open).

#include <QDialog>
#include <memory>

#include "core/editing/edit_flow.h"
#include "core/editing/port_session.h"
#include "gui/ports/link_factory.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace room::platform {
class Prompter;
class SerialLink;
}  // namespace room::platform

namespace room::gui {

class PortComboBox;
class PortPageLists;

class PortDialog : public QDialog {
    Q_OBJECT

public:
    PortDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, editing::EditMode mode,
               platform::Prompter& prompter, QWidget* parent = nullptr);
    ~PortDialog() override;

    editing::PortSession& session() { return m_session; }
    QTabWidget* tabs() const { return m_tabs; }
    PortPageLists* keyPage() const { return m_keys; }
    PortPageLists* outputPage() const { return m_outputs; }
    PortComboBox* portList() const { return m_ports; }

    // Replaces how links are made (tests); the default opens serial ports and the simulated bus.
    void setLinkFactory(LinkFactory factory) { m_factory = std::move(factory); }
    bool portOpen() const { return m_portOpen; }
    // Asked on Cancel (and Esc) before the dialog closes; false keeps it open as it is.
    void setCancelCheck(editing::CancelCheck check) { m_mayCancel = std::move(check); }

    void accept() override;
    void reject() override;

private:
    QWidget* buildKeyPage();
    QWidget* buildOutputPage();
    QWidget* legend(QWidget* parent);
    QLayout* buildBottomRow();
    void choosePort(const PortChoice& choice);
    void endEditing();

    model::RoomTypeConfig& m_room;
    editing::PortSession m_session;
    platform::Prompter& m_prompter;
    QTabWidget* m_tabs = nullptr;
    PortPageLists* m_keys = nullptr;
    PortPageLists* m_outputs = nullptr;
    PortComboBox* m_ports = nullptr;
    LinkFactory m_factory = makeLink;
    std::unique_ptr<platform::SerialLink> m_link;
    bool m_portOpen = false;
    editing::CancelCheck m_mayCancel;
};

// Runs the dialog modally; true on OK.
bool runPortDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, editing::EditMode mode,
                   platform::Prompter& prompter, QWidget* parent,
                   const editing::CancelCheck& mayCancel = {});

}  // namespace room::gui
