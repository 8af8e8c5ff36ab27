#pragma once
// One page of the port editor: three bands of eight device columns, each a first row (location
// field or device-type list) over six channel lists, bound to the session's form.
//
// Opening must stay quick with 24 devices (288 lists of up to ~150 entries): the lists of a page
// share one entry model, and only a list whose stored number the page does not offer gets its own.

#include <QWidget>
#include <array>
#include <vector>

#include "core/editing/port_session.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QStringListModel;

namespace room::gui {

class PortPageLists : public QWidget {
    Q_OBJECT

public:
    PortPageLists(editing::PortSession& session, editing::PortPage page, QWidget* parent = nullptr);

    QComboBox* list(int index) const { return m_lists[static_cast<std::size_t>(index)]; }
    QComboBox* typeList(int device) const;       // output page, device from 1
    QLineEdit* locationField(int device) const;  // key page, device from 1
    QGroupBox* band(int index) const { return m_bands[static_cast<std::size_t>(index)]; }

    // Every shown list selects the form's number again (after a sync button).
    void reselect();
    // Key page: each key list in the colour of how many outputs carry its lamp.
    void remark();
    // A device's lists again after its type changed (key page: enabled or emptied).
    void refreshDevice(int device);

signals:
    void listChanged();
    void typeChosen(int device);  // output page

private:
    QWidget* columnHead(int device, QWidget* band);
    QWidget* firstRow(int device, QWidget* parent);
    void bind(int index);
    void select(int index);
    void onChosen(int index);

    editing::PortSession& m_session;
    editing::PortPage m_page;
    QObject* m_wheelGuard = nullptr;
    QStringListModel* m_shared = nullptr;
    std::vector<int> m_rowOf;  // shared row by lamp number, -1 when not offered
    std::array<QComboBox*, editing::kPortLists> m_lists{};
    std::array<QWidget*, editing::kPortDevices> m_firstRows{};
    std::array<QGroupBox*, editing::kPortBands> m_bands{};
    bool m_filling = false;
};

}  // namespace room::gui
