#pragma once
// One list page's grid of the definition dialog: lamp numbers side by side, each as a number cell,
// a marker cell (in use or not) and an in-place editable name cell; the scene-key page adds the
// backlight mode. A click on the number or the marker toggles the lamp through the session.

#include <QTableWidget>
#include <functional>

#include "core/editing/definition_session.h"

namespace room::gui {

class LampGrid : public QTableWidget {
    Q_OBJECT

public:
    // `onMessage` shows the session's refusals ("已超出最大输入端数量!").
    LampGrid(editing::DefinitionSession& session, editing::ListPage page,
             std::function<void(const QString&)> onMessage, QWidget* parent = nullptr);

    // The cell of a lamp number's number, marker, name or backlight (-1 when not on this page).
    int columnOf(int lamp, int cell) const;
    int rowOf(int lamp) const;
    void toggle(int lamp);
    // Marker look of every lamp again (after a toggle here or on another page).
    void refreshMarkers();

    static constexpr int kNumberCell = 0;
    static constexpr int kMarkerCell = 1;
    static constexpr int kNameCell = 2;
    static constexpr int kBacklightCell = 3;

signals:
    void lampToggled();

private:
    int cellsPerLamp() const;
    void onCellClicked(int row, int column);
    void onItemChanged(QTableWidgetItem* item);

    editing::DefinitionSession& m_session;
    editing::ListPage m_page;
    std::vector<std::uint8_t> m_lamps;
    int m_perRow = 5;
    std::function<void(const QString&)> m_onMessage;
    bool m_filling = false;
};

}  // namespace room::gui
