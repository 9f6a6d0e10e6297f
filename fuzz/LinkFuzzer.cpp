// Feeds arbitrary byte streams through the link engine on in-memory connections: the frame
// reader, registration, status update, reconciliation and the input rule, interleaved with what
// the operator and the timers do to the same table. After every step the table must still be
// made of whole module blocks, and no cell outside them may have been written.
//
// Input: a run of records [op][length][payload]; a record cut short takes what is left.
//   op 0-3  bytes from the module on connection op, then handler calls until they are read
//   op 4    operator writes a cell of a row in use (payload: row, column, value)
//   op 5    point table reset, F6 (columns 0-19) or port change (all columns)
//   op 6    the clock moves (payload: signed seconds)
//   op 7    the timers take the pending events and totals
//   op 8    a connection's writes start or stop failing
//   op 9    a connection ends

#include "link/LinkEngine.h"
#include "link/module_models.h"
#include "support/MemoryConnection.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace telvara::fuzz {

namespace {

// Keeps nothing: the recorder of the tests grows with every call.
class NullUi final : public UiPort {
public:
    void setCaption(const QString&) override {}
    void setLabelTotalConec(const QString&) override {}
    void setLabelStatus(const QString&) override {}
    void stopNoConnectionTimer() override {}
    void showAlarm(const QString&) override {}
    void TocarSom() override {}
    void moduleRegistered() override {}
};

[[noreturn]] void broken(const char* what, int row, int column) {
    std::fprintf(stderr, "table invariant broken: %s (row %d, column %d)\n", what, row, column);
    std::abort();
}

// Columns that the dialogs, the stored settings and the supervision write on rows in use.
constexpr std::array<int, 15> kOperatorColumns = {
    col::StLido, col::StCom,  col::Tipo,   col::Valor,  col::Nome,
    col::Senha,  col::EP,     col::Evento, col::Param1, col::Param2,
    col::Param3, col::Param4, col::ALMin,  col::ALMax,  col::Unid};

const std::array<const char*, 24> kValues = {
    "",    "ON",           "OFF",  "PUL", "PC05",       "PL10",   "PL07",      "PX05",
    "P",   "PC",           "PLab", "SOM", "0",          "1",      "1000",      "-5",
    "100", "999999999999", " 12 ", "+3",  "SAIDA DIGP", "ALARME", "Conectado", "08:00:00"};

// A block begins below row 100 and has at most 16 rows.
constexpr int kReachableRows = kScanRows + 15;
constexpr int kSlots = 4;
const std::array<const char*, kSlots> kPeers = {"10.0.0.5", "10.0.0.5", "10.0.0.6", "10.0.0.7"};

class Session {
public:
    Session()
        : engine_(LinkContext{table_, ui_, clock_, formats_, connections_}) {}

    void run(const std::uint8_t* data, std::size_t size) {
        startOver();
        std::size_t i = 0;
        while (i < size) {
            const std::uint8_t op = data[i++] % 10;
            std::size_t len = i < size ? data[i++] : 0;
            if (len > size - i)
                len = size - i;
            step(op, data + i, len);
            i += len;
            checkBlocks();
        }
        checkBlocks();
        checkOutside(kRows);
    }

private:
    // The table is reused from input to input (allocating its thousand rows each time would cost
    // more than the input itself), so everything an input may leave behind is put back here.
    void startOver() {
        for (int k = 0; k < kSlots; ++k)
            end(k, nullptr);
        auto lock = table_.lock();
        // Rows past the reachable ones were checked empty at the end of the last input.
        for (int c = 0; c < kColumns; ++c)
            for (int r = 0; r < kReachableRows; ++r)
                table_.setCell(c, r, QString());
        table_.Total_disp = 0;
        table_.caption = kBareCaption;
        table_.Num_serie_agora.clear();
        for (auto& s : table_.Vetor_NSRec)
            s.clear();
        table_.cont_vetor = 0;
        table_.DataON.clear();
        table_.Timer_Carrega_Banco_Enabled = false;
        table_.TimerAtualizaGrid_Enabled = false;
        table_.TimerNinguemConectou_Enabled = false;
        table_.TimerOut_Enabled = false;
        table_.TimerSuperv_Enabled = false;
        table_.takeEvents();
        table_.takeTotals();
        for (auto& s : left_)
            s.clear();
        clock_.set(kStart);
    }

    void step(std::uint8_t op, const std::uint8_t* p, std::size_t n) {
        switch (op) {
        case 0:
        case 1:
        case 2:
        case 3:
            receive(op, p, n);
            break;
        case 4:
            operatorWrite(p, n);
            break;
        case 5:
            reset(n > 0 && (p[0] & 1) ? kColumns - 1 : col::ValorExibido);
            break;
        case 6: {
            // Up to about 97 days either way: ON periods across midnights, and a clock set back.
            qint64 secs = 0;
            for (std::size_t k = 1; k < n && k < 4; ++k)
                secs = secs * 256 + p[k];
            clock_.advanceSecs(n > 0 && (p[0] & 0x80) ? -secs : secs);
            break;
        }
        case 7: {
            auto lock = table_.lock();
            table_.takeEvents();
            table_.takeTotals();
            break;
        }
        case 8:
            if (n > 0 && slots_[p[0] % kSlots])
                slots_[p[0] % kSlots]->failWrites((p[0] & 0x80) != 0);
            break;
        case 9:
            if (n > 0)
                end(p[0] % kSlots, nullptr);
            break;
        }
    }

    test::MemoryConnection& slot(int k) {
        if (!slots_[k]) {
            slots_[k] = std::make_shared<test::MemoryConnection>(kPeers[k]);
            connections_.add(slots_[k]);
            engine_.IdTCPServer1Connect(*slots_[k]);
        }
        return *slots_[k];
    }

    // What the socket layer does when a handler call throws: report, close, take off the list.
    void end(int k, const std::exception* error) {
        if (!slots_[k])
            return;
        if (error)
            engine_.IdTCPServer1Exception(*slots_[k], *error);
        slots_[k]->disconnect();
        connections_.remove(slots_[k].get());
        engine_.IdTCPServer1Disconnect(*slots_[k]);
        slots_[k].reset();
    }

    void receive(int k, const std::uint8_t* p, std::size_t n) {
        test::MemoryConnection& c = slot(k);
        c.feed(std::string_view(reinterpret_cast<const char*>(p), n));
        // Each call reads at least one byte, except the first-contact call.
        for (std::size_t calls = 0; calls < n + 2 && c.waitForData(0); ++calls) {
            try {
                engine_.IdTCPServer1Execute(c);
            } catch (const LinkError& e) {
                end(k, &e);
                return;
            } catch (const net::NetError& e) {
                end(k, &e);
                return;
            }
        }
        c.takeOutput();
    }

    void operatorWrite(const std::uint8_t* p, std::size_t n) {
        auto lock = table_.lock();
        if (n < 2 || table_.Total_disp == 0)
            return;
        const int row = p[0] % table_.Total_disp;
        const int column = kOperatorColumns[p[1] % kOperatorColumns.size()];
        QString value;
        if (n == 2 || p[2] < 200)
            value = QString::fromLatin1(kValues[(n == 2 ? p[1] : p[2]) % kValues.size()]);
        else
            value = QString::fromLatin1(reinterpret_cast<const char*>(p + 3),
                                        static_cast<qsizetype>(n - 3));
        table_.setCell(column, row, value);
    }

    void reset(int lastColumn) {
        checkOutside(kReachableRows); // before the reset hides it
        auto lock = table_.lock();
        table_.reset(lastColumn);
        // What a reset leaves standing outside the rows in use; nothing may change it until a
        // registration takes the row.
        for (int c = 0; c < kColumns; ++c)
            for (int r = 0; r < kReachableRows; ++r)
                left_[index(c, r)] = table_.cell(c, r);
    }

    static std::size_t index(int c, int r) {
        return static_cast<std::size_t>(c) * kReachableRows + r;
    }

    // Rows in use are whole module blocks, each begun below row 100.
    void checkBlocks() {
        auto lock = table_.lock();
        const int total = table_.Total_disp;
        if (total < 0 || total > kReachableRows)
            broken("Total_disp out of range", total, -1);
        for (int r = 0; r < total;) {
            const ModuleModel* m = modelByName(table_.cell(col::Modelo, r));
            if (!m)
                broken("row in use without a model", r, col::Modelo);
            if (r >= kScanRows)
                broken("block begins at or after row 100", r, 0);
            if (r + m->rows() > total)
                broken("block cut by Total_disp", r, -1);
            const QString& serial = table_.cell(col::Numero, r);
            for (int k = 0; k < m->rows(); ++k) {
                if (table_.cell(col::Numero, r + k) != serial)
                    broken("serial number differs within a block", r + k, col::Numero);
                if (table_.cell(col::Modelo, r + k) != m->name)
                    broken("model differs within a block", r + k, col::Modelo);
                if (table_.cell(col::IO, r + k) != QString::number(k + 1))
                    broken("I/O number out of order", r + k, col::IO);
            }
            r += m->rows();
        }
    }

    // Rows from Total_disp up to `lastRow` (exclusive) hold what the last reset left, and beyond
    // the reachable rows nothing at all. Checked before every reset and after every input.
    void checkOutside(int lastRow) {
        auto lock = table_.lock();
        const int total = table_.Total_disp;
        // Read straight from the column-after-column storage: a million cell() calls per second
        // would be most of the fuzzer's time.
        const QString* cells = &table_.cell(0, 0);
        for (int c = 0; c < kColumns; ++c)
            for (int r = total; r < lastRow; ++r) {
                const QString& v = cells[static_cast<std::size_t>(c) * kRows + r];
                if (v.isEmpty() ? r >= kReachableRows || left_[index(c, r)].isEmpty()
                                : r < kReachableRows && v == left_[index(c, r)])
                    continue;
                // An unknown model code marks the first empty row and nothing else.
                if (r == total && c == col::Modelo && v == QStringLiteral("ERRO_MOD"))
                    continue;
                broken("cell outside the rows in use written", r, c);
            }
    }

    PointTable table_;
    NullUi ui_;
    const QDateTime kStart{QDate(2026, 3, 2), QTime(8, 0, 0)};
    FakeClock clock_{kStart};
    LocaleFormats formats_ = LocaleFormats::brazilian();
    net::ConnectionList connections_;
    LinkEngine engine_;
    std::array<std::shared_ptr<test::MemoryConnection>, kSlots> slots_;
    std::vector<QString> left_ =
        std::vector<QString>(static_cast<std::size_t>(kColumns) * kReachableRows);
};

} // namespace

} // namespace telvara::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static telvara::fuzz::Session session;
    session.run(data, size);
    return 0;
}
