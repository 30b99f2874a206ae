// Ends under Wine only when Qt's SQL driver was first made on the main thread.
//   exit_hang.exe             a worker thread makes the driver; the process never ends
//   exit_hang.exe main-first  the main thread made it first; the process ends
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QThread>

#include <cstdio>

static void makeDriver(const char *connection)
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QString::fromLatin1(connection));
    QSqlDatabase::removeDatabase(QString::fromLatin1(connection));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "main-first")
        makeDriver("main");
    QThread *worker = QThread::create([] { makeDriver("worker"); });
    worker->start();
    worker->wait();
    delete worker;
    std::printf("main returns\n");
    std::fflush(stdout);
    return 0;
}
