#pragma once

#include "base/result.h"
#include "store/closing_rows.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// The daily book's commands read and write the history only; the controller is never dialled.
enum class BookCommand {
    Day,         // fechamento: a day or a month
    Close,       // fechar
    Reopen,      // reabrir
    Nozzles,     // bicos --importar
    Totalisers,  // encerrantes --importar
    Invoices,    // notas --importar
    Prices,      // precos --importar
    Settings,    // ajustes
    Dipstick,    // regua
    Products,    // produtos
    Audit,       // auditoria
};

struct BookOptions {
    BookCommand command = BookCommand::Day;
    std::optional<QDate> day;
    std::optional<QDate> month;  // its first day
    QMap<QString, QString> justifications;  // by product, as typed
    QString reason;
    QStringList files;
    std::optional<int> tank;
    std::optional<double> litres;
    QList<QPair<QString, QString>> mappings;  // the supplier's name or ANP code, the product
    // ajustes: what is given changes, the rest stays
    std::optional<QTime> closingHour;
    std::optional<double> tolerancePercent;
    std::optional<ToleranceBase> toleranceBase;
    std::optional<VolumeBasis> volumeBasis;
    std::optional<int> totaliserDigits;
    std::optional<QString> cnpj;
};

struct BookProblem {
    enum class Kind {
        Missing,      // option: required by the command
        BadValue,     // option and value; hint: the form it takes
        NoFile,
        OneFile,
        Excluding,    // option and value: two options that exclude each other
    };
    Kind kind;
    QString option;
    QString value;
    QString hint;
};

// The commands' names, as typed after the station.
std::optional<BookCommand> bookCommandNamed(const QString &name);
QString bookCommandNames();

// The book's options, named once with their help, for the cli's table.
struct BookOptionTable {
    const QCommandLineOption day{QStringLiteral("dia"), QStringLiteral("O dia do livro (fechamento, fechar, reabrir, regua, "
                                                                       "auditoria; notas: o dia em que entram)."),
                                 QStringLiteral("AAAA-MM-DD")};
    const QCommandLineOption month{QStringLiteral("mes"), QStringLiteral("O mês do livro (fechamento)."), QStringLiteral("AAAA-MM")};
    const QCommandLineOption justification{QStringLiteral("justificativa"),
                                           QStringLiteral("A causa da perda ou do ganho de um produto além da tolerância "
                                                          "(fechar); uma vez por produto."),
                                           QStringLiteral("PRODUTO: texto")};
    const QCommandLineOption reason{QStringLiteral("motivo"), QStringLiteral("Por que o dia é reaberto, ou a régua medida."),
                                    QStringLiteral("TEXTO")};
    const QCommandLineOption import{QStringLiteral("importar"),
                                    QStringLiteral("O arquivo a importar (bicos, encerrantes, precos: CSV; notas: XML de NF-e, "
                                                   "um ou mais)."),
                                    QStringLiteral("ARQUIVO")};
    const QCommandLineOption tank{QStringLiteral("tanque"), QStringLiteral("O tanque (regua; notas: o tanque que recebe tudo)."),
                                  QStringLiteral("N")};
    const QCommandLineOption litres{QStringLiteral("litros"), QStringLiteral("O volume medido na régua (regua)."),
                                    QStringLiteral("LITROS")};
    const QCommandLineOption mapping{QStringLiteral("mapear"),
                                     QStringLiteral("O nome do produto na nota, ou seu código ANP, e o produto do medidor "
                                                    "(produtos)."),
                                     QStringLiteral("NOME=PRODUTO")};
    const QCommandLineOption closingHour{QStringLiteral("hora-fechamento"), QStringLiteral("A hora do fechamento (ajustes)."),
                                         QStringLiteral("HH:MM")};
    const QCommandLineOption tolerance{QStringLiteral("tolerancia"),
                                       QStringLiteral("A tolerância de perdas e ganhos, em % (ajustes)."), QStringLiteral("PCT")};
    const QCommandLineOption base{QStringLiteral("base"),
                                  QStringLiteral("A base da tolerância: disponivel (o padrão) ou fisico (ajustes)."),
                                  QStringLiteral("disponivel|fisico")};
    const QCommandLineOption basis{QStringLiteral("volume"),
                                   QStringLiteral("O volume do livro: ambiente (o padrão, como os encerrantes contam) ou 20 "
                                                  "(a 20 °C) (ajustes)."),
                                   QStringLiteral("ambiente|20")};
    const QCommandLineOption digits{QStringLiteral("digitos"),
                                    QStringLiteral("Os dígitos dos encerrantes, dois deles decimais (ajustes)."), QStringLiteral("N")};
    const QCommandLineOption cnpj{QStringLiteral("cnpj"),
                                  QStringLiteral("O CNPJ do posto, para conferir as notas (ajustes; vazio o apaga)."),
                                  QStringLiteral("CNPJ")};

    QList<QCommandLineOption> all() const;
    // The options of `command`, with the words after it (notas: more files).
    Result<BookOptions, BookProblem> values(BookCommand command, const QCommandLineParser &parser,
                                            const QStringList &words) const;
};

QString problemText(const BookProblem &problem);
