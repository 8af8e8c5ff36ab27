#include "platform/report_pdf.h"

#include <QBuffer>
#include <QDate>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "core/model/catalogues.h"
#include "platform/file_io.h"

namespace room::platform {

namespace {

QString html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

QString verdictCell(records::Verdict verdict) {
    const QString text = QString::fromUtf8(records::verdictText(verdict).data(),
                                           static_cast<qsizetype>(records::verdictText(verdict).size()));
    const char* colour = verdict == records::Verdict::Ok ? "#1a7f37" : "#b42318";
    return QStringLiteral("<td style=\"color:%1\"><b>%2</b></td>").arg(QLatin1String(colour), text);
}

QString section(const records::RunRecord& run, const QString& installer, bool first) {
    QString out = QStringLiteral("<div%1>").arg(
        first ? QString() : QStringLiteral(" style=\"page-break-before:always\""));
    out += QStringLiteral("<h2>调试报告</h2><table cellspacing=\"0\" cellpadding=\"3\">");
    const QList<QPair<QString, QString>> head = {
        {QStringLiteral("酒店名称:"), html(run.roomType.hotel)},
        {QStringLiteral("房型:"), html(run.roomType.name) + QStringLiteral(" (房型编号 ") +
                                        html(run.roomType.number) + QStringLiteral(")")},
        {QStringLiteral("房号:"), html(run.roomNumber)},
        {QStringLiteral("日期:"), html(run.when) + QStringLiteral(" (") + html(run.operation) +
                                        QStringLiteral(")")},
        {QStringLiteral("调试人员:"), installer.toHtmlEscaped()},
        {QStringLiteral("程序版本:"), html(run.programVersion)},
    };
    for (const auto& [label, value] : head) {
        out += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(label, value);
    }
    out += QStringLiteral("</table><p><b>%1</b>%2</p>")
               .arg(html(records::summaryLine(run)),
                    run.cutShort ? QStringLiteral(" (运行被中断)") : QString());
    out += QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">"
        "<tr><th>编号</th><th>设备类型</th><th>位置</th><th>结果</th><th>差异</th></tr>");
    for (const records::DeviceResult& d : run.devices) {
        QStringList differences;
        for (const std::string& text : d.differences) differences << html(text);
        out += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td>%4<td>%5</td></tr>")
                   .arg(QStringLiteral("%1").arg(d.device, 2, 10, QLatin1Char('0')),
                        html(std::string(model::deviceTypeName(d.type))), html(d.location),
                        verdictCell(d.verdict), differences.join(QStringLiteral("<br>")));
    }
    return out + QStringLiteral("</table></div>");
}

}  // namespace

QString reportHtml(const std::vector<records::RunRecord>& runs, const QString& installer) {
    QString out = QStringLiteral("<html><body>");
    bool first = true;
    for (const records::RunRecord& run : runs) {
        out += section(run, installer, first);
        first = false;
    }
    return out + QStringLiteral("</body></html>");
}

bool writeReportPdf(const QString& path, const std::vector<records::RunRecord>& runs,
                    const QString& installer, QString* error) {
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(150);
        writer.setTitle(QStringLiteral("调试报告"));
        writer.setCreator(QStringLiteral("roomcfg"));
        QTextDocument document;
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPointSize(10);
        document.setDefaultFont(font);
        document.setHtml(reportHtml(runs, installer));
        document.print(&writer);
    }
    const WriteResult written = saveFileBytes(path, pdf);
    if (!written.ok && error) *error = written.error;
    return written.ok;
}

bool writeReportCsv(const QString& path, const std::vector<records::RunRecord>& runs,
                    QString* error) {
    const std::string csv = records::runsCsv(runs);
    const WriteResult written =
        saveFileBytes(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
    if (!written.ok && error) *error = written.error;
    return written.ok;
}

}  // namespace room::platform
