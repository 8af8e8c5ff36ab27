#include "gui/editors/lamp_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "gui/editors/editor_widgets.h"

namespace room::gui {

namespace {

const QColor kInUse(0, 170, 80);
const QColor kFree(255, 255, 255);

// Name cells take no comma and no line break: the room-type file could not keep them.
class NameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) refuseFieldBreakers(line);
        return editor;
    }
};

}  // namespace

LampGrid::LampGrid(editing::DefinitionSession& session, editing::ListPage page,
                   std::function<void(const QString&)> onMessage, QWidget* parent)
    : QTableWidget(parent),
      m_session(session),
      m_page(page),
      m_lamps(editing::listPageLamps(session.edit(), page)),
      m_perRow(editing::listPageSpec(page).perRow),
      m_onMessage(std::move(onMessage)) {
    const int per = cellsPerLamp();
    const int rows = (static_cast<int>(m_lamps.size()) + m_perRow - 1) / m_perRow;
    setRowCount(rows);
    setColumnCount(m_perRow * per);
    QStringList headers;
    for (int g = 0; g < m_perRow; ++g) {
        headers << QStringLiteral("编号") << QString() << QStringLiteral("名称");
        if (per == 4) headers << QStringLiteral("背光");
    }
    setHorizontalHeaderLabels(headers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setMinimumSectionSize(18);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    auto* names = new NameDelegate(this);
    m_filling = true;
    for (std::size_t i = 0; i < m_lamps.size(); ++i) {
        const int lamp = m_lamps[i];
        const int row = static_cast<int>(i) / m_perRow;
        const int base = (static_cast<int>(i) % m_perRow) * per;
        auto* number =
            new QTableWidgetItem(fromUtf8(editing::DefinitionSession::numberText(page, lamp)));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        setItem(row, base + kNumberCell, number);
        auto* marker = new QTableWidgetItem();
        marker->setFlags(Qt::ItemIsEnabled);
        marker->setTextAlignment(Qt::AlignCenter);
        setItem(row, base + kMarkerCell, marker);
        auto* name = new QTableWidgetItem(fromUtf8(session.form().names[lamp]));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable);
        setItem(row, base + kNameCell, name);
        setItemDelegateForColumn(base + kNameCell, names);
        if (per == 4) {
            auto* backlight = new QTableWidgetItem(
                fromUtf8(std::string(editing::kBacklightTexts[static_cast<std::size_t>(
                    session.form().backlight[i] - 1)])));
            backlight->setFlags(Qt::ItemIsEnabled);
            backlight->setTextAlignment(Qt::AlignCenter);
            backlight->setToolTip(QStringLiteral("单击切换背光模式 1#/2#/3#"));
            setItem(row, base + kBacklightCell, backlight);
        }
    }
    // Every group of columns, also on a page whose list is empty (its header alone would
    // otherwise take the default widths and a scroll bar).
    for (int g = 0; g < m_perRow; ++g) {
        const int base = g * per;
        setColumnWidth(base + kNumberCell, 38);
        setColumnWidth(base + kMarkerCell, 22);
        setColumnWidth(base + kNameCell, per == 4 ? 112 : 96);
        if (per == 4) setColumnWidth(base + kBacklightCell, 40);
    }
    m_filling = false;
    refreshMarkers();
    connect(this, &QTableWidget::cellClicked, this, &LampGrid::onCellClicked);
    connect(this, &QTableWidget::itemChanged, this, &LampGrid::onItemChanged);
}

int LampGrid::cellsPerLamp() const {
    return m_page == editing::ListPage::SceneKeys ? 4 : 3;
}

int LampGrid::rowOf(int lamp) const {
    for (std::size_t i = 0; i < m_lamps.size(); ++i) {
        if (m_lamps[i] == lamp) return static_cast<int>(i) / m_perRow;
    }
    return -1;
}

int LampGrid::columnOf(int lamp, int cell) const {
    for (std::size_t i = 0; i < m_lamps.size(); ++i) {
        if (m_lamps[i] == lamp) return (static_cast<int>(i) % m_perRow) * cellsPerLamp() + cell;
    }
    return -1;
}

void LampGrid::refreshMarkers() {
    m_filling = true;
    for (std::uint8_t lamp : m_lamps) {
        QTableWidgetItem* marker = item(rowOf(lamp), columnOf(lamp, kMarkerCell));
        if (!marker) continue;
        const bool used = m_session.lampInUse(lamp);
        marker->setBackground(used ? kInUse : kFree);
        marker->setForeground(Qt::white);
        marker->setText(used ? QStringLiteral("✓") : QString());
        marker->setData(Qt::AccessibleTextRole,
                        used ? QStringLiteral("已选") : QStringLiteral("未选"));
    }
    m_filling = false;
}

void LampGrid::toggle(int lamp) {
    const editing::ToggleOutcome outcome = m_session.toggleLamp(m_page, lamp);
    if (outcome.message && m_onMessage) m_onMessage(fromUtf8(*outcome.message));
    if (!outcome.changed) return;
    refreshMarkers();
    emit lampToggled();
}

void LampGrid::onCellClicked(int row, int column) {
    const int per = cellsPerLamp();
    const std::size_t index = static_cast<std::size_t>(row * m_perRow + column / per);
    if (index >= m_lamps.size()) return;
    const int cell = column % per;
    if (cell == kNumberCell || cell == kMarkerCell) {
        toggle(m_lamps[index]);
    } else if (cell == kBacklightCell) {
        int& mode = m_session.form().backlight[index];
        mode = mode % 3 + 1;
        item(row, column)->setText(fromUtf8(std::string(editing::kBacklightTexts[mode - 1])));
    }
}

void LampGrid::onItemChanged(QTableWidgetItem* changed) {
    if (m_filling || changed->column() % cellsPerLamp() != kNameCell) return;
    const std::size_t index =
        static_cast<std::size_t>(changed->row() * m_perRow + changed->column() / cellsPerLamp());
    if (index >= m_lamps.size()) return;
    const QByteArray text = changed->text().toUtf8();
    m_session.form().names[m_lamps[index]] = std::string(text.constData(), text.size());
}

}  // namespace room::gui
