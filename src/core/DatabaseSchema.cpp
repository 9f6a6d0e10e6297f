#include "core/DatabaseSchema.h"

#include "core/Database.h"

#include <QStringList>

namespace telvara {

QString TableDef::createStatement() const {
    QStringList cols;
    for (const ColumnDef& c : columns)
        cols << quoteIdentifier(QLatin1String(c.name)) + QLatin1Char(' ') + QLatin1String(c.type);
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(quoteIdentifier(QLatin1String(name)), cols.join(QStringLiteral(", ")));
}

const std::vector<TableDef>& databaseTables() {
    static const std::vector<TableDef> tables = {
        {table::Bd_Valores,
         {
             // configuration record
             {"Porta", "TEXT"},
             {"IPSuperv", "TEXT"},
             {"Senha_software", "TEXT"},
             {"Abrir_painel", "BOOLEAN"},
             {"Ultimo_indice_registrado", "INTEGER"},
             {"Num_Totalizacoes", "INTEGER"},
             // point records
             {"Ns", "TEXT"},
             {"NumeroIO", "TEXT"},
             {"Local", "TEXT"},
             {"Tipo", "TEXT"},
             {"Senha_conecta", "TEXT"},
             {"Exibir", "BOOLEAN"},
             {"Valor", "TEXT"},
             {"INIVAR", "TEXT"},
             {"FIMVAR", "TEXT"},
             {"INIESC", "TEXT"},
             {"FIMESC", "TEXT"},
             {"SPMIN", "TEXT"},
             {"SPMAX", "TEXT"},
             {"Unid", "TEXT"},
         }},
        {table::BD_Eventos,
         {
             {"Indice", "INTEGER"},
             {"Tipo_evento", "TEXT"},
             {"Descricao", "TEXT"},
             {"Nome", "TEXT"},
             {"Ip_causador", "TEXT"},
             {"Ns_causador", "TEXT"},
             {"Data_evento", "TEXT"},
             {"Hora_evento", "TEXT"},
             {"Acao", "TEXT"},
         }},
        {table::RegTotalizador,
         {
             {"IP", "TEXT"},
             {"Nome", "TEXT"},
             {"DataIni", "TEXT"},
             {"HoraIni", "TEXT"},
             {"Total", "TEXT"},
             {"Unid", "TEXT"},
         }},
    };
    return tables;
}

} // namespace telvara
