#include "gui/job/add_room_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/main/file_dialogs.h"
#include "gui/toolkit/labelled.h"
#include "platform/job_import.h"

namespace room::gui {

QString askOpenName(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

AddRoomDialog::AddRoomDialog(platform::Prompter& prompter, OpenNameAsker askOpen, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_askOpen(std::move(askOpen)) {
    if (!m_askOpen) m_askOpen = askOpenName;
    setObjectName(QStringLiteral("addRoom"));
    setWindowTitle(QStringLiteral("添加房间"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto field = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    m_number = field("roomNumber");
    m_number->setMaxLength(40);
    m_floor = field("floor");
    m_floor->setPlaceholderText(QStringLiteral("不填则由房号得出"));
    m_roomType = field("roomTypeFile");
    m_roomType->setMinimumWidth(420);
    auto* browse = new QPushButton(QStringLiteral("浏览..."), this);
    browse->setObjectName(QStringLiteral("btnBrowse"));
    connect(browse, &QPushButton::clicked, this, &AddRoomDialog::browse);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_roomType, 1);
    fileRow->addWidget(browse);
    form->addRow(labelFor(new QLabel(QStringLiteral("房号:"), this), m_number), m_number);
    form->addRow(labelFor(new QLabel(QStringLiteral("楼层:"), this), m_floor), m_floor);
    form->addRow(labelFor(new QLabel(QStringLiteral("房型文件:"), this), m_roomType), fileRow);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &AddRoomDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void AddRoomDialog::browse() {
    const QString path = m_askOpen(this, QStringLiteral("选择房型文件"), kRoomFileFilter);
    if (!path.isEmpty()) m_roomType->setText(path);
}

void AddRoomDialog::accept() {
    QString error;
    m_room =
        platform::jobRoom(m_number->text().toStdString(), m_floor->text().trimmed().toStdString(),
                          m_roomType->text().trimmed(), &error);
    if (!m_room) {
        m_prompter.warning(error, platform::defaultCaption());
        return;
    }
    QDialog::accept();
}

}  // namespace room::gui
