#pragma once

#include "stations/station_list.h"
#include "stations/station_table.h"
#include "session/readings.h"
#include "session/reply_check.h"
#include "store/history_store.h"
#include "tables/station_readings.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class QButtonGroup;
class QTimer;
class ControllerSession;
class SessionRequest;
class BookWindow;
class HistoryWindow;
class SessionKeeper;
class MessageLogModel;
class TankDrawing;
namespace Ui { class Form1; }

// The console window: station selector, controller dialogue, command panel, and the panels the
// replies fill. The controller session does the talking; the window renders what it reports.
// Its procedures are spread over files by job: form1.cpp (start-up), link.cpp, connection.cpp,
// commands.cpp, dispatch.cpp and the *_view.cpp reply handlers.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Every reading is kept in the history, opened with these options: historyDatabase, or without
    // one the history file of the data directory.
    explicit Form1(const QString &Diretorio_Dados, QWidget *parent = nullptr,
                   const HistoryStoreOptions &historyOptions = {},
                   const std::optional<DatabaseLocation> &historyDatabase = std::nullopt);
    ~Form1() override;

    // Runs the start-up sequence: may show the configuration editor until a station file exists.
    // False when the operator chose to leave the program instead.
    bool Form_Load();

    const StationReadings &leituras() const { return leituras_; }
    int numSensores() const { return numSensores_; }
    const ScheduledTable &medicoes() const { return medicoes_; }
    int numMedicoes() const { return numMedicoes_; }
    bool inventarioAtivo() const { return inventarioAtivo_; }
    const QString &senhaUsuario() const { return senhaUsuario_; }
    const QString &dataMedProg() const { return dataMedProg_; }
    const MessageLogModel &log() const { return *logModel_; }
    const QString &Tanque_Ativo() const { return tanqueAtivo_; }
    int Tanques_Lidos() const { return tanquesLidos_; }
    ControllerSession &session() const { return *session_; }
    HistoryStore &history() const { return *history_; }

    static constexpr int Altura_Tanque = 1335;  // twips: the cover hides the whole tank

signals:
    // Emitted for each received frame once the console has rendered it.
    void mensagemRecebida(const QByteArray &frame);
    // A modal window opened by reply handling has just been shown (lets callers drive it).
    void janelaAberta(QWidget *window);

private:
    // Start-up (form1.cpp)
    bool Inicializar_Variaveis();
    bool carregarPostos();
    bool querSairSemLocais();
    void mostrarPostos(const QVector<ListedStation> &postos);
    void Configurar_Click();

    // Link (link.cpp)
    void conectarSessao();
    void Transmitir_Click();
    void enviar(const std::string &comando);
    void registrar(const QByteArray &line);

    // History (history_link.cpp)
    void conectarHistorico(const HistoryStoreOptions &options, const std::optional<DatabaseLocation> &database);
    void mostrarEstadoHistorico(const QString &reason);
    void listarPostosNoHistorico();
    void Historico_Click();
    void Fechamento_Click();
    template <class Window>
    void mostrarJanelaDoHistorico(QPointer<Window> &window);

    // Connection supervision (connection.cpp)
    void Postos_Click(int index);
    void limparPosto();
    void Abrir_Conexao_Click();
    void Fechar_Conexao_Click();
    void Sair_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // Commands (commands.cpp)
    void conectarComandos();
    void comandoSimples(const std::string &body);
    void LR_Cmd_Click();
    void Sinc_Relogio_Click();
    void LM_Cmd_Click();
    void MT_Cmd_Click();
    void Ler_Sensores_Click();
    void MA_Cmd_Click();
    void IV_Cmd_Click();
    void Medicao_Programada_Click();
    void TQ_Ativo_Click(int index);
    void Limpar_Log_Click();
    void Salvar_Log_Click();  // save_log.cpp
    void Mostrar_Senha();
    void Mostrar_Data();
    void limparSelecaoTanques();

    // Reply interpretation (dispatch.cpp, *_view.cpp)
    void Processar_Mensagem_Recebida(const QByteArray &frame);
    void mostrarErro(const ErrorReply &reply);
    void mostrarRespostaInvalida(const RejectedReply &rejected);
    void mostrarSerieCortada();
    void interpretarMedicao(const MeasurementReading &reading);
    void anotarTanquesSemLeitura(const SessionRequest &series);
    void interpretarRelogio(const ClockReading &reading);
    void interpretarSensores(const SensorReading &reading);
    void interpretarConfiguracao(const ConfigurationReading &reading);
    void interpretarIdentificacao(const IdentificationReading &reading);
    void mostrarAberturaSemResposta(const SessionRequest &opening);
    void interpretarMedicaoProgramada(const ScheduledReading &reading);
    void Limpar_Informacoes_Medicao();
    void Limpar_Informacoes_do_Medidor();
    void Limpar_Outras_Informacoes();
    void Limpar_Monitoramento_de_Vazamento();
    void mostrarPosto(const QString &nome);
    void Mostrar_Inventario();
    void Mostrar_Resultados();
    void abrirAoFimDaMensagem(bool &aberto, void (Form1::*mostrar)(), void (Form1::*depois)());
    void encerrarInventario();
    void limparProgresso();

    std::unique_ptr<Ui::Form1> ui;
    const QString diretorioDados_;
    StationTable tabelaLocais_;
    QString senhaUsuario_;  // as typed in "Abertura Zelta"
    QString dataMedProg_;   // as typed in "Digitar Data"
    QString estadoConexao_;

    // What the picked station's controller has said, kept as it was read: the panels and the
    // report windows are drawn from these, never from one another.
    StationReadings leituras_;
    int numSensores_ = 0;
    bool inventarioAtivo_ = false;
    ScheduledTable medicoes_;
    int numMedicoes_ = 0;
    MessageLogModel *logModel_ = nullptr;
    ControllerSession *session_ = nullptr;
    HistoryStore *history_ = nullptr;
    SessionKeeper *keeper_ = nullptr;
    QPointer<HistoryWindow> historyWindow_;
    QPointer<BookWindow> bookWindow_;
    QButtonGroup *TQ_Ativo_ = nullptr;
    QButtonGroup *Sinal_ = nullptr;
    TankDrawing *Altura_Liquido_ = nullptr;
    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;

    std::string Comando_TX;

    int Indice_Sinal = 0;
    QString tanqueAtivo_;
    int tanquesLidos_ = 0;

    // Set from the moment a report window is due until it has been closed, so that replies
    // interpreted meanwhile never open the same window twice.
    bool inventarioAberto_ = false;
    bool resultadosAbertos_ = false;
};
