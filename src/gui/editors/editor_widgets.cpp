#include "gui/editors/editor_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolTip>

#include "core/editing/field_text.h"
#include "gui/toolkit/labelled.h"

namespace room::gui {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    return labelFor(new QLabel(text, parent), buddy);
}

void refuseFieldBreakers(QLineEdit* field, const QString& what) {
    static const QRegularExpression kAllowed(QStringLiteral("[^,\\r\\n]*"));
    field->setValidator(new QRegularExpressionValidator(kAllowed, field));
    const QString rule = fromUtf8(editing::kFieldTextRule);
    field->setToolTip(what.isEmpty() ? rule : what + QStringLiteral("\n") + rule);
    QObject::connect(field, &QLineEdit::inputRejected, field, [field, rule] {
        QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), rule, field);
    });
}

ColorButton* dialogButton(const QString& text, QWidget* parent) {
    auto* button = new ColorButton(parent);
    button->setText(text);
    button->setFillColor(QColor(144, 215, 236));
    button->setTextColor(Qt::black);
    button->setMinimumWidth(96);
    return button;
}

}  // namespace room::gui
