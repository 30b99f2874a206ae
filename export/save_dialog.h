#pragma once

#include "export/csv_writer.h"

#include <QString>
#include <functional>

class QWidget;

// Asks the operator where to save: the path chosen, or empty when they cancelled. The program
// asks with a file dialog; tests put their own answer in its place, so that none ever opens.
using SavePathQuestion = std::function<QString(QWidget *parent, const QString &caption, const QString &suggestedPath)>;
// An empty function brings the file dialog back.
void setSavePathQuestion(SavePathQuestion question);

// "Exportar CSV" and "Salvar Log": asks where to save, offering `fileName` in the folder of the
// last file saved in this run (the Documents folder at first), and writes the rows there whole.
// ".csv" is added to a name chosen without an extension. A file that cannot be written is
// reported in a message box, with the reason.
void saveRowsAs(QWidget *parent, const QString &caption, const QString &fileName, const QList<CsvRow> &rows,
                const CsvFormat &format = {});
