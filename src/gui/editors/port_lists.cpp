#include "gui/editors/port_lists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>
#include <QVBoxLayout>

#include "gui/editors/editor_widgets.h"
#include "gui/toolkit/wheel_guard.h"

namespace room::gui {

using editing::PortPage;

namespace {

constexpr int kChannels = model::kChannels;

QStringList entryList(const std::vector<std::string>& entries) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) texts.append(fromUtf8(entry));
    return texts;
}

// Lists are as wide as the column, not as their longest entry: measuring 150 entries of every
// list would cost more than the whole rest of opening. A wheel that only scrolls past a list must
// not rebind its channel.
QComboBox* columnList(QWidget* parent, QObject* wheelGuard) {
    auto* list = new QComboBox(parent);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    list->setMaxVisibleItems(20);
    ignoreWheelUnlessFocused(list, wheelGuard);
    return list;
}

// The device-type lists head the output page's columns and must not pass for an output list.
void styleTypeList(QComboBox* list) {
    QFont bold = list->font();
    bold.setBold(true);
    list->setFont(bold);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Button, QColor(214, 226, 244));
    palette.setColor(QPalette::ButtonText, QColor(20, 40, 110));
    list->setPalette(palette);
}

}  // namespace

PortPageLists::PortPageLists(editing::PortSession& session, PortPage page, QWidget* parent)
    : QWidget(parent), m_session(session), m_page(page), m_wheelGuard(makeWheelGuard(this)) {
    const std::vector<std::string> entries = session.entries(page);
    m_shared = new QStringListModel(entryList(entries), this);
    m_rowOf.assign(model::kLampCount, -1);
    const std::vector<int>& offered = session.offered(page);
    for (std::size_t i = 0; i < offered.size(); ++i) m_rowOf[offered[i]] = static_cast<int>(i) + 1;

    const bool keys = page == PortPage::Keys;
    const auto& texts = keys ? editing::kKeyBandTexts : editing::kOutputBandTexts;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    const int shown = session.form().shownDevices;
    m_filling = true;
    for (int b = 0; b < editing::kPortBands; ++b) {
        auto* band = new QGroupBox(fromUtf8(texts[static_cast<std::size_t>(b)]), this);
        band->setObjectName(QStringLiteral("%1Band%2").arg(keys ? "key" : "output").arg(b + 1));
        auto* grid = new QGridLayout(band);
        grid->setContentsMargins(4, 0, 4, 2);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(0);
        for (int column = 0; column < editing::kBandDevices; ++column) {
            const int device = b * editing::kBandDevices + column + 1;
            QWidget* head = columnHead(device, band);
            grid->addWidget(head, 0, column);
            head->setVisible(device <= shown);
            for (int c = 0; c < kChannels; ++c) {
                const int index = (device - 1) * kChannels + c;
                QComboBox* list = columnList(band, m_wheelGuard);
                m_lists[static_cast<std::size_t>(index)] = list;
                grid->addWidget(list, c + 1, column);
                bind(index);
            }
            grid->setColumnStretch(column, 1);
        }
        band->setVisible(editing::PortSession::bandShown(b, shown));
        m_bands[static_cast<std::size_t>(b)] = band;
        layout->addWidget(band);
    }
    layout->addStretch(1);
    m_filling = false;
    remark();
}

// The device's number beside its first row, so nobody counts columns.
QWidget* PortPageLists::columnHead(int device, QWidget* band) {
    auto* head = new QWidget(band);
    auto* row = new QHBoxLayout(head);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    auto* number = new QLabel(QString::number(device), head);
    number->setObjectName(QStringLiteral("deviceNumber%1").arg(device));
    QFont bold = font();
    bold.setBold(true);
    number->setFont(bold);
    QPalette ink = palette();
    ink.setColor(QPalette::WindowText, QColor(20, 40, 110));
    number->setPalette(ink);
    number->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("24")));
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(number);
    QWidget* first = firstRow(device, head);
    row->addWidget(first, 1);
    m_firstRows[static_cast<std::size_t>(device - 1)] = first;
    return head;
}

QWidget* PortPageLists::firstRow(int device, QWidget* parent) {
    editing::PortForm& f = m_session.form();
    const auto d = static_cast<std::size_t>(device - 1);
    if (m_page == PortPage::Keys) {
        auto* field = new QLineEdit(fromUtf8(f.locations[d]), parent);
        field->setObjectName(QStringLiteral("location%1").arg(device));
        const QString what = QStringLiteral("设备%1位置").arg(device);
        // Named by what it holds, or by what it is while empty.
        field->setAccessibleName(field->text().isEmpty() ? what : field->text());
        field->setAccessibleDescription(what);
        refuseFieldBreakers(field, what);
        field->setPlaceholderText(what);
        connect(field, &QLineEdit::textChanged, this,
                [this, field, device, what](const QString& text) {
                    m_session.setLocation(device, toUtf8(text));
                    field->setAccessibleName(text.isEmpty() ? what : text);
                });
        return field;
    }
    QComboBox* list = columnList(parent, m_wheelGuard);
    list->setObjectName(QStringLiteral("type%1").arg(device));
    styleTypeList(list);
    for (std::string_view name : model::deviceTypeNames) list->addItem(fromUtf8(name));
    list->setCurrentIndex(std::clamp(f.types[d], 0, list->count() - 1));
    const QString what = QStringLiteral("设备%1类型").arg(device);
    list->setAccessibleName(list->currentText());
    list->setAccessibleDescription(what);
    list->setToolTip(what);
    connect(list, &QComboBox::currentIndexChanged, this, [this, list, device](int index) {
        m_session.chooseType(device, std::max(index, 0));
        list->setAccessibleName(list->currentText());
        emit typeChosen(device);
    });
    return list;
}

QComboBox* PortPageLists::typeList(int device) const {
    return m_page == PortPage::Outputs
               ? static_cast<QComboBox*>(m_firstRows[static_cast<std::size_t>(device - 1)])
               : nullptr;
}

QLineEdit* PortPageLists::locationField(int device) const {
    return m_page == PortPage::Keys
               ? static_cast<QLineEdit*>(m_firstRows[static_cast<std::size_t>(device - 1)])
               : nullptr;
}

void PortPageLists::bind(int index) {
    QComboBox* list = m_lists[static_cast<std::size_t>(index)];
    const int device = index / kChannels + 1;
    const int channel = index % kChannels + 1;
    const bool keys = m_page == PortPage::Keys;
    list->setObjectName(
        QStringLiteral("%1%2_%3").arg(keys ? "key" : "output").arg(device).arg(channel));
    const QString what = keys ? QStringLiteral("设备%1按键%2").arg(device).arg(channel)
                              : QStringLiteral("设备%1输出%2").arg(device).arg(channel);
    list->setAccessibleDescription(what);
    list->setToolTip(what);
    if (!m_session.listShown(index)) {
        list->hide();  // a hidden list is never filled and reads as empty
        return;
    }
    if (keys) list->setEnabled(m_session.form().keyEnabled[static_cast<std::size_t>(index)]);
    select(index);
    connect(list, &QComboBox::currentIndexChanged, this, [this, index] { onChosen(index); });
}

void PortPageLists::select(int index) {
    QComboBox* list = m_lists[static_cast<std::size_t>(index)];
    editing::PortForm& f = m_session.form();
    const int lamp =
        (m_page == PortPage::Keys ? f.keys : f.outputs)[static_cast<std::size_t>(index)];
    const bool wasFilling = m_filling;
    m_filling = true;
    // A number stored at opening that the page does not offer is one more entry, the list's own,
    // so that OK keeps it; it stays there for the whole run and no other list gets it.
    const std::optional<int> extra = m_session.unofferedLamp(m_page, index);
    const bool own = list->model() != m_shared && qobject_cast<QStringListModel*>(list->model());
    if (extra && !own) {
        QStringList texts = m_shared->stringList();
        texts.append(fromUtf8(m_session.entryText(*extra)));
        list->setModel(new QStringListModel(texts, list));
    } else if (!extra && list->model() != m_shared) {
        list->setModel(m_shared);
    }
    int row = lamp > 0 && lamp < model::kLampCount ? std::max(m_rowOf[lamp], 0) : 0;
    if (extra && lamp == *extra) row = list->count() - 1;
    list->setCurrentIndex(row);
    list->setAccessibleName(list->currentText());
    m_filling = wasFilling;
}

void PortPageLists::onChosen(int index) {
    if (m_filling) return;
    QComboBox* list = m_lists[static_cast<std::size_t>(index)];
    const int lamp = model::channelEntryLamp(toUtf8(list->currentText()));
    if (!m_session.choose(m_page, index, lamp)) {
        select(index);  // back to what the form holds
        return;
    }
    list->setAccessibleName(list->currentText());
    emit listChanged();
}

void PortPageLists::reselect() {
    for (int i = 0; i < editing::kPortLists; ++i) {
        if (m_session.listShown(i)) select(i);
    }
}

void PortPageLists::refreshDevice(int device) {
    for (int c = 0; c < kChannels; ++c) {
        const int index = (device - 1) * kChannels + c;
        if (!m_session.listShown(index)) continue;
        if (m_page == PortPage::Keys) {
            m_lists[static_cast<std::size_t>(index)]->setEnabled(
                m_session.form().keyEnabled[static_cast<std::size_t>(index)]);
        }
        select(index);
    }
}

void PortPageLists::remark() {
    if (m_page != PortPage::Keys) return;
    for (int i = 0; i < m_session.form().shownDevices * kChannels; ++i) {
        QComboBox* list = m_lists[static_cast<std::size_t>(i)];
        const editing::MarkStyle* style = editing::markStyle(m_session.keyMark(i));
        QPalette palette = this->palette();
        if (style) palette.setColor(QPalette::Button, QColor(style->r, style->g, style->b));
        list->setPalette(palette);
    }
}

}  // namespace room::gui
