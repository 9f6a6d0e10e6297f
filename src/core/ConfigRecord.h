#pragma once

#include <QString>

namespace telvara {

class Database;
class TableCursor;

// The software password of a new configuration record. The operator replaces it with the
// telvara-senha tool.
inline const QString kInitialSenhaSoftware = QStringLiteral("telvara");

struct ConfigValues {
    QString Porta = QStringLiteral("5000");
    QString IPSuperv;
    QString Senha_software = kInitialSenhaSoftware;
    bool Abrir_painel = false;
    int Ultimo_indice_registrado = 1;
    int Num_Totalizacoes = 1;

    // Porta as the module server's port; DatabaseError when it is not a port number.
    quint16 portNumber() const;
};

// The configuration record: the first record of Bd_Valores in storage order. Every access
// rewinds the table first, and writes only update that record in place, so it stays first.
class ConfigRecord {
public:
    explicit ConfigRecord(TableCursor& bdValores);

    bool exists();
    // Creates the record with its creation values when Bd_Valores holds no record; true if it did.
    bool createIfMissing();
    ConfigValues read();

    void setPortaAndIPSuperv(const QString& porta, const QString& ipSuperv);
    void setAbrir_painel(bool open);
    void setUltimo_indice_registrado(int next);
    void setCounters(int Num_evento, int Num_eventoT);
    void setSenha_software(const QString& senha);

    // Stores a log counter from another connection, inside that connection's transaction, so
    // that the counter always matches the records written with it. No-op without a record.
    static void storeCounter(Database& db, const QString& column, int value);

private:
    template <typename F> void update(F&& set);

    TableCursor& table_;
};

} // namespace telvara
