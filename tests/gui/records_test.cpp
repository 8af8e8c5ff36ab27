// The commissioning record: what a console run over the simulated bus writes, the rooms
// "调试记录" lists and filters, the report's text and the CSV, and a record database that cannot
// be written (read-only, broken) never keeping a run from ending with its result.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/console/console_window.h"
#include "gui/ports/port_combo_box.h"
#include "gui/records/record_location_dialog.h"
#include "gui/records/records_dialog.h"
#include "platform/record_location.h"
#include "platform/settings_store.h"
#include "platform/record_store.h"
#include "platform/hand_over.h"
#include "platform/simulated_link.h"
#include "support/sim_console.h"

using namespace room::testing;
using room::platform::RecordStore;
using room::records::Verdict;

namespace {

constexpr int kRunTimeoutMs = 60000;

// A console over the simulated bus that keeps its record in `records`, with its port chosen.
struct RecordingConsole : ConsoleFixture {
    explicit RecordingConsole(const QString& records) : ConsoleFixture(true, records) {
        choosePort();
    }

    // Types the room number as an installer does, then runs verify all to its end.
    void verifyAll(const QString& roomNumber) {
        QLineEdit* field = window->recordBar()->roomNumberField();
        field->setText(roomNumber);
        emit field->editingFinished();
        QTest::mouseClick(named(window.get(), QStringLiteral("btn261")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window->context().engine().runActive(), kRunTimeoutMs);
    }
};

std::vector<room::records::RunRecord> allRuns(const QString& path) {
    RecordStore store(path);
    const auto runs = store.runs(std::nullopt);
    return runs ? *runs : std::vector<room::records::RunRecord>{};
}

QString pdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(30000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class RecordsTest : public QObject {
    Q_OBJECT

private slots:
    void consoleRunIsRecordedAsItEnded();
    void recordsWindowListsFiltersAndExports();
    void reportNamesEveryDeviceAndItsResult();
    void recordThatCannotBeKeptNeverStopsTheRun_data();
    void recordThatCannotBeKeptNeverStopsTheRun();
    void roomNumberIsRemembered();
    void singleChecksAreRecordedToo();
    void locationIsKeptWithoutItsPassword();
    void snapshots();
};

// One silent and one differing device of seven: the record says exactly what the run found.
void RecordsTest::consoleRunIsRecordedAsItEnded() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    RecordingConsole console(path);
    console.link->bus().faults(3).silent = true;
    console.link->bus().faults(6).corrupt = true;
    console.verifyAll(QStringLiteral("1208"));
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:03 数据异常的编号:06 "));

    const auto runs = allRuns(path);
    QCOMPARE(runs.size(), std::size_t(1));
    const room::records::RunRecord& run = runs.front();
    QCOMPARE(QString::fromStdString(run.operation), QStringLiteral("校验所有"));
    QCOMPARE(QString::fromStdString(run.roomNumber), QStringLiteral("1208"));
    QCOMPARE(QString::fromStdString(run.roomType.name), QStringLiteral("豪华大床房"));
    QCOMPARE(QString::fromStdString(run.port), QStringLiteral("SIM 模拟设备总线"));
    QCOMPARE(run.roomType, room::platform::roomTypeId(console.document.room));
    QCOMPARE(run.devices.size(), std::size_t(7));
    for (const room::records::DeviceResult& d : run.devices) {
        const Verdict expected = d.device == 3 ? Verdict::NoAnswer
                                 : d.device == 6 ? Verdict::Differs
                                                 : Verdict::Ok;
        QCOMPARE(int(d.verdict), int(expected));
        QCOMPARE(d.differences.empty(), d.device != 6);
        QCOMPARE(d.location, console.document.room.devices[d.device].name);
    }
    QCOMPARE(QString::fromStdString(room::records::summaryLine(run)),
             QStringLiteral("7台设备中5台校验一致, 无应答: 03, 数据异常: 06"));
    QVERIFY(console.window->recordBar()->recordLine().startsWith(QStringLiteral("调试记录已保存")));
}

void RecordsTest::recordsWindowListsFiltersAndExports() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    {
        RecordingConsole console(path);
        console.verifyAll(QStringLiteral("902"));
        console.link->bus().faults(2).silent = true;
        console.verifyAll(QStringLiteral("1208"));
    }
    RecordingPrompter prompter;
    QString saved;
    room::gui::RecordsDialog dialog(
        prompter, {path, [&](QWidget*, const QString&, const QString& name, const QString&) {
                       saved = QDir(dir.path()).filePath(name);
                       return saved;
                   }});
    QCOMPARE(dialog.shownRooms(), 2);
    QTableView* table = dialog.table();
    // Numbers sort as numbers: 902 before 1208.
    QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("902"));
    QCOMPARE(table->model()->index(1, 4).data().toString(), QStringLiteral("无应答 6/7"));
    QCOMPARE(table->model()->index(0, 4).data().toString(), QStringLiteral("校验通过 7/7"));

    dialog.findChild<QCheckBox*>(QStringLiteral("notVerified"))->setChecked(true);
    QCOMPARE(dialog.shownRooms(), 1);
    QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("1208"));

    QVERIFY(dialog.exportCsv());
    QFile csv(saved);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));  // UTF-8 with a byte-order mark
    const QString text = QString::fromUtf8(bytes.mid(3));
    QCOMPARE(text.toUtf8(), bytes.mid(3));  // valid UTF-8 throughout
    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);  // the header and the one room shown
    QVERIFY(lines[1].startsWith(QStringLiteral("1208,云栖湖畔大酒店,豪华大床房,8,")));

    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("roomTypeFilter"));
    QCOMPARE(types->count(), 2);  // every room type, and the example's
    dialog.findChild<QCheckBox*>(QStringLiteral("notVerified"))->setChecked(false);
    choose(types, 1);
    QCOMPARE(dialog.shownRooms(), 2);

    // Room 902 commissioned again with another room type: its older row is no longer 校验通过.
    room::records::RunRecord again = allRuns(path).back();
    again.roomType.name = "标准双床房";
    again.roomType.hash = "another";
    again.uuid.clear();  // another entry, not the same one sent again
    QVERIFY(RecordStore(path).add(again));
    QVERIFY(dialog.reload());
    choose(types, 0);
    QCOMPARE(dialog.shownRooms(), 3);
    QStringList states;
    for (int row = 0; row < 3; ++row) {
        states << table->model()->index(row, 1).data().toString().section(QLatin1Char(' '), 1, 1) +
                      QLatin1Char('=') + table->model()->index(row, 4).data().toString();
    }
    QVERIFY2(states.contains(QStringLiteral("豪华大床房=需复核 7/7")) &&
                 states.contains(QStringLiteral("标准双床房=校验通过 7/7")),
             qPrintable(states.join(QLatin1Char(','))));
}

void RecordsTest::reportNamesEveryDeviceAndItsResult() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    RecordingConsole console(path);
    console.link->bus().faults(5).silent = true;
    console.link->bus().faults(2).corrupt = true;
    console.window->recordBar()->installerField()->setText(QStringLiteral("张工"));
    console.verifyAll(QStringLiteral("1301"));
    const auto runs = allRuns(path);
    QCOMPARE(runs.size(), std::size_t(1));
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    RecordStore store(path);
    const auto job = room::platform::reportJob(store, {});
    QVERIFY(job);
    QVERIFY2(room::platform::writeHandOverPdf(pdf, *job, &error) == room::platform::ReportResult::Written,
             qPrintable(error));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("7台设备中5台校验一致")), qPrintable(text));
    // Device 2's key difference names the lamps, as the console does.
    QVERIFY2(text.contains(QStringLiteral("应为")), qPrintable(text));
    for (const QString& expected :
         {QStringLiteral("云栖湖畔大酒店"), QStringLiteral("豪华大床房"), QStringLiteral("1301"),
          QStringLiteral("张工"), QStringLiteral("V1.6.2")}) {
        QVERIFY2(text.contains(expected), qPrintable(expected));
    }
    // One row per device: its number, location and result.
    const QStringList rows = text.split(QLatin1Char('\n'));
    for (const room::records::DeviceResult& d : runs.front().devices) {
        const QString number = QStringLiteral("%1").arg(d.device, 2, 10, QLatin1Char('0'));
        const QString result = QString::fromUtf8(room::records::verdictText(d.verdict).data());
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const QString& line) {
            return line.trimmed().startsWith(number + QLatin1Char(' '));
        });
        QVERIFY2(row != rows.end(), qPrintable(number));
        QVERIFY2(row->contains(result), qPrintable(*row));
        QVERIFY2(row->contains(QString::fromStdString(d.location)), qPrintable(*row));
    }
}

void RecordsTest::recordThatCannotBeKeptNeverStopsTheRun_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("broken file") << QStringLiteral("broken");
    QTest::newRow("locked by another writer") << QStringLiteral("locked");
    QTest::newRow("read-only file") << QStringLiteral("read-only");
}

// The run ends with its result on screen whatever the record does; a locked record is kept once
// the other writer lets go.
void RecordsTest::recordThatCannotBeKeptNeverStopsTheRun() {
    QFETCH(QString, fault);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    {
        RecordStore store(path);
        QVERIFY(store.rooms());  // a real database with its tables
    }
    std::optional<QSqlDatabase> holder;
    if (fault == QStringLiteral("broken")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
    } else if (fault == QStringLiteral("locked")) {
        holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        holder->setDatabaseName(path);
        QVERIFY(holder->open());
        QVERIFY(QSqlQuery(*holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
    } else {
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        if (QFileInfo(path).isWritable()) QSKIP("file permissions do not bind this user (root)");
    }
    RecordingConsole console(path);
    console.link->bus().faults(4).silent = true;
    console.verifyAll(QStringLiteral("77"));
    QCOMPARE(console.window->titleLine(), QStringLiteral("未读到的编号:04 数据异常的编号:"));
    QVERIFY(console.window->statusLine().startsWith(QStringLiteral("校验完成")));
    const QString line = console.window->recordBar()->recordLine();
    QVERIFY2(line.startsWith(QStringLiteral("调试记录")) && line.contains(QStringLiteral("重试")),
             qPrintable(line));
    QVERIFY(console.prompter.records().isEmpty());  // no box holds the installer up
    if (holder) {
        QSqlQuery(*holder).exec(QStringLiteral("ROLLBACK"));
        holder->close();
        holder.reset();
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QTRY_VERIFY_WITH_TIMEOUT(console.window->recordBar()->recordLine().startsWith(
                                     QStringLiteral("调试记录已保存")),
                                 room::gui::RecordBar::kRetryMs * 2);
        QCOMPARE(allRuns(path).size(), std::size_t(1));
    }
}

void RecordsTest::roomNumberIsRemembered() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    {
        RecordingConsole console(path);
        console.verifyAll(QStringLiteral("A-512"));
    }
    RecordingConsole again(path);
    QCOMPARE(again.window->recordBar()->roomNumberField()->text(), QStringLiteral("A-512"));
    auto* field = again.window->findChild<QComboBox*>(QStringLiteral("roomNumber"));
    QCOMPARE(field->accessibleName().isEmpty() ? QString() : QStringLiteral("ok"),
             QStringLiteral("ok"));
}

// A switch page's check of one device adds an entry of that device alone.
void RecordsTest::singleChecksAreRecordedToo() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("records.sqlite"));
    RecordingConsole console(path);
    console.link->bus().faults(2).corrupt = true;
    console.window->recordBar()->roomNumberField()->setText(QStringLiteral("808"));
    QRadioButton* verify = nullptr;
    for (QRadioButton* radio : console.window->findChildren<QRadioButton*>()) {
        if (radio->text() == QStringLiteral("校验配置") && !verify) verify = radio;
    }
    QVERIFY(verify);
    verify->click();
    QPushButton* send = button(console.window.get(), QStringLiteral("2#发送"));
    QVERIFY(send);
    send->click();
    QTRY_COMPARE_WITH_TIMEOUT(allRuns(path).size(), std::size_t(1), 5000);
    const room::records::RunRecord run = allRuns(path).front();
    QCOMPARE(QString::fromStdString(run.operation), QStringLiteral("单台校验"));
    QCOMPARE(QString::fromStdString(run.roomNumber), QStringLiteral("808"));
    QCOMPARE(run.devices.size(), std::size_t(1));
    QCOMPARE(run.devices.front().device, 2);
    QCOMPARE(int(run.devices.front().verdict), int(Verdict::Differs));
    QVERIFY(!run.devices.front().differences.empty());
}

// Pictures to look at (RECORDS_SNAPSHOTS=/some/dir): "调试记录" at 1366 x 768, a room's runs, and
// the console with its record line after a run.
void RecordsTest::snapshots() {
    const QString dir = qEnvironmentVariable("RECORDS_SNAPSHOTS");
    if (dir.isEmpty()) QSKIP("set RECORDS_SNAPSHOTS to a folder to write the pictures");
    QTemporaryDir data;
    const QString path = data.filePath(QStringLiteral("records.sqlite"));
    {
        RecordingConsole console(path);
        console.verifyAll(QStringLiteral("902"));
        console.link->bus().faults(2).silent = true;
        console.link->bus().faults(5).corrupt = true;
        console.verifyAll(QStringLiteral("1208"));
        console.window->resize(1366, 740);
        console.window->show();
        QTest::qWait(200);
        QVERIFY(console.window->grab().save(dir + QStringLiteral("/console-record.png")));
    }
    RecordingPrompter prompter;
    room::gui::RecordsDialog dialog(prompter, {path, {}});
    dialog.resize(1366, 740);
    dialog.show();
    QTest::qWait(100);
    QVERIFY(dialog.grab().save(dir + QStringLiteral("/records.png")));
    room::gui::RecordLocationDialog location(nullptr, {});
    location.locationField()->setText(QStringLiteral("postgresql://roomcfg@192.168.1.20:5432/records"));
    location.testConnection();
    location.show();
    QTest::qWait(50);
    QVERIFY(location.grab().save(dir + QStringLiteral("/record-location.png")));
    QTimer::singleShot(300, [&] {
        QWidget* runs = QApplication::activeModalWidget();
        if (runs) {
            runs->grab().save(dir + QStringLiteral("/records-runs.png"));
            runs->close();
        }
    });
    dialog.showRuns(1);
}

// "调试记录位置...": a server's password is used, never written; a file is a file again.
void RecordsTest::locationIsKeptWithoutItsPassword() {
    QTemporaryDir dir;
    room::platform::SettingsStore settings(dir.path());
    room::gui::RecordLocationDialog dialog(&settings, {});
    dialog.locationField()->setText(QStringLiteral(" postgresql://roomcfg@127.0.0.1:5999/records "));
    dialog.passwordField()->setText(QStringLiteral("s3cret:@/"));
    QVERIFY(dialog.apply());
    QFile ini(settings.filePath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray written = ini.readAll();
    QVERIFY2(written.contains("postgresql://roomcfg@127.0.0.1:5999/records") && !written.contains("s3cret"),
             written.constData());
    const auto location = room::platform::parseRecordLocation(RecordStore::userRecord(), nullptr);
    QVERIFY(location && location->password == QStringLiteral("s3cret:@/"));
    dialog.locationField()->setText(QStringLiteral("postgresql://nobody"));
    QVERIFY(!dialog.apply());
    QVERIFY(dialog.statusText().startsWith(QStringLiteral("调试记录位置无效")));
    dialog.locationField()->setText(dir.filePath(QStringLiteral("team.sqlite")));
    QVERIFY(dialog.apply());
    QCOMPARE(RecordStore::userRecord(), dir.filePath(QStringLiteral("team.sqlite")));
    RecordStore::setUserRecord({});
}

QTEST_MAIN(RecordsTest)
#include "records_test.moc"
