#pragma once
// A SerialLink to emulated devices in process: what the console writes goes to a simulator::Bus,
// and the devices' answers come back at their wire times (9600 baud, 10 bit times a byte, after
// the devices' reaction time), so a run over it takes as long as on a real bus.

#include <QTimer>

#include "core/model/room_type.h"
#include "core/simulator/bus.h"
#include "platform/serial_link.h"

namespace room::platform {

class SimulatedLink : public SerialLink {
    Q_OBJECT

public:
    // Devices 1..32, empty.
    explicit SimulatedLink(QObject* parent = nullptr);
    // Devices holding what a correctly configured `room` would have given them.
    explicit SimulatedLink(const model::RoomTypeConfig& room, QObject* parent = nullptr);

    // Any port name opens the simulated bus.
    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    QString errorString() const override { return m_error; }

    // The devices, for tests and fault scripts. Change timing or faults between frames.
    simulator::Bus& bus() { return m_bus; }
    const simulator::Bus& bus() const { return m_bus; }

    // As if the adapter were pulled: the link closes and reports `lost`.
    void pullAdapter(const QString& reason);

private:
    void deliver();
    void scheduleNext();

    simulator::Bus m_bus;
    QTimer m_timer;
    bool m_open = false;
    QString m_error;
};

}  // namespace room::platform
