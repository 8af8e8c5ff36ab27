#include "gui/editors/port_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "core/protocol/frames.h"
#include "gui/console/console_frame.h"
#include "gui/editors/editor_widgets.h"
#include "gui/editors/port_lists.h"
#include "platform/prompter.h"
#include "platform/serial_link.h"

namespace room::gui {

using editing::PortPage;

namespace {

// How long a link outlives the dialog: a real port sends its buffered bytes from the event loop,
// and 17 bytes take 18 ms at 9600 baud.
constexpr int kDrainMs = 200;
constexpr int kWidth = 1300;  // within a 1366-pixel screen

}  // namespace

PortDialog::PortDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit,
                       editing::EditMode mode, platform::Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_room(room), m_session(room, edit, mode), m_prompter(prompter) {
    setObjectName(QStringLiteral("portDialog"));
    setWindowTitle(fromUtf8(editing::kPortCaption));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    auto* frame = new ConsoleFrame(this);
    m_tabs = frame->tabs();
    QFont tabFont(QStringLiteral("宋体"));
    tabFont.setPointSize(12);
    m_tabs->tabBar()->setFont(tabFont);
    m_tabs->addTab(buildKeyPage(), fromUtf8(editing::kPortTabs[0]));
    m_tabs->addTab(buildOutputPage(), fromUtf8(editing::kPortTabs[1]));
    m_tabs->setCurrentIndex(0);
    // Beside the tabs rather than below the bands: with 24 devices the pages need every row.
    m_tabs->setCornerWidget(legend(m_tabs), Qt::TopRightCorner);
    m_tabs->setUsesScrollButtons(false);
    layout->addWidget(frame, 1);
    layout->addLayout(buildBottomRow());
    m_ports->setVisible(edit.sendToSwitch);
    findChild<QLabel*>(QStringLiteral("portLabel"))->setVisible(edit.sendToSwitch);
    // Wide enough for the longest entries ("5.可控硅调光开关", "070.床头调光灯") in eight columns.
    resize(std::max(sizeHint().width(), kWidth), sizeHint().height());
}

PortDialog::~PortDialog() = default;

QWidget* PortDialog::buildKeyPage() {
    m_keys = new PortPageLists(m_session, PortPage::Keys);
    m_keys->setObjectName(QStringLiteral("pageKeys"));
    return m_keys;
}

QWidget* PortDialog::buildOutputPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("pageOutputs"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    m_outputs = new PortPageLists(m_session, PortPage::Outputs, page);
    layout->addWidget(m_outputs, 1);
    // Kept hidden, as the page has always carried it; it copies every key to its output.
    auto* syncInputs = dialogButton(fromUtf8(editing::kSyncInputs), page);
    syncInputs->setObjectName(QStringLiteral("btnSyncInputs"));
    syncInputs->hide();
    connect(syncInputs, &QPushButton::clicked, this, [this] {
        m_session.syncInputs();
        m_outputs->reselect();
        m_keys->remark();
    });
    connect(m_outputs, &PortPageLists::listChanged, m_keys, &PortPageLists::remark);
    connect(m_outputs, &PortPageLists::typeChosen, this, [this](int device) {
        m_keys->refreshDevice(device);
        m_keys->remark();
    });
    connect(m_keys, &PortPageLists::listChanged, m_keys, &PortPageLists::remark);
    return page;
}

// What the colours of the key lists mean.
QWidget* PortDialog::legend(QWidget* parent) {
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("legend"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(8, 0, 4, 0);
    row->setSpacing(4);
    row->addWidget(new QLabel(QStringLiteral("按键颜色:"), box));
    for (const editing::MarkStyle& style : editing::kMarkStyles) {
        auto* swatch = new QLabel(box);
        swatch->setFixedSize(24, 12);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, QColor(style.r, style.g, style.b));
        swatch->setPalette(palette);
        swatch->setFrameShape(QFrame::Box);
        row->addWidget(swatch);
        row->addWidget(new QLabel(fromUtf8(style.legend), box));
        row->addSpacing(8);
    }
    return box;
}

QLayout* PortDialog::buildBottomRow() {
    auto* row = new QHBoxLayout;
    auto* hint = new QLabel(fromUtf8(editing::kPortHint), this);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    row->addWidget(hint);
    row->addStretch(1);

    // Filled when the installer opens or focuses it: no scan of the system's ports on opening.
    m_ports = new PortComboBox(this);
    m_ports->setObjectName(QStringLiteral("portList"));
    connect(m_ports, &PortComboBox::portChosen, this, &PortDialog::choosePort);
    QLabel* portLabel = labelFor(fromUtf8(editing::kPortListLabel), m_ports, this);
    portLabel->setObjectName(QStringLiteral("portLabel"));
    row->addWidget(portLabel);
    row->addWidget(m_ports);
    row->addSpacing(12);

    auto* sync = dialogButton(fromUtf8(editing::kSyncRelays), this);
    sync->setObjectName(QStringLiteral("btnSyncRelays"));
    connect(sync, &QPushButton::clicked, this, [this] {
        m_session.syncRelays();
        m_outputs->reselect();
        m_keys->remark();
    });
    auto* ok = dialogButton(fromUtf8(editing::kOk), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    auto* cancel = dialogButton(fromUtf8(editing::kCancel), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(ok, &QPushButton::clicked, this, &PortDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &PortDialog::reject);
    for (QPushButton* button : {static_cast<QPushButton*>(sync), static_cast<QPushButton*>(ok),
                                static_cast<QPushButton*>(cancel)}) {
        row->addWidget(button);
    }
    return row;
}

void PortDialog::choosePort(const PortChoice& choice) {
    if (m_link) m_link->close();
    m_link.reset();
    m_portOpen = false;
    m_link = m_factory(choice, m_room);
    if (!m_link) return;
    connect(m_link.get(), &platform::SerialLink::lost, this, [this](const QString& reason) {
        m_portOpen = false;
        m_prompter.warning(QStringLiteral("串口已断开!\n") + reason, platform::defaultCaption());
    });
    if (!m_link->open(linkPortName(choice))) {
        m_prompter.warning(QStringLiteral("串口打开失败!\n") + choice.displayText +
                               QStringLiteral("\n") + m_link->errorString(),
                           platform::defaultCaption());
        m_link.reset();
        return;
    }
    m_portOpen = true;
}

// The switches leave their editing state; without an open port nothing is sent or shown.
void PortDialog::endEditing() {
    if (!m_link) return;
    if (m_portOpen && m_link->isOpen()) {
        const protocol::Bytes frame = protocol::portEditorCloseFrame();
        m_link->write(QByteArray(reinterpret_cast<const char*>(frame.data()),
                                 static_cast<qsizetype>(frame.size())));
    }
    m_portOpen = false;
    platform::SerialLink* link = m_link.release();
    link->disconnect(this);
    QTimer::singleShot(kDrainMs, link, &QObject::deleteLater);
}

void PortDialog::accept() {
    const editing::PortAcceptOutcome outcome = m_session.accept();
    if (!outcome.accepted) {
        if (outcome.message) {
            m_prompter.information(fromUtf8(*outcome.message), platform::defaultCaption());
        }
        return;
    }
    endEditing();
    QDialog::accept();
}

void PortDialog::reject() {
    if (m_mayCancel && !m_mayCancel()) return;
    endEditing();
    QDialog::reject();
}

bool runPortDialog(model::RoomTypeConfig& room, model::RoomTypeConfig& edit, editing::EditMode mode,
                   platform::Prompter& prompter, QWidget* parent,
                   const editing::CancelCheck& mayCancel) {
    PortDialog dialog(room, edit, mode, prompter, parent);
    dialog.setCancelCheck(mayCancel);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace room::gui
