#include "gui/records/records_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/records/rooms_model.h"
#include "gui/toolkit/labelled.h"
#include "platform/file_io.h"
#include "platform/hand_over.h"

namespace room::gui {

namespace {

const QString kInstallerKey = QStringLiteral("调试人员");

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString defaultAsk(QWidget* parent, const QString& caption, const QString& proposed,
                   const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

}  // namespace

RecordsDialog::RecordsDialog(platform::Prompter& prompter, RecordsDialogOptions options,
                             QWidget* parent)
    : QDialog(parent),
      m_prompter(prompter),
      m_options(std::move(options)),
      m_store(std::make_unique<platform::RecordStore>(
          m_options.path.isEmpty() ? platform::RecordStore::userRecord() : m_options.path)) {
    if (!m_options.askSaveName) m_options.askSaveName = defaultAsk;
    setObjectName(QStringLiteral("records"));
    setWindowTitle(QStringLiteral("调试记录"));
    resize(1100, 620);
    auto* layout = new QVBoxLayout(this);

    auto* filters = new QHBoxLayout;
    auto* typeLabel = new QLabel(QStringLiteral("房型:"), this);
    m_roomTypes = new QComboBox(this);
    m_roomTypes->setObjectName(QStringLiteral("roomTypeFilter"));
    m_roomTypes->setMinimumWidth(320);
    labelFor(typeLabel, m_roomTypes);
    m_notVerified = new QCheckBox(QStringLiteral("只显示未校验通过的房间"), this);
    m_notVerified->setObjectName(QStringLiteral("notVerified"));
    auto* installerLabel = new QLabel(QStringLiteral("调试人员:"), this);
    m_installer = new QLineEdit(m_store->remembered(kInstallerKey), this);
    m_installer->setObjectName(QStringLiteral("installer"));
    m_installer->setMaximumWidth(160);
    labelFor(installerLabel, m_installer);
    connect(m_installer, &QLineEdit::editingFinished, this,
            [this] { m_store->remember(kInstallerKey, m_installer->text().trimmed()); });
    for (QWidget* w : std::initializer_list<QWidget*>{typeLabel, m_roomTypes, m_notVerified,
                                                      installerLabel, m_installer}) {
        filters->addWidget(w);
    }
    filters->addStretch(1);
    layout->addLayout(filters);

    m_model = new RoomsModel(this);
    m_filter = new RoomsFilter(this);
    m_filter->setSourceModel(m_model);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("rooms"));
    nameControl(m_table, QStringLiteral("房间"));
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(RoomsModel::RoomNumber, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(RoomsModel::RoomType, QHeaderView::Stretch);
    m_table->setColumnWidth(RoomsModel::RoomNumber, 90);
    m_table->setColumnWidth(RoomsModel::LastSend, 170);
    m_table->setColumnWidth(RoomsModel::LastVerify, 170);
    m_table->setColumnWidth(RoomsModel::Result, 150);
    layout->addWidget(m_table, 1);
    connect(m_table, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { showRuns(index.row()); });
    connect(m_roomTypes, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_filter->setRoomType(index <= 0 ? QString() : m_roomTypes->itemText(index));
    });
    connect(m_notVerified, &QCheckBox::toggled, m_filter, &RoomsFilter::setOnlyNotVerified);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("recordMessage"));
    m_message->setWordWrap(true);
    layout->addWidget(m_message);

    auto* buttons = new QDialogButtonBox(this);
    auto add = [&](const QString& caption, const char* name, auto slot) {
        QPushButton* b = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
    };
    add(QStringLiteral("详情..."), "btnRuns", [this] {
        const QModelIndex current = m_table->currentIndex();
        if (current.isValid()) showRuns(current.row());
    });
    add(QStringLiteral("导出CSV..."), "btnCsv", [this] { exportCsv(); });
    add(QStringLiteral("报告..."), "btnRecordsReport", [this] { writeReport(); });
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    reload();
}

RecordsDialog::~RecordsDialog() = default;

int RecordsDialog::shownRooms() const {
    return m_filter->rowCount();
}

bool RecordsDialog::reload() {
    auto rows = m_store->rooms();
    if (!rows) {
        m_message->setText(m_store->errorString() + QStringLiteral("\n") + m_store->shownPath());
        m_model->setRows({});
        return false;
    }
    m_model->setRows(std::move(*rows));
    fillRoomTypes();
    m_message->setText(QStringLiteral("%1个房间  记录文件: %2").arg(m_model->rowCount()).arg(m_store->shownPath()));
    return true;
}

void RecordsDialog::fillRoomTypes() {
    const QString current = m_roomTypes->currentText();
    QStringList types;
    QSet<QString> seen;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const QString type = RoomsModel::roomTypeText(m_model->row(i).roomType);
        if (!seen.contains(type)) {
            seen.insert(type);
            types << type;
        }
    }
    types.sort();
    const QSignalBlocker block(m_roomTypes);
    m_roomTypes->clear();
    m_roomTypes->addItem(QStringLiteral("全部房型"));
    m_roomTypes->addItems(types);
    const int keep = m_roomTypes->findText(current);
    m_roomTypes->setCurrentIndex(keep < 0 ? 0 : keep);
}

std::vector<records::RoomRow> RecordsDialog::shownRows() const {
    std::vector<records::RoomRow> rows;
    for (int i = 0; i < m_filter->rowCount(); ++i) {
        rows.push_back(m_model->row(m_filter->mapToSource(m_filter->index(i, 0)).row()));
    }
    return rows;
}

void RecordsDialog::showRuns(int row) {
    if (row < 0 || row >= m_filter->rowCount()) return;
    const records::RoomRow room = m_model->row(m_filter->mapToSource(m_filter->index(row, 0)).row());
    const auto runs = m_store->runs(room);
    if (!runs) {
        m_prompter.warning(m_store->errorString(), platform::defaultCaption());
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("roomRuns"));
    dialog.setWindowTitle(QStringLiteral("房号 %1  %2")
                              .arg(text(room.roomNumber), RoomsModel::roomTypeText(room.roomType)));
    dialog.resize(1000, 560);
    auto* layout = new QVBoxLayout(&dialog);
    auto* tree = new QTreeWidget(&dialog);
    tree->setObjectName(QStringLiteral("runs"));
    tree->setHeaderLabels({QStringLiteral("时间 / 编号"), QStringLiteral("操作 / 设备"),
                           QStringLiteral("结果"), QStringLiteral("差异")});
    for (const records::RunRecord& run : *runs) {
        auto* item = new QTreeWidgetItem(tree, {text(run.when), text(run.operation),
                                                text(records::summaryLine(run)),
                                                run.cutShort ? QStringLiteral("运行被中断") : QString()});
        for (const records::DeviceResult& d : run.devices) {
            QStringList differences;
            for (const std::string& line : d.differences) differences << text(line);
            auto* device = new QTreeWidgetItem(
                item, {QStringLiteral("%1").arg(d.device, 2, 10, QLatin1Char('0')),
                       text(d.location),
                       QString::fromUtf8(records::verdictText(d.verdict).data(),
                                         static_cast<qsizetype>(records::verdictText(d.verdict).size())),
                       differences.join(QStringLiteral("; "))});
            device->setToolTip(3, differences.join(QLatin1Char('\n')));
        }
    }
    if (tree->topLevelItemCount() > 0) tree->topLevelItem(0)->setExpanded(true);
    tree->setColumnWidth(0, 170);
    tree->setColumnWidth(1, 140);
    tree->setColumnWidth(2, 320);
    layout->addWidget(tree);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

bool RecordsDialog::exportCsv() {
    const QString path = m_options.askSaveName(this, QStringLiteral("导出调试记录"),
                                               QStringLiteral("调试记录.csv"),
                                               QStringLiteral("CSV文件(*.csv)"));
    if (path.isEmpty()) return false;
    const std::string csv = records::roomsCsv(shownRows());
    const platform::WriteResult written =
        platform::saveFileBytes(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
    if (!written.ok) {
        m_prompter.warning(QStringLiteral("文件保存失败!\n") + path + QStringLiteral("\n") + written.error,
                           platform::defaultCaption());
    }
    return written.ok;
}

bool RecordsDialog::writeReport() {
    std::vector<std::string> numbers;
    for (const records::RoomRow& row : shownRows()) numbers.push_back(row.roomNumber);
    auto job = numbers.empty() ? std::nullopt : platform::reportJob(*m_store, numbers);
    if (!job || job->rooms.empty()) {
        m_prompter.information(QStringLiteral("没有可报告的房间"), platform::defaultCaption());
        return false;
    }
    const QString path = m_options.askSaveName(this, QStringLiteral("保存调试报告"),
                                               QStringLiteral("调试报告.pdf"),
                                               QStringLiteral("PDF文件(*.pdf)"));
    if (path.isEmpty()) return false;
    const QString installer = m_installer->text().trimmed();
    m_store->remember(kInstallerKey, installer);
    // Entries from before the record kept the installer take the one named here.
    job->fetch = [fetch = job->fetch, name = installer.toStdString()](const platform::RoomStatus& status) {
        auto room = fetch(status);
        if (room && room->run && room->run->installer.empty()) room->run->installer = name;
        return room;
    };
    QString error;
    if (platform::writeHandOverPdf(path, *job, &error) != platform::ReportResult::Written) {
        m_prompter.warning(QStringLiteral("报告保存失败!\n") + path + QStringLiteral("\n") + error,
                           platform::defaultCaption());
        return false;
    }
    m_message->setText(QStringLiteral("报告已保存: %1 (%2个房间)").arg(path).arg(job->rooms.size()));
    return true;
}

}  // namespace room::gui
