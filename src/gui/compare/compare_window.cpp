#include "gui/compare/compare_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/toolkit/labelled.h"

namespace room::gui {

namespace {

QString fromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString summaryText(std::size_t count) {
    return count == 0 ? QStringLiteral("没有不同") : QStringLiteral("共%1处不同").arg(count);
}

}  // namespace

CompareWindow::CompareWindow(const QString& from, const QString& to,
                             const std::vector<compare::Difference>& differences, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("compareWindow"));
    setWindowTitle(QString::fromUtf8(kCompareCaption));
    auto* column = new QVBoxLayout(this);
    auto* sides = new QLabel(QStringLiteral("从: %1\n到: %2").arg(from, to), this);
    sides->setObjectName(QStringLiteral("compareSides"));
    sides->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sides->setWordWrap(true);
    column->addWidget(sides);

    auto* summary = new QLabel(summaryText(differences.size()), this);
    summary->setObjectName(QStringLiteral("compareSummary"));
    column->addWidget(summary);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("compareTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setUniformRowHeights(true);
    labelFor(summary, m_tree);
    QTreeWidgetItem* group = nullptr;
    for (const compare::Difference& d : differences) {
        const QString name = fromUtf8(d.group);
        if (group == nullptr || group->text(0) != name) {
            group = new QTreeWidgetItem(m_tree, QStringList(name));
            group->setFirstColumnSpanned(true);
            group->setExpanded(true);
        }
        new QTreeWidgetItem(group, QStringList(fromUtf8(d.text)));
    }
    m_tree->expandAll();
    column->addWidget(m_tree, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copyButton = buttons->addButton(QStringLiteral("复制"), QDialogButtonBox::ActionRole);
    copyButton->setObjectName(QStringLiteral("btnCopy"));
    copyButton->setToolTip(QStringLiteral("复制选中的行(未选中时复制全部)"));
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(copyButton, &QPushButton::clicked, this, &CompareWindow::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_tree->installEventFilter(this);
    column->addWidget(buttons);
    // Wide enough for a scene line, well inside 1366 x 768 with the frame.
    resize(900, 600);
}

QString CompareWindow::selectedText() const {
    QStringList all;
    QStringList chosen;
    for (int g = 0; g < m_tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            const QTreeWidgetItem* line = group->child(i);
            all << line->text(0);
            // A selected group stands for all its lines.
            if (line->isSelected() || group->isSelected()) chosen << line->text(0);
        }
    }
    const QStringList& lines = chosen.isEmpty() ? all : chosen;
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool CompareWindow::eventFilter(QObject* watched, QEvent* event) {
    // The view's own Ctrl+C copies one cell; here it copies whole lines.
    if (watched == m_tree && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CompareWindow::copy() const {
    QApplication::clipboard()->setText(selectedText());
}

CompareWindow* showComparison(const model::RoomTypeConfig& before,
                              const model::RoomTypeConfig& after, const QString& from,
                              const QString& to, QWidget* parent) {
    auto* window = new CompareWindow(from, to, compare::compareRoomTypes(before, after), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace room::gui
