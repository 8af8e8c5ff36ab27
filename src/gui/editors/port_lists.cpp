#include "gui/editors/port_lists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringListModel>
#include <QVBoxLayout>

#include "gui/editors/editor_widgets.h"

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
// list would cost more than the whole rest of opening.
QComboBox* columnList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(8);
    list->setMaxVisibleItems(20);
    return list;
}

}  // namespace

PortPageLists::PortPageLists(editing::PortSession& session, PortPage page, QWidget* parent)
    : QWidget(parent), m_session(session), m_page(page) {
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
            QWidget* first = firstRow(device, band);
            m_firstRows[static_cast<std::size_t>(device - 1)] = first;
            grid->addWidget(first, 0, column);
            first->setVisible(device <= shown);
            for (int c = 0; c < kChannels; ++c) {
                const int index = (device - 1) * kChannels + c;
                QComboBox* list = columnList(band);
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

QWidget* PortPageLists::firstRow(int device, QWidget* parent) {
    editing::PortForm& f = m_session.form();
    const auto d = static_cast<std::size_t>(device - 1);
    if (m_page == PortPage::Keys) {
        auto* field = new QLineEdit(fromUtf8(f.locations[d]), parent);
        field->setObjectName(QStringLiteral("location%1").arg(device));
        const QString what = QStringLiteral("设备%1位置").arg(device);
        field->setAccessibleName(field->text());
        field->setAccessibleDescription(what);
        field->setToolTip(what);
        field->setPlaceholderText(what);
        connect(field, &QLineEdit::textChanged, this, [this, field, d](const QString& text) {
            m_session.form().locations[d] = toUtf8(text);
            field->setAccessibleName(text);
        });
        return field;
    }
    QComboBox* list = columnList(parent);
    list->setObjectName(QStringLiteral("type%1").arg(device));
    for (std::string_view name : model::deviceTypeNames) list->addItem(fromUtf8(name));
    list->setCurrentIndex(std::clamp(f.types[d], 0, list->count() - 1));
    const QString what = QStringLiteral("设备%1类型").arg(device);
    list->setAccessibleName(list->currentText());
    list->setAccessibleDescription(what);
    list->setToolTip(what);
    connect(list, &QComboBox::currentIndexChanged, this, [this, list, d](int index) {
        m_session.form().types[d] = std::max(index, 0);
        list->setAccessibleName(list->currentText());
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
    if (const std::optional<int> extra = m_session.unofferedLamp(m_page, index)) {
        // Shown as one more entry so that OK keeps it.
        QStringList texts = m_shared->stringList();
        texts.append(fromUtf8(m_session.entryText(*extra)));
        list->setModel(new QStringListModel(texts, list));
        list->setCurrentIndex(static_cast<int>(texts.size()) - 1);
    } else {
        if (list->model() != m_shared) list->setModel(m_shared);
        const int row = lamp > 0 && lamp < model::kLampCount ? m_rowOf[lamp] : 0;
        list->setCurrentIndex(std::max(row, 0));
    }
    list->setAccessibleName(list->currentText());
    m_filling = wasFilling;
}

void PortPageLists::onChosen(int index) {
    if (m_filling) return;
    QComboBox* list = m_lists[static_cast<std::size_t>(index)];
    const int lamp = model::channelEntryLamp(toUtf8(list->currentText()));
    editing::PortForm& f = m_session.form();
    (m_page == PortPage::Keys ? f.keys : f.outputs)[static_cast<std::size_t>(index)] = lamp;
    list->setAccessibleName(list->currentText());
    emit listChanged();
}

void PortPageLists::reselect() {
    for (int i = 0; i < editing::kPortLists; ++i) {
        if (m_session.listShown(i)) select(i);
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
