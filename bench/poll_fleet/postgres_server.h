#pragma once

#include <QString>

#include <optional>

// The tests' throwaway PostgreSQL server (tests/postgres/server), started into a state directory
// of its own; stopped with this object, whatever happened meanwhile.
class PostgresServer {
public:
    explicit PostgresServer(const QString &stateDirectory);
    ~PostgresServer();

    PostgresServer(const PostgresServer &) = delete;
    PostgresServer &operator=(const PostgresServer &) = delete;

    // The URL of its database, empty and fresh; nothing, with the script's words in *why, when
    // the server cannot start here.
    std::optional<QString> start(QString *why);

private:
    QString state_;
    bool started_ = false;
};
