#include "points/stored_settings.h"

#include <vector>

namespace telvara {

namespace {

struct PointRecord {
    QString ns, numeroIO, tipo;
    std::vector<std::pair<int, QString>> cells; // copied as they are
};

std::vector<PointRecord> readPointRecords(TableCursor& t) {
    static const std::pair<const char*, int> kCopied[] = {
        {"Local", col::Nome},    {"Senha_conecta", col::Senha}, {"Valor", col::Valor},
        {"INIVAR", col::Param1}, {"FIMVAR", col::Param2},       {"INIESC", col::Param3},
        {"FIMESC", col::Param4}, {"SPMIN", col::ALMin},         {"SPMAX", col::ALMax},
        {"Unid", col::Unid},
    };
    std::vector<PointRecord> out;
    t.rewind();
    if (t.eof())
        return out;
    for (t.next(); !t.eof(); t.next()) { // the first record is the configuration record
        PointRecord p;
        p.ns = t.text(QStringLiteral("Ns"));
        if (p.ns.isEmpty())
            continue;
        p.numeroIO = t.text(QStringLiteral("NumeroIO"));
        p.tipo = t.text(QStringLiteral("Tipo"));
        for (const auto& [name, column] : kCopied)
            p.cells.emplace_back(column, t.text(QString::fromLatin1(name)));
        p.cells.emplace_back(col::EP, t.boolean(QStringLiteral("Exibir")) ? QStringLiteral("1")
                                                                          : QStringLiteral("0"));
        out.push_back(std::move(p));
    }
    return out;
}

} // namespace

bool applyStoredSettings(PointTable& table, TableCursor& bdValores) {
    {
        auto lock = table.lock();
        if (!table.Timer_Carrega_Banco_Enabled || table.Total_disp == 0)
            return false;
    }
    // Read outside the lock: the connection threads need not wait for the disk.
    const auto records = readPointRecords(bdValores);

    auto lock = table.lock();
    for (const auto& p : records) {
        for (int r = 0; r < table.Total_disp; ++r) {
            if (table.cell(col::Numero, r) != p.ns || table.cell(col::IO, r) != p.numeroIO)
                continue;
            if (!p.tipo.isEmpty())
                table.setCell(col::Tipo, r, p.tipo);
            // On a digital input these two hold the running switch-on time and date of its
            // total, which a stored value must not falsify.
            const bool input = table.cell(col::Tipo, r) == QStringLiteral("ENTRADA DIG");
            for (const auto& [column, text] : p.cells) {
                if (input && (column == col::Param3 || column == col::Param4))
                    continue;
                table.setCell(column, r, text);
            }
        }
    }
    table.Timer_Carrega_Banco_Enabled = false;
    return true;
}

} // namespace telvara
