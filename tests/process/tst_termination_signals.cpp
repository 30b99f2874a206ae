#include "process/quit_on_signal.h"

#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#endif

// The handler runs on the event loop once per signal, however they arrive; on Windows the signals
// are the console's control events.
class TestTerminationSignals : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void handledOnTheEventLoopOncePerSignal_data();
    void handledOnTheEventLoopOncePerSignal();

private:
    int handled_ = 0;
    bool onEventLoop_ = true;
};

void TestTerminationSignals::initTestCase()
{
#ifdef Q_OS_WIN
    // A process started without a console (as by a test runner) gets one, so events reach it.
    if (!::GetConsoleWindow())
        ::AllocConsole();
#endif
    onTerminationSignals([this] {
        ++handled_;
        onEventLoop_ = onEventLoop_ && QThread::currentThread() == thread();
    });
}

void TestTerminationSignals::handledOnTheEventLoopOncePerSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("times");
#ifdef Q_OS_WIN
    QTest::newRow("Ctrl+C") << int(CTRL_C_EVENT) << 1;
    QTest::newRow("Ctrl+C twice") << int(CTRL_C_EVENT) << 2;
#else
    QTest::newRow("SIGINT") << SIGINT << 1;
    QTest::newRow("SIGTERM twice") << SIGTERM << 2;
#endif
}

void TestTerminationSignals::handledOnTheEventLoopOncePerSignal()
{
    QFETCH(int, signal);
    QFETCH(int, times);
    handled_ = 0;
    for (int i = 0; i < times; ++i) {
#ifdef Q_OS_WIN
        QVERIFY(::GenerateConsoleCtrlEvent(DWORD(signal), 0));
#else
        QCOMPARE(::raise(signal), 0);
#endif
    }
    QTRY_COMPARE(handled_, times);
    QVERIFY(onEventLoop_);
    // Nothing more arrives later.
    QTest::qWait(50);
    QCOMPARE(handled_, times);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "tst_termination_signals.moc"
