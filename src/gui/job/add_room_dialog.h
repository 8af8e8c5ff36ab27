#pragma once
// "添加房间...": a room number, its floor (empty: the one the number implies) and its room-type
// file. OK checks all three and reads the file; a refusal is shown and the dialog stays open with
// what was typed, so nothing is kept until the room is right.

#include <QDialog>
#include <functional>
#include <optional>

#include "core/records/job.h"
#include "platform/prompter.h"

class QLineEdit;

namespace room::gui {

// (parent, caption, filter) -> the chosen file; empty when cancelled.
using OpenNameAsker = std::function<QString(QWidget*, const QString&, const QString&)>;
QString askOpenName(QWidget* parent, const QString& caption, const QString& filter);

class AddRoomDialog : public QDialog {
    Q_OBJECT

public:
    AddRoomDialog(platform::Prompter& prompter, OpenNameAsker askOpen, QWidget* parent = nullptr);

    QLineEdit* roomNumberField() const { return m_number; }
    QLineEdit* floorField() const { return m_floor; }
    QLineEdit* roomTypeField() const { return m_roomType; }
    // The room OK accepted.
    const std::optional<records::JobRoom>& room() const { return m_room; }

public slots:
    void accept() override;

private:
    void browse();

    platform::Prompter& m_prompter;
    OpenNameAsker m_askOpen;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_floor = nullptr;
    QLineEdit* m_roomType = nullptr;
    std::optional<records::JobRoom> m_room;
};

}  // namespace room::gui
