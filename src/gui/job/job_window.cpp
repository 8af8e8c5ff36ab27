#include "gui/job/job_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/records/room_number.h"
#include "gui/job/job_board.h"
#include "gui/job/report_thread.h"
#include "gui/job/state_look.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

namespace {

// What the window asks of the screen, less what a taskbar and the frame take.
const QSize kOpening(1340, 680);
const QSize kFrameAllowance(16, 80);

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString defaultAskSave(QWidget* parent, const QString& caption, const QString& proposed,
                       const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

// "校验所有: 7台全部校验一致" without the operation the list shows in a column of its own.
QString resultOf(const records::RunFacts& run) {
    const QString line = text(records::factsLine(run));
    const QString lead = text(run.operation) + QStringLiteral(": ");
    return line.startsWith(lead) ? line.mid(lead.size()) : line;
}

}  // namespace

JobWindow::JobWindow(platform::Prompter& prompter, JobWindowOptions options, QWidget* parent)
    : QDialog(parent),
      m_prompter(prompter),
      m_options(std::move(options)),
      m_store(std::make_unique<platform::RecordStore>(
          m_options.path.isEmpty() ? platform::RecordStore::userRecord() : m_options.path)) {
    if (!m_options.askSaveName) m_options.askSaveName = defaultAskSave;
    if (!m_options.askOpenName) m_options.askOpenName = askOpenName;
    setObjectName(QStringLiteral("jobProgress"));
    setWindowTitle(QStringLiteral("工程进度"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFilters());
    layout->addWidget(buildLegend());
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("jobTotals"));
    m_totals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_totals);

    layout->addWidget(buildBoard(), 1);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("jobMessage"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    layout->addWidget(buildButtons());

    connect(m_board, &JobBoard::selectedChanged, this, &JobWindow::showRoom);
    connect(m_board, &JobBoard::activated, this, &JobWindow::openRoom);
    const QScreen* shown = parent ? parent->screen() : screen();
    resize(shown ? kOpening.boundedTo(shown->availableSize() - kFrameAllowance) : kOpening);
    reload();
}

JobWindow::~JobWindow() = default;

// The board in its scroll area above the room types' totals and the selected room's runs.
QWidget* JobWindow::buildBoard() {
    m_board = new JobBoard(this);
    nameControl(m_board, QStringLiteral("房间"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("boardArea"));
    m_scroll->setWidget(m_board);
    m_scroll->setWidgetResizable(true);
    m_scroll->setMinimumHeight(160);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_scroll);
    splitter->addWidget(buildLower());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({460, 150});
    return splitter;
}

QWidget* JobWindow::buildFilters() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_roomTypes = new QComboBox(row);
    m_roomTypes->setObjectName(QStringLiteral("roomTypeFilter"));
    m_roomTypes->setMinimumWidth(320);
    m_roomTypes->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_states = new QComboBox(row);
    m_states->setObjectName(QStringLiteral("stateFilter"));
    m_states->addItem(QStringLiteral("全部状态"), -1);
    for (records::RoomState state : records::kRoomStates) {
        m_states->addItem(stateText(state), static_cast<int>(state));
    }
    auto* refresh = new QPushButton(QStringLiteral("刷新"), row);
    refresh->setObjectName(QStringLiteral("btnRefresh"));
    connect(refresh, &QPushButton::clicked, this, &JobWindow::reload);
    layout->addWidget(labelFor(new QLabel(QStringLiteral("房型:"), row), m_roomTypes));
    layout->addWidget(m_roomTypes);
    layout->addSpacing(12);
    layout->addWidget(labelFor(new QLabel(QStringLiteral("状态:"), row), m_states));
    layout->addWidget(m_states);
    layout->addSpacing(12);
    layout->addWidget(refresh);
    layout->addStretch(1);
    connect(m_roomTypes, &QComboBox::currentIndexChanged, this, &JobWindow::applyFilter);
    connect(m_states, &QComboBox::currentIndexChanged, this, &JobWindow::applyFilter);
    return row;
}

QWidget* JobWindow::buildLegend() {
    auto* row = new QWidget(this);
    row->setObjectName(QStringLiteral("legend"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (records::RoomState state : records::kRoomStates) {
        m_legend << legendChip(state, row);
        layout->addWidget(m_legend.back());
    }
    layout->addStretch(1);
    return row;
}

QWidget* JobWindow::buildLower() {
    auto* lower = new QWidget(this);
    auto* layout = new QHBoxLayout(lower);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* typeColumn = new QVBoxLayout;
    m_typeTotals = new QListWidget(lower);
    m_typeTotals->setObjectName(QStringLiteral("roomTypeTotals"));
    typeColumn->addWidget(labelFor(new QLabel(QStringLiteral("各房型:"), lower), m_typeTotals));
    typeColumn->addWidget(m_typeTotals);
    auto* runColumn = new QVBoxLayout;
    m_runs = new QTreeWidget(lower);
    m_runs->setObjectName(QStringLiteral("roomRuns"));
    m_runs->setRootIsDecorated(false);
    m_runs->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("操作"),
                             QStringLiteral("调试人员"), QStringLiteral("结果")});
    m_runs->setColumnWidth(0, 160);
    m_runs->setColumnWidth(1, 90);
    m_runs->setColumnWidth(2, 90);
    nameControl(m_runs, QStringLiteral("调试记录"));
    m_roomTitle = new QLabel(lower);
    m_roomTitle->setObjectName(QStringLiteral("roomTitle"));
    runColumn->addWidget(m_roomTitle);
    runColumn->addWidget(m_runs);
    layout->addLayout(typeColumn, 2);
    layout->addLayout(runColumn, 3);
    return lower;
}

QWidget* JobWindow::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto add = [&](const QString& caption, const char* name, auto slot) {
        auto* button = new QPushButton(caption, row);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        layout->addWidget(button);
        return button;
    };
    add(QStringLiteral("导入房间表..."), "btnImportRooms", [this] { importRooms(); });
    add(QStringLiteral("添加房间..."), "btnAddRoom", [this] { addRoom(); });
    m_remove = add(QStringLiteral("删除房间"), "btnRemoveRoom", [this] { removeRoom(); });
    m_changeType =
        add(QStringLiteral("更换房型..."), "btnChangeRoomType", [this] { changeRoomType(); });
    layout->addStretch(1);
    m_report = add(QStringLiteral("报告..."), "btnJobReport", [this] { writeReport(); });
    add(QStringLiteral("关闭"), "btnClose", [this] { close(); });
    return row;
}

bool JobWindow::reload() {
    std::optional<platform::JobStatus> status = platform::loadJobStatus(*m_store);
    if (!status) {
        m_hasJob = false;
        m_hotel.clear();
        m_board->setRooms({});
        fillRoomTypes();
        showTotals();
        setStatus(m_store->errorString() + QStringLiteral("\n") + m_store->shownPath());
        return false;
    }
    m_hasJob = status->hasJob;
    m_hotel = text(status->hotel());
    m_board->setRooms(std::move(status->rooms));
    fillRoomTypes();
    applyFilter();
    setStatus(QStringLiteral("记录文件: %1").arg(m_store->shownPath()));
    return true;
}

void JobWindow::fillRoomTypes() {
    const QString current = m_roomTypes->currentText();
    const QSignalBlocker block(m_roomTypes);
    m_roomTypes->clear();
    m_roomTypes->addItem(QStringLiteral("全部房型"));
    for (const auto& [type, counts] : countsByRoomType(m_board->rooms(), {})) {
        m_roomTypes->addItem(type);
    }
    const int keep = m_roomTypes->findText(current);
    m_roomTypes->setCurrentIndex(keep < 0 ? 0 : keep);
}

void JobWindow::applyFilter() {
    BoardFilter filter;
    if (m_roomTypes->currentIndex() > 0) filter.roomType = m_roomTypes->currentText();
    const int state = m_states->currentData().toInt();
    if (state >= 0) filter.state = static_cast<records::RoomState>(state);
    m_board->setFilter(std::move(filter));
    showTotals();
}

void JobWindow::setStateFilter(std::optional<records::RoomState> state) {
    m_states->setCurrentIndex(state ? m_states->findData(static_cast<int>(*state)) : 0);
}

void JobWindow::showTotals() {
    const records::StateCounts counts = m_board->shownCounts();
    for (std::size_t s = 0; s < records::kRoomStates.size(); ++s) {
        setLegendCount(m_legend[int(s)], records::kRoomStates[s], counts[s]);
    }
    QString line = text(records::totalsText(counts));
    if (!m_hotel.isEmpty()) line = m_hotel + QStringLiteral("  ") + line;
    if (m_board->filter().active()) {
        line += QStringLiteral("  (筛选后; 全部%1间)").arg(m_board->rooms().size());
    }
    m_totals->setText(line);
    m_typeTotals->clear();
    for (const auto& [type, typeCounts] : countsByRoomType(m_board->rooms(), m_board->filter())) {
        const QString totals = text(records::totalsText(typeCounts));
        auto* item = new QListWidgetItem(type + QStringLiteral("\n    ") + totals, m_typeTotals);
        item->setToolTip(type + QStringLiteral("\n") + totals);
    }
}

QString JobWindow::totalsLine() const {
    return m_totals->text();
}

QString JobWindow::statusLine() const {
    return m_status->text();
}

void JobWindow::setStatus(const QString& line) {
    m_status->setText(line);
}

const platform::RoomStatus* JobWindow::selectedRoom() const {
    const int index = m_board->selected();
    return index >= 0 ? &m_board->rooms()[index] : nullptr;
}

void JobWindow::showRoom(int index) {
    m_runs->clear();
    const platform::RoomStatus* room = selectedRoom();
    m_remove->setEnabled(room && m_hasJob);
    m_changeType->setEnabled(room && m_hasJob);
    if (index < 0 || !room) {
        m_roomTitle->setText(QStringLiteral("调试记录: 点击房间查看"));
        return;
    }
    m_roomTitle->setText(QStringLiteral("房号 %1  %2层  %3  %4")
                             .arg(text(records::shownRoomNumber(room->room.roomNumber)),
                                  text(room->room.floor), roomTypeText(*room),
                                  stateText(room->state)));
    const auto runs = m_store->factsOfRoom(room->room.roomNumber);
    if (!runs) {
        setStatus(m_store->errorString());
        return;
    }
    for (const records::RunFacts& run : *runs) {
        new QTreeWidgetItem(
            m_runs, {text(run.when), text(run.operation), text(run.installer), resultOf(run)});
    }
}

QStringList JobWindow::shownRuns() const {
    QStringList lines;
    for (int i = 0; i < m_runs->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_runs->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < m_runs->columnCount(); ++c) cells << item->text(c);
        lines << cells.join(QStringLiteral("  "));
    }
    return lines;
}

}  // namespace room::gui
