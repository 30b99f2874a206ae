#include "console_fixture.h"

#include "stations/station_file_writer.h"
#include "console/message_log_model.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

ConsoleFixture::ConsoleFixture(const QList<Station> &stations, const HistoryStoreOptions &historyOptions)
    : directoryPath_(directory_.path() + QLatin1Char('/'))
{
    StationTable table;
    for (int i = 0; i < stations.size(); ++i) {
        if (!stations[i].descricao.isEmpty())
            // A port without an address would be read back as the address.
            table.entry(i + 1) = {stations[i].descricao, stations[i].ip,
                                  stations[i].ip.isEmpty() ? QString() : QStringLiteral("4001")};
    }
    const Result<void, StationFileProblem> saved = saveStationFile(directoryPath_, table);
    if (!saved)
        qFatal("station file: %s", qPrintable(stationFileProblemText(saved.error())));

    console_ = std::make_unique<Form1>(directoryPath_, nullptr, historyOptions);
    QObject::connect(console_.get(), &Form1::janelaAberta, console_.get(), [this](QWidget *window) {
        if (onWindow)
            onWindow(window);
    });
    if (!console_->Form_Load())
        qFatal("the console did not start");
    console_->show();
}

ConsoleFixture::~ConsoleFixture() = default;

QString ConsoleFixture::text(const QString &lineEdit) const
{
    return child<QLineEdit>(lineEdit)->text();
}

void ConsoleFixture::pick(int index)
{
    auto *postos = child<QComboBox>(QStringLiteral("Postos"));
    postos->setCurrentIndex(index);
    emit postos->activated(index);
}

bool ConsoleFixture::connectSocket(int index)
{
    pick(index);
    return QTest::qWaitFor([this] { return text(QStringLiteral("Estado_TCP")) == QStringLiteral("Conectado"); }, 5000);
}

bool ConsoleFixture::openDialogue(int index, const QString &password)
{
    if (!connectSocket(index))
        return false;
    // Answer the password window, and leave every other window to whoever handled it before.
    const std::function<void(QWidget *)> previous = onWindow;
    onWindow = [password, previous](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form3"))
            answerDialog(window, QStringLiteral("Senha"), password, QStringLiteral("Validar_Senha"));
        else if (previous)
            previous(window);
    };
    QTest::mouseClick(child<QPushButton>(QStringLiteral("Abrir_Conexao")), Qt::LeftButton);
    const bool opened = QTest::qWaitFor([this] { return child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled(); }, 5000);
    onWindow = previous;
    return opened;
}

QStringList ConsoleFixture::logLines() const
{
    QStringList lines;
    const MessageLogModel &log = console_->log();
    for (int row = 0; row < log.rowCount(); ++row)
        lines << log.line(row);
    return lines;
}

void answerDialog(QWidget *window, const QString &field, const QString &text, const QString &button)
{
    // The dialog is about to run its own event loop; answer it from inside that loop.
    QTimer::singleShot(0, window, [=] {
        window->findChild<QLineEdit *>(field)->setText(text);
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    });
}
