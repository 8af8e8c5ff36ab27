#pragma once
// A main window with every outside service replaced: the recording prompter, file dialogs that
// answer from a script, and a speech stub. Plus a small room type and a hand-written .shd file.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <memory>

#include "core/format/gbk.h"
#include "core/model/room_type.h"
#include "gui/main/file_dialogs.h"
#include "gui/main/main_window.h"
#include "gui/main/toolbar.h"
#include "gui/toolkit/color_button.h"
#include "platform/speech.h"
#include "support/recording_prompter.h"

namespace room::testing {

class ScriptedFileDialogs : public gui::FileDialogs {
public:
    QStringList savePaths;  // answers, in order; empty means Cancel
    QStringList openPaths;
    QStringList proposedNames;

    QString saveFileName(QWidget*, const QString& proposedName) override {
        proposedNames << proposedName;
        return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
    }
    QString openFileName(QWidget*) override {
        return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
    }
};

class FakeSpeech : public platform::Speech {
public:
    platform::SpeechStatus status = platform::SpeechStatus::Spoken;
    QStringList spoken;
    platform::SpeechStatus speak(const QString& text) override {
        spoken << text;
        return status;
    }
};

struct WindowFixture {
    gui::RoomDocument document;
    RecordingPrompter prompter;
    ScriptedFileDialogs dialogs;
    FakeSpeech speech;
    std::unique_ptr<gui::MainWindow> window;

    WindowFixture() {
        window = std::make_unique<gui::MainWindow>(
            document, gui::MainWindowServices{&prompter, &dialogs, &speech});
    }
    gui::ColorButton* key(int k) const {
        return window->findChild<gui::ColorButton*>(QStringLiteral("key%1").arg(2099 + k));
    }
    gui::ColorButton* relay(int k) const {
        return window->findChild<gui::ColorButton*>(QStringLiteral("relay%1").arg(2399 + k));
    }
    QToolButton* button(int id) const {
        return window->findChild<QToolButton*>(QStringLiteral("btn%1").arg(id));
    }
};

// Device 1 keys: 廊灯(10), card(78), 睡眠模式(50), 窗帘开(80), 窗帘关(81), 明亮模式(51);
// device 1 outputs 10, 10, 80, 81, 78, 93; device 2 outputs 11, 12 (relays 7, 8).
inline model::RoomTypeConfig demoRoom() {
    model::RoomTypeConfig room = model::makeStartupRoomType();
    room.hotelName = "测试酒店";
    room.roomTypeName = "大床房";
    room.deviceCount = 2;
    room.switchPanelCount = 2;
    room.inputCount = 144;
    room.outputCount = 144;
    const int keys[] = {10, 78, 50, 80, 81, 51};
    const int outs[] = {10, 10, 80, 81, 78, 93};
    room.devices[1].type = room.devices[2].type = 1;
    for (int j = 0; j < 6; ++j) {
        model::setInput(room, 1, j, keys[j]);
        model::setOutput(room, 1, j, outs[j]);
    }
    model::setOutput(room, 2, 0, 11);
    model::setOutput(room, 2, 1, 12);
    return room;
}

// A room-type file as an installer's copy would hold it; `versionField` goes into line 5.
inline QString handWrittenShd(const QString& versionField) {
    return QStringLiteral(
               "注意：请勿直接修改本文件内容，以免造成错乱！, \r\n"
               "酒店名称:,湖畔酒店, \r\n"
               "房型名称:,套房, \r\n"
               "房型编号:,12, \r\n"
               "主机型号:,3,0,0,3.联网485,0,0,0,%1 \r\n"
               "S,1,144,144,2,0,2,0,0,0,0,0,0,0,0,0,0,0, \r\n"
               "P,10,0,1,0,0,0, \r\n"
               "L,0,0,0,0,0,0, \r\n"
               "K,1,床头,1,10,78,50,80,81,0,10,10,80,81,78,93, \r\n"
               "K,2,门口,1,0,0,0,0,0,0,11,12,0,0,0,0, \r\n"
               "---------------------------------------------, \r\n"
               "以下为对应灯名表:, \r\n"
               "普通灯光按键:, \r\n"
               "10号,走廊灯, \r\n")
        .arg(versionField);
}

inline bool writeGbkFile(const QString& path, const QString& text) {
    const std::string bytes = format::utf8ToGbk(text.toStdString());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

inline QString readGbkFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromStdString(format::gbkToUtf8(file.readAll().toStdString()));
}

}  // namespace room::testing
