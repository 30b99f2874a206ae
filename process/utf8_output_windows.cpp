#include "process/utf8_output.h"

#include <QString>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

void writeMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray line = qFormatLogMessage(type, context, message).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void useUtf8Output()
{
    ::SetConsoleOutputCP(CP_UTF8);
    // Text mode would turn every "\n" into "\r\n", and the formats differ from Linux's.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    qInstallMessageHandler(writeMessage);
}
