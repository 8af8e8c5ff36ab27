#pragma once
// What the test-page tests share: a console whose port writes into a list, frames built by hand
// from the short-frame rule, and ways to press a page's buttons and choose its list items.

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <map>
#include <memory>

#include "core/format/shd_file.h"
#include "gui/console/console_context.h"
#include "support/recording_prompter.h"

namespace room::testing {

using gui::ConsoleContext;
using Frame = QList<int>;

// Everything the console writes, frame by frame.
class RecordingLink : public room::platform::SerialLink {
public:
    QList<QByteArray> writes;
    bool open(const QString&) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override {
        writes << bytes;
        return m_open;
    }
    QString errorString() const override { return {}; }

private:
    bool m_open = false;
};

// A short frame from its command bytes (index 1..14), built the way the devices check it:
// 0xF0, the bytes, the low 8 bits of the sum of bytes 0..14, 0x0F.
inline Frame shortFrame(const std::map<int, int>& bytes) {
    Frame frame(17, 0);
    frame[0] = 0xF0;
    for (auto [at, value] : bytes) frame[at] = value;
    int sum = 0;
    for (int i = 0; i < 15; ++i) sum += frame[i];
    frame[15] = sum & 0xFF;
    frame[16] = 0x0F;
    return frame;
}

inline Frame hex(const char* text) {
    Frame frame;
    for (const QByteArray& part : QByteArray(text).split(' ')) frame << part.toInt(nullptr, 16);
    return frame;
}

inline Frame toFrame(const QByteArray& bytes) {
    Frame frame;
    for (char c : bytes) frame << static_cast<unsigned char>(c);
    return frame;
}

struct Console {
    room::gui::RoomDocument document;
    room::testing::RecordingPrompter prompter;
    RecordingLink* link = nullptr;
    std::unique_ptr<ConsoleContext> context;

    explicit Console(bool openPort = true) {
        context = std::make_unique<ConsoleContext>(
            document, prompter, [this](const room::gui::PortChoice&, const auto&) {
                auto made = std::make_unique<RecordingLink>();
                link = made.get();
                return made;
            });
        if (openPort) {
            context->choosePort({QStringLiteral("ttyUSB0 test"), QStringLiteral("ttyUSB0"), false});
            link->writes.clear();
        }
    }
    QList<Frame> sent() const {
        QList<Frame> frames;
        if (link)
            for (const QByteArray& bytes : link->writes) frames << toFrame(bytes);
        return frames;
    }
    void clearSent() {
        if (link) link->writes.clear();
    }
};

inline void loadExample(room::model::RoomTypeConfig& room) {
    QFile file(QStringLiteral(ROOM_EXAMPLES "/grand-hotel-deluxe.shd"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto result = room::format::readRoomTypeFile(bytes.toStdString(), room);
    QVERIFY(!result.refused());
}

// The one button of `parent` showing `text` (inside the group `group` when given).
inline QPushButton* button(QWidget* parent, const QString& text, const QString& group = {}) {
    QWidget* scope = parent;
    if (!group.isEmpty()) {
        for (QGroupBox* box : parent->findChildren<QGroupBox*>())
            if (box->title() == group) scope = box;
        if (scope == parent) return nullptr;
    }
    QPushButton* found = nullptr;
    for (QPushButton* candidate : scope->findChildren<QPushButton*>()) {
        if (candidate->text() != text) continue;
        if (found) return nullptr;  // ambiguous
        found = candidate;
    }
    return found;
}

inline QPushButton* named(QWidget* parent, const QString& name) {
    return parent->findChild<QPushButton*>(name);
}

inline QComboBox* list(QWidget* parent, const QString& name) {
    return parent->findChild<QComboBox*>(name);
}

// As the installer picks an item: activated comes even when the item was already shown.
inline void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

inline QStringList items(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

inline const QString kChoosePort = QStringLiteral("请选择串口!");

}  // namespace room::testing
