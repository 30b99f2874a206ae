#pragma once

#include "simulator/simulated_station.h"
#include "simulator/simulator_settings.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

class QTcpServer;
class SimulatorSession;

// A controller on TCP: one simulated station, shared by every console that connects.
class ControllerSimulator : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 4001;

    // Starts with the built-in demonstration station.
    explicit ControllerSimulator(QObject *parent = nullptr);
    explicit ControllerSimulator(SimulatedStation station, QObject *parent = nullptr);
    ~ControllerSimulator() override;

    bool listen(const QHostAddress &address, quint16 port = DefaultPort);
    // Stops listening and drops every connection.
    void close();
    QString errorString() const;
    int clientCount() const;

    SimulatedStation &station() { return station_; }
    const SimulatorSettings &settings() const { return settings_; }

    void setSettings(const SimulatorSettings &settings) { settings_ = settings; }
    void setReplyDelay(int ms) { settings_.replyDelayMs = ms; }
    void setAckTimeout(int ms) { settings_.ackTimeoutMs = ms; }
    void setChunkSize(int bytes) { settings_.chunkSize = bytes; }
    void setNakRequests(bool on) { settings_.nakRequests = on; }
    void setWrongCheckByte(bool on) { settings_.wrongCheckByte = on; }
    void setCloseAfterFrames(int frames) { settings_.closeAfterFrames = frames; }
    void setUnterminatedFrame(bool on) { settings_.unterminatedFrame = on; }
    void setGarbageOnConnect(int bytes) { settings_.garbageOnConnect = bytes; }
    void setFloodOnConnect(int frames) { settings_.floodOnConnect = frames; }
    void setReplyFault(ReplyFault fault, const QByteArrayList &codes = {})
    {
        settings_.replyFault = fault;
        settings_.faultCodes = codes;
    }

public slots:
    // To every connected console.
    void sendGarbage(int bytes);
    void sendFlood(int frames);

signals:
    void clientConnected(const QString &peer);
    void clientDisconnected(const QString &peer);
    void requestReceived(const QString &peer, const QByteArray &frame);
    void replySent(const QString &peer, const QByteArray &frame);

private:
    void acceptConnections();

    QTcpServer *server_;
    SimulatedStation station_;
    SimulatorSettings settings_;
    QList<SimulatorSession *> sessions_;
};
