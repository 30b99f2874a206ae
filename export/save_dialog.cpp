#include "export/save_dialog.h"

#include "export/file_saving.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

SavePathQuestion &question()
{
    static SavePathQuestion replacement;
    return replacement;
}

QString askWithDialog(QWidget *parent, const QString &caption, const QString &suggestedPath)
{
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath,
                                        QStringLiteral("Planilha CSV (*.csv);;Todos os arquivos (*)"));
}

QString &lastFolder()
{
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

} // namespace

void setSavePathQuestion(SavePathQuestion replacement)
{
    question() = std::move(replacement);
}

void saveRowsAs(QWidget *parent, const QString &caption, const QString &fileName, const QList<CsvRow> &rows,
                const CsvFormat &format)
{
    const SavePathQuestion ask = question() ? question() : SavePathQuestion(askWithDialog);
    QString path = ask(parent, caption, QDir(lastFolder()).filePath(fileName));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QString error = saveWholeFile(path, csvFile(rows, format));
    if (!error.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("Aviso"), error);
        return;
    }
    lastFolder() = QFileInfo(path).absolutePath();
}
