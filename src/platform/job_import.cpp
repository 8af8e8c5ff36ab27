#include "platform/job_import.h"

#include <QDir>
#include <QFileInfo>
#include <map>

#include "core/format/shd_file.h"
#include "core/model/room_type.h"
#include "core/records/room_number.h"
#include "platform/file_io.h"
#include "platform/record_store.h"

namespace room::platform {

namespace {

// A rooms table of a large hotel stays far below this.
constexpr qint64 kMaxRoomsTableBytes = 16 * 1024 * 1024;

struct LoadedType {
    records::RoomTypeId id;
    QString error;  // why the file cannot serve as a room type
};

LoadedType loadType(const QString& path) {
    const ReadResult file = readFileBytes(path, static_cast<qint64>(format::kMaxRoomTypeFileBytes));
    if (!file.ok) return {{}, QStringLiteral("房型文件无法读取: ") + path + QStringLiteral(" (") + file.error + QStringLiteral(")")};
    model::RoomTypeConfig room = model::makeStartupRoomType();
    const format::LoadResult result = format::readRoomTypeFile(
        std::string_view(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size())), room);
    if (result.refused()) {
        const QString why = result.messages.empty() ? QString() : QString::fromStdString(result.messages.front());
        return {{}, QStringLiteral("房型文件无法打开: ") + path + QStringLiteral(" ") + why};
    }
    return {roomTypeId(room), {}};
}

}  // namespace

std::string roomTypeHashOf(const QString& path) {
    return loadType(path).id.hash;
}

JobImport readRoomsFile(const QString& csvPath) {
    JobImport out;
    const ReadResult file = readFileBytes(csvPath, kMaxRoomsTableBytes);
    if (!file.ok) {
        out.errors.push_back((QStringLiteral("房间表无法读取: ") + file.error).toStdString());
        return out;
    }
    const records::RoomsTable table = records::parseRoomsTable(
        std::string_view(file.bytes.constData(), static_cast<std::size_t>(file.bytes.size())));
    out.errors = table.errors;
    const QDir folder = QFileInfo(csvPath).absoluteDir();
    std::map<QString, LoadedType> types;  // each file read once
    for (const records::RoomsTableLine& line : table.rooms) {
        // A table written on Windows may separate folders with backslashes wherever it is read.
        const QString given = QString::fromStdString(line.path).replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString path = QDir::cleanPath(folder.absoluteFilePath(given));
        auto found = types.find(path);
        if (found == types.end()) found = types.emplace(path, loadType(path)).first;
        if (!found->second.error.isEmpty()) {
            out.errors.push_back(records::lineError(line.line, found->second.error.toStdString()));
            continue;
        }
        out.rooms.push_back({line.roomNumber, line.floor, path.toStdString(), found->second.id});
    }
    if (!out.errors.empty()) out.rooms.clear();
    return out;
}

std::optional<records::JobRoom> jobRoom(const std::string& roomNumber, const std::string& floor,
                                        const QString& roomTypePath, QString* error) {
    const records::RoomNumberCheck number = records::checkRoomNumber(roomNumber);
    const records::RoomNumberCheck floorCheck = records::checkRoomNumber(floor);
    QString problem = QString::fromStdString(number.reason);
    if (problem.isEmpty() && !floorCheck.empty() && !floorCheck.ok()) {
        problem = QStringLiteral("楼层") + QString::fromStdString(floorCheck.reason).mid(2);
    }
    LoadedType type;
    if (problem.isEmpty()) {
        type = loadType(QDir::cleanPath(QFileInfo(roomTypePath).absoluteFilePath()));
        problem = type.error;
    }
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return std::nullopt;
    }
    const std::string shownFloor = floorCheck.empty() ? records::floorOf(number.number) : floorCheck.number;
    return records::JobRoom{number.number, shownFloor,
                            QDir::cleanPath(QFileInfo(roomTypePath).absoluteFilePath()).toStdString(),
                            type.id};
}

}  // namespace room::platform
