#pragma once
// The console's "测试红外发送" tab: air-conditioner and television infrared commands, one button
// each, sent through the console's port.

#include <QWidget>

namespace room::gui {

class ConsoleContext;

class InfraredPage : public QWidget {
    Q_OBJECT

public:
    explicit InfraredPage(ConsoleContext& context, QWidget* parent = nullptr);

private:
    QWidget* buildAirConditionerGroup();
    QWidget* buildTelevisionGroup();

    ConsoleContext& m_context;
};

}  // namespace room::gui
