#include "cli_run.h"

ProgramResult runCli(const QStringList &arguments, const QString &password, const QString &dataHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("COMZELTA_PASSWORD"));
    if (!password.isNull())
        environment.insert(QStringLiteral("COMZELTA_PASSWORD"), password);
    environment.insert(QStringLiteral("COMZELTA_DATA_DIR"), dataHome + QStringLiteral("/ComZelta"));
    return runProgram(QStringLiteral(COMZELTA_CLI), arguments, environment);
}
