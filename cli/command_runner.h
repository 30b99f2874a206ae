#pragma once

#include "cli/cli_options.h"
#include "cli/command_report.h"
#include "cli/station_address.h"
#include "session/session_request.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>

class ControllerSession;

// One command from connection to closing: connect, open the dialogue, send the command, collect
// its replies, end the dialogue. Driven by the session's signals; nothing here waits.
class CommandRunner : public QObject {
    Q_OBJECT
public:
    CommandRunner(ControllerSession *session, const CliOptions &options, const StationAddress &address,
                  const QByteArray &password, QObject *parent = nullptr);

    void start();

    // Whether the command brought back something to print (also with exit codes 1 and 6).
    bool hasReport() const { return hasReport_; }
    const CommandReport &report() const { return report_; }

signals:
    // A failed step, in Portuguese, for standard error.
    void problem(const QString &message);
    // The command's request once queued, before any of its replies, so others can follow it too.
    void commandSent(SessionRequest *request);
    // Once, with the exit code, after the dialogue was closed or could not be opened.
    void finished(int exitCode);

private:
    void onConnected();
    void onConnectionFailed(QAbstractSocket::SocketError error);
    void onPeerClosed();
    void onDialogueOpened(SessionRequest *request);
    void onCommandFinished(SessionRequest *request);
    void collect(const SessionRequest &request);

    // A failed step that still has a dialogue to end, then the exit code.
    void endDialogue(int exitCode);
    // The connection is gone: stop now.
    void stop(int exitCode);
    // The exit code for a request that did not get its replies; reports the step.
    int failure(const SessionRequest &request, const QString &step);

    QString commandStep() const;
    QString peer() const;

    ControllerSession *session_;
    CliOptions options_;
    StationAddress address_;
    QByteArray password_;
    QByteArray body_;
    CommandReport report_;
    bool hasReport_ = false;
    bool ending_ = false;  // ID02 is on its way: wait for dialogueEnded
    bool done_ = false;
    int exitCode_ = 0;
};
