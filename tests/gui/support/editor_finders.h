#pragma once
// Finding an editor's controls as an installer or a screen reader does: by accessible name or
// description and by button caption; and the example room type the editor tests open.

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "core/format/shd_file.h"
#include "core/model/room_type.h"

namespace room::testing {

inline model::RoomTypeConfig exampleRoomType() {
    QFile file(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    model::RoomTypeConfig room = model::makeStartupRoomType();
    format::readRoomTypeFile(std::string_view(bytes.constData(), std::size_t(bytes.size())), room);
    return room;
}

template <typename T = QWidget>
T* byName(QWidget* root, const QString& name) {
    for (T* widget : root->findChildren<T*>()) {
        if (widget->accessibleName() == name) return widget;
    }
    return nullptr;
}

template <typename T = QWidget>
T* described(QWidget* root, const QString& description) {
    for (T* widget : root->findChildren<T*>()) {
        if (widget->accessibleDescription() == description) return widget;
    }
    return nullptr;
}

inline QPushButton* buttonCaptioned(QWidget* root, const QString& caption) {
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        if (button->text() == caption) return button;
    }
    return nullptr;
}

// A button (or check box) with this caption that the installer can see in `root`.
inline QAbstractButton* shownButton(QWidget* root, const QString& caption) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (button->text() == caption && button->isVisibleTo(root)) return button;
    }
    return nullptr;
}

// Chooses the entry that starts with `prefix`, as a click in the list would.
inline void chooseStartingWith(QComboBox* list, const QString& prefix) {
    QVERIFY(list);
    for (int row = 0; row < list->count(); ++row) {
        if (!list->itemText(row).startsWith(prefix)) continue;
        list->setCurrentIndex(row);
        emit list->activated(row);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no entry ") + prefix));
}

}  // namespace room::testing
