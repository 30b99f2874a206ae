#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTest>

// The text of a PDF, page by page, as pdftotext (Debian's poppler-utils) reads it. A test that
// needs it skips without the tool, except on CI, where scripts/install-deps installs it.
#define PDF_PAGE_TEXTS(pdfPath, pages)                                                             \
    do {                                                                                           \
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {               \
            if (qEnvironmentVariableIsSet("CI"))                                                   \
                QFAIL("pdftotext is missing: scripts/install-deps installs poppler-utils");        \
            QSKIP("pdftotext is not installed (Debian package poppler-utils)");                   \
        }                                                                                          \
        QVERIFY2(readPdfPages(pdfPath, &(pages)), "pdftotext could not read " #pdfPath);           \
    } while (false)

// Pages are separated by form feeds in pdftotext's output, one after the last page too.
inline bool readPdfPages(const QString &pdfPath, QStringList *pages)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitStatus() != QProcess::NormalExit
        || pdftotext.exitCode() != 0)
        return false;
    *pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages->isEmpty() && pages->last().trimmed().isEmpty())
        pages->removeLast();
    return true;
}
