#pragma once
// A window of its own listing what differs between two room types: one collapsible group per
// part (the room type, lamp names, each device, options), one line per difference, every line
// selectable and copyable. The main window's "对比..." and the console's "与读取前对比" show it.

#include <QDialog>
#include <vector>

#include "core/compare/compare.h"

class QLabel;
class QTreeWidget;

namespace room::gui {

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    // `from` and `to` say what was compared ("内存中的房型", a file's path).
    CompareWindow(const QString& from, const QString& to,
                  const std::vector<compare::Difference>& differences, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return m_tree; }
    // The selected lines, or all of them when none is selected, one per line.
    QString selectedText() const;
    void copy() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* m_tree = nullptr;
};

inline constexpr const char* kCompareCaption = "对比";

// Shows the window for `before` against `after` (not modal; it deletes itself when closed).
CompareWindow* showComparison(const model::RoomTypeConfig& before,
                              const model::RoomTypeConfig& after, const QString& from,
                              const QString& to, QWidget* parent);

}  // namespace room::gui
