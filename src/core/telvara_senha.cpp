// telvara-senha: sets the software password in the configuration record, creating the database
// and the record first when they are missing. The panel reads the password when it starts.
//   telvara-senha NOVA_SENHA
//   telvara-senha              (reads the password from the first line of standard input)

#include "core/ConfigRecord.h"
#include "core/DataRoot.h"
#include "core/Database.h"
#include "core/DatabaseSchema.h"
#include "core/TableConnection.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <iostream>
#include <string>

using namespace telvara;

static void print(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), to);
    std::fputc('\n', to);
}

int main(int argc, char** argv) {
    if (argc > 2 ||
        (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help"))) {
        print(stderr,
              QStringLiteral("Uso: telvara-senha [NOVA_SENHA]\n"
                             "Sem argumento, a senha é lida da primeira linha da entrada."));
        return 2;
    }
    QString senha;
    if (argc == 2) {
        senha = QString::fromLocal8Bit(argv[1]);
    } else {
        std::string line;
        std::getline(std::cin, line);
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        senha = QString::fromLocal8Bit(line.c_str());
    }
    if (senha.isEmpty()) {
        print(stderr, QStringLiteral("A senha não pode ser vazia."));
        return 1;
    }

    const QString path = DataRoot::databaseFile();
    try {
        TableConnection valores;
        valores.open(path, QLatin1String(table::Bd_Valores));
        ConfigRecord config(valores.table());
        Database::Transaction tx(valores.database());
        config.createIfMissing();
        config.setSenha_software(senha);
        tx.commit();
    } catch (const DatabaseError& e) {
        print(stderr, e.message());
        return 1;
    }
    print(stdout,
          QStringLiteral("Senha do software gravada em \"%1\". Ela vale a partir do próximo "
                         "início do painel.")
              .arg(QDir::toNativeSeparators(path)));
    return 0;
}
