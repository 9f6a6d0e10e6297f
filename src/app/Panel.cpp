#include "app/Panel.h"

#include "core/DataRoot.h"
#include "points/stored_settings.h"
#include "points/supervision.h"
#include "points/table_reset.h"
#include "records/EventReport.h"
#include "records/LogLifecycle.h"

#include <stdexcept>

namespace telvara {

Panel::Panel(PanelUi& ui, const Clock& clock, LocaleFormats formats, int sendTimeoutMs)
    : ui_(ui)
    , clock_(clock)
    , formats_(std::move(formats))
    , server_(table_, ui, clock, formats_, sendTimeoutMs)
    , eventLog_(clock, formats_) {}

Panel::~Panel() {
    server_.stop();
}

ConfigRecord& Panel::config() {
    if (!config_)
        throw DatabaseError(QStringLiteral("O banco de dados não está aberto."));
    return *config_;
}

void Panel::FormShow() {
    const QString file = DataRoot::databaseFile();
    bdValores_.open(file, QStringLiteral("Bd_Valores"));
    config_ = std::make_unique<ConfigRecord>(bdValores_.table());
    eventLog_.open(file);
    totalizerLog_.open(file);
    DataRoot::createReportFolders();
    {
        auto lock = table_.lock();
        table_.TimerOut_Enabled = false;
        table_.TimerSuperv_Enabled = false;
        table_.Timer_Carrega_Banco_Enabled = false;
        table_.TimerAtualizaGrid_Enabled = false;
        table_.TimerNinguemConectou_Enabled = true;
    }
    const StartupLoad loaded = LogLifecycle::loadAtStart(eventLog_, totalizerLog_, *config_);
    const ConfigValues& cfg = loaded.config;
    SenhaSoftware = cfg.Senha_software;
    server_.setDefaultPort(cfg.portNumber());
    superv_.IdTCPClientSupervRem.setHost(cfg.IPSuperv.toStdString());
    Abrir_painel = cfg.Abrir_painel;

    if (server_.running())
        return;
    server_.start();
    Contador_refresh = 0;
    auto lock = table_.lock();
    table_.cont_vetor = 0;
    table_.pushEvent(PendingEvent{
        QStringLiteral("Software"), QStringLiteral("ON"), QStringLiteral("-"), QStringLiteral("-"),
        QStringLiteral("Pronto..."), QStringLiteral("Iniciado"), QString()});
}

QString Panel::FormClose() {
    if (!config_)
        return {};
    return LogLifecycle::saveAtClose(eventLog_, totalizerLog_, *config_,
                                     DataRoot::shutdownReportFolder(), clock_);
}

void Panel::manualReset() {
    resetPointTable(table_, server_, ui_, col::ValorExibido);
    {
        auto lock = table_.lock();
        table_.TimerOut_Enabled = false;
        table_.TimerSuperv_Enabled = false;
    }
    ui_.setTimerInterval(PanelTimer::TimerOut, 7500);
    ui_.setTimerInterval(PanelTimer::TimerAtualizaGrid, 4000);
}

Panel::PortFields Panel::portFields() {
    const ConfigValues v = config().read();
    return {v.Porta, v.IPSuperv};
}

void Panel::ButtonPortaClick(const QString& porta, const QString& ipSuperv) {
    // Works with no module registered too: an operator whose modules cannot reach a wrong port
    // must be able to correct it.
    resetPointTable(table_, server_, ui_, kColumns - 1);
    bool ok = false;
    const uint port = porta.trimmed().toUInt(&ok, 10);
    if (!ok || port == 0 || port > 65535)
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid port number").arg(porta).toStdString());
    server_.setDefaultPort(static_cast<std::uint16_t>(port));
    superv_.IdTCPClientSupervRem.setHost(ipSuperv.toStdString());
    config().setPortaAndIPSuperv(QString::number(port), ipSuperv);
    server_.start();
}

void Panel::Rectangle1DblClick() {
    if (Linha_sel == 0 && Coluna_sel == 1)
        ui_.ShowMsg(QStringLiteral("Senha : ") + SenhaSoftware);
}

bool Panel::StringGrid1SelectCell(int column, int row) {
    Linha_sel = row;
    Coluna_sel = column;
    auto lock = table_.lock();
    return row <= table_.Total_disp - 1;
}

std::optional<GridSnapshot> Panel::TimerAtualizaGridTimer() {
    restartServerIfStopped(server_, ui_);
    return refreshGrid(table_, ui_, Total_disp_anterior);
}

void Panel::Timer_Carrega_BancoTimer() {
    if (config_)
        applyStoredSettings(table_, bdValores_.table());
}

void Panel::TimerOutTimer() {
    superviseConnections(table_, server_, ui_, Contador_refresh);
}

void Panel::TimerNinguemConectouTimer() {
    warnNoConnection(table_, ui_);
}

void Panel::TimerRegLogTimer() {
    if (eventLog_.isOpen())
        eventLog_.TimerRegLogTimer(table_);
}

void Panel::TimerRegTotTimer() {
    if (totalizerLog_.isOpen())
        totalizerLog_.TimerRegTotTimer(table_);
}

SupervTick Panel::TimerSupervTimer() {
    SupervTick tick = superv_.TimerSupervTimer(table_);
    if (tick.ran)
        ui_.setTimerInterval(PanelTimer::TimerSuperv, SupervLink::kIntervalMs);
    return tick;
}

} // namespace telvara
