#include "console/form1.h"

#include "dialogs/form4.h"
#include "stations/station_list.h"
#include "stations/station_paths.h"
#include "console/message_log_model.h"
#include "console/sensor_colours.h"
#include "reports/tank_drawing.h"
#include "ui_form1.h"
#include "widgets/enter_presses_button.h"
#include "widgets/scrolled_window.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

Form1::Form1(const QString &Diretorio_Dados, QWidget *parent, const HistoryStoreOptions &historyOptions,
             const std::optional<DatabaseLocation> &historyDatabase)
    : QWidget(parent), ui(std::make_unique<Ui::Form1>()), diretorioDados_(Diretorio_Dados)
{
    // The designed window is the content of a scroll area, so that a smaller screen scrolls it.
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("Conteudo"));
    ui->setupUi(content);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(content->windowTitle());
    showScrolled(this, content);
    letEnterPressFocusedButton(this);

    logModel_ = new MessageLogModel(this);
    ui->Msg_Log->setModel(logModel_);

    conectarSessao();
    conectarHistorico(historyOptions, historyDatabase);

    TQ_Ativo_ = new QButtonGroup(this);
    for (int i = 0; i < 16; ++i)
        TQ_Ativo_->addButton(findChild<QAbstractButton *>(QStringLiteral("TQ_Ativo_%1").arg(i)), i);
    connect(TQ_Ativo_, &QButtonGroup::idClicked, this, &Form1::TQ_Ativo_Click);

    Sinal_ = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i)
        Sinal_->addButton(findChild<QAbstractButton *>(QStringLiteral("Sinal_%1").arg(i)), i);

    // The tank drawing of the measurement panel, in twips within its frame.
    QPalette messages = ui->Inf_Erro->palette();
    messages.setColor(QPalette::Text, Qt::red);
    ui->Inf_Erro->setPalette(messages);
    for (int k = 0; k < 32; ++k)
        setBackground(findChild<QLabel *>(QStringLiteral("Label26_%1").arg(k)), SensorNormal);

    Altura_Liquido_ = new TankDrawing({QRect(360, 3600, 2535, 1335), QRect(840, 3480, 495, 165), QRect(2280, 3480, 135, 165)},
                                      ui->Frame3);
    Altura_Liquido_->setObjectName(QStringLiteral("Altura_Liquido"));

    connect(ui->Postos, &QComboBox::activated, this, &Form1::Postos_Click);
    connect(ui->Configurar, &QPushButton::clicked, this, &Form1::Configurar_Click);
    connect(ui->Abrir_Conexao, &QPushButton::clicked, this, &Form1::Abrir_Conexao_Click);
    connect(ui->Fechar_Conexao, &QPushButton::clicked, this, &Form1::Fechar_Conexao_Click);
    connect(ui->Sair, &QPushButton::clicked, this, &Form1::Sair_Click);
    connect(ui->Limpar_Log, &QPushButton::clicked, this, &Form1::Limpar_Log_Click);
    connect(ui->Salvar_Log, &QPushButton::clicked, this, &Form1::Salvar_Log_Click);
    connect(ui->Transmitir, &QPushButton::clicked, this, &Form1::Transmitir_Click);
    conectarComandos();
}

Form1::~Form1() = default;

bool Form1::Form_Load()
{
    if (!Inicializar_Variaveis())
        return false;

    // Created only now, so that no tick ever sees the state before it is initialised.
    const auto startTimer = [this](QTimer *&timer, int interval, void (Form1::*handler)()) {
        timer = new QTimer(this);
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, handler);
        timer->start();
    };
    startTimer(Timer1, 1000, &Form1::Timer1_Timer);
    startTimer(Timer2, 1000, &Form1::Timer2_Timer);
    startTimer(Timer3, 5000, &Form1::Timer3_Timer);
    return true;
}

bool Form1::Inicializar_Variaveis()
{
    mostrarPosto(QStringLiteral("Local Não Conectado"));
    limparPosto();
    if (!carregarPostos())
        return false;

    Comando_TX.clear();
    Indice_Sinal = 0;
    return true;
}

// Loads the station file into the table and the selector; while it cannot be read the operator
// is kept in the configuration editor, whose save creates the file (and its directory), unless
// the operator chooses to leave the program instead: false then.
bool Form1::carregarPostos()
{
    const QString path = stationFilePath(diretorioDados_);
    mostrarPostos({});
    Result<QVector<ListedStation>, StationFileProblem> listed = loadStationTable(path, tabelaLocais_);
    if (!listed) {
        // A missing file is a first start, not a fault.
        const bool firstStart = !QFileInfo::exists(path);
        QMessageBox box(firstStart ? QMessageBox::Information : QMessageBox::Warning,
                        firstStart ? QStringLiteral("ComZelta") : QStringLiteral("Aviso"),
                        firstStart ? QStringLiteral("Bem-vindo ao ComZelta. Cadastre os locais (postos) e grave a "
                                                    "configuração para começar.")
                                   : stationFileProblemText(listed.error())
                                         + QStringLiteral("\nCadastre os locais e grave a configuração."),
                        QMessageBox::Ok, this);
        emit janelaAberta(&box);
        box.exec();
    }
    while (!listed) {
        Configurar_Click();
        listed = loadStationTable(path, tabelaLocais_);
        if (!listed && querSairSemLocais())
            return false;
    }
    mostrarPostos(*listed);
    listarPostosNoHistorico();
    return true;
}

bool Form1::querSairSemLocais()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Aviso"),
                    QStringLiteral("Nenhum local foi gravado. Deseja sair do programa?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    emit janelaAberta(&box);
    return box.exec() == QMessageBox::Yes;
}

void Form1::mostrarPostos(const QVector<ListedStation> &postos)
{
    ui->Postos->clear();
    ui->Postos->setPlaceholderText(QStringLiteral("Selecione o Local"));
    for (const ListedStation &posto : postos)
        ui->Postos->addItem(posto.description, posto.entry);
    ui->Postos->setCurrentIndex(-1);
}

void Form1::Configurar_Click()
{
    Form4 editor(tabelaLocais_, diretorioDados_, this);
    emit janelaAberta(&editor);
    editor.exec();
    mostrarPostos(stationsInUse(tabelaLocais_));
    listarPostosNoHistorico();
}
