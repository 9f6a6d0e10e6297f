#include "core/ConfigRecord.h"

#include "core/Database.h"
#include "core/DatabaseError.h"
#include "core/DatabaseSchema.h"
#include "core/TableCursor.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <limits>

namespace telvara {

namespace {

int int32Column(const TableCursor& t, const char* column) {
    const qint64 v = t.integer(QLatin1String(column));
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw DatabaseError(QStringLiteral("O valor %1 da coluna \"%2\" está fora do intervalo.")
                                .arg(v)
                                .arg(QLatin1String(column)));
    return static_cast<int>(v);
}

} // namespace

quint16 ConfigValues::portNumber() const {
    bool ok = false;
    const uint port = Porta.trimmed().toUInt(&ok, 10);
    if (!ok || port == 0 || port > 65535)
        throw DatabaseError(
            QStringLiteral("O valor \"%1\" de Porta não é um número de porta válido.").arg(Porta));
    return static_cast<quint16>(port);
}

ConfigRecord::ConfigRecord(TableCursor& bdValores)
    : table_(bdValores) {}

bool ConfigRecord::exists() {
    table_.rewind();
    return table_.recordCount() > 0;
}

bool ConfigRecord::createIfMissing() {
    if (exists())
        return false;
    const ConfigValues v;
    table_.insert();
    table_.setText(QStringLiteral("Porta"), v.Porta);
    table_.setText(QStringLiteral("IPSuperv"), v.IPSuperv);
    table_.setText(QStringLiteral("Senha_software"), v.Senha_software);
    table_.setBoolean(QStringLiteral("Abrir_painel"), v.Abrir_painel);
    table_.setInteger(QStringLiteral("Ultimo_indice_registrado"), v.Ultimo_indice_registrado);
    table_.setInteger(QStringLiteral("Num_Totalizacoes"), v.Num_Totalizacoes);
    table_.post();
    return true;
}

ConfigValues ConfigRecord::read() {
    if (!exists())
        throw DatabaseError(
            QStringLiteral("A tabela \"Bd_Valores\" não tem o registro de configuração."));
    ConfigValues v;
    v.Porta = table_.text(QStringLiteral("Porta"));
    v.IPSuperv = table_.text(QStringLiteral("IPSuperv"));
    v.Senha_software = table_.text(QStringLiteral("Senha_software"));
    v.Abrir_painel = table_.boolean(QStringLiteral("Abrir_painel"));
    v.Ultimo_indice_registrado = int32Column(table_, "Ultimo_indice_registrado");
    v.Num_Totalizacoes = int32Column(table_, "Num_Totalizacoes");
    return v;
}

template <typename F> void ConfigRecord::update(F&& set) {
    if (!exists())
        throw DatabaseError(
            QStringLiteral("A tabela \"Bd_Valores\" não tem o registro de configuração."));
    table_.edit();
    try {
        set();
    } catch (...) {
        table_.cancel();
        throw;
    }
    table_.post();
}

void ConfigRecord::setPortaAndIPSuperv(const QString& porta, const QString& ipSuperv) {
    update([&] {
        table_.setText(QStringLiteral("Porta"), porta);
        table_.setText(QStringLiteral("IPSuperv"), ipSuperv);
    });
}

void ConfigRecord::setAbrir_painel(bool open) {
    update([&] { table_.setBoolean(QStringLiteral("Abrir_painel"), open); });
}

void ConfigRecord::setUltimo_indice_registrado(int next) {
    update([&] { table_.setInteger(QStringLiteral("Ultimo_indice_registrado"), next); });
}

void ConfigRecord::setCounters(int Num_evento, int Num_eventoT) {
    update([&] {
        table_.setInteger(QStringLiteral("Ultimo_indice_registrado"), Num_evento);
        table_.setInteger(QStringLiteral("Num_Totalizacoes"), Num_eventoT);
    });
}

void ConfigRecord::setSenha_software(const QString& senha) {
    update([&] { table_.setText(QStringLiteral("Senha_software"), senha); });
}

void ConfigRecord::storeCounter(Database& db, const QString& column, int value) {
    const QString t = quoteIdentifier(QLatin1String(table::Bd_Valores));
    try {
        SQLite::Statement s(db.handle(), QStringLiteral("UPDATE %1 SET %2 = ? WHERE _rowid_ = "
                                                        "(SELECT min(_rowid_) FROM %1)")
                                             .arg(t, quoteIdentifier(column))
                                             .toStdString());
        s.bind(1, value);
        s.exec();
    } catch (const std::exception& e) {
        throw db.error(e, QStringLiteral("tabela \"Bd_Valores\", coluna \"%1\"").arg(column));
    }
}

} // namespace telvara
