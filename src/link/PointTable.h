#pragma once

#include "link/PendingItems.h"

#include <QString>

#include <array>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace telvara {

// Columns of Matriz_grid (and of the main grid).
namespace col {
enum : int {
    Numero = 0,
    IP = 1,
    Porta = 2,
    Modelo = 3,
    IO = 4,
    StLido = 5,
    StCom = 6,
    Tipo = 7,
    Valor = 8,
    Nome = 9,
    Senha = 10,
    EP = 11,
    Evento = 12,
    Param1 = 13,
    Param2 = 14,
    Param3 = 15,
    Param4 = 16,
    ALMin = 17,
    ALMax = 18,
    ValorExibido = 19,
    Unid = 20,
    Rx1 = 21,
    Rx2 = 22,
};
}

inline constexpr int kColumns = 23;
inline constexpr int kRows = 1000;
// A new module is placed only when its first row lies below this row.
inline constexpr int kScanRows = 100;
inline constexpr int kEventQueueCapacity = 1000;
inline constexpr int kTotalQueueCapacity = 5000;
inline constexpr int kReceivedSerials = 1000;

inline const QString kBareCaption = QStringLiteral("Telvara - Painel de Controle");

// std::mutex that knows its owner, so that functions needing the lock can assert it is held.
class OwnedMutex {
public:
    void lock() {
        m_.lock();
        owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    bool try_lock() {
        if (!m_.try_lock())
            return false;
        owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
        return true;
    }
    void unlock() {
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        m_.unlock();
    }
    bool heldByThisThread() const {
        return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

private:
    std::mutex m_;
    std::atomic<std::thread::id> owner_{};
};

// The point table Matriz_grid with its companion fields, the pending queues and the request
// flags, all guarded by one lock. Every member below `mutex` is read and written only while it is
// held: a connection thread holds it for the whole processing of one frame, a timer or dialog for
// its own step.
class PointTable {
public:
    PointTable();

    mutable OwnedMutex mutex;
    std::unique_lock<OwnedMutex> lock() const { return std::unique_lock(mutex); }
    void assertHeld() const;

    const QString& cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);

    // Empties columns 0..lastColumn of every row, sets Total_disp to 0 and brings back the bare
    // caption. The F6 and automatic resets keep "Unid", "Rx1" and "Rx2" (lastColumn 19); the
    // port change empties all 23 columns.
    void reset(int lastColumn);

    int Total_disp = 0;
    QString Num_serie_agora;
    std::array<QString, kReceivedSerials + 1> Vetor_NSRec; // entries 1..1000 are used
    int cont_vetor = 0;
    QString DataON;

    // Serial number of the last frame each open connection delivered. Several modules may share
    // one address (a gateway, the simulator): a module is answered only on the connections whose
    // frames were its own, never on one that has not spoken yet or speaks for another module.
    std::unordered_map<const void*, QString> serialOnConnection;

    // Mirror of the main window caption: connection threads test and change it under the lock
    // and post the new text to the window.
    QString caption = kBareCaption;

    bool Timer_Carrega_Banco_Enabled = false;
    bool TimerAtualizaGrid_Enabled = false;
    bool TimerNinguemConectou_Enabled = false;
    bool TimerOut_Enabled = false;
    bool TimerSuperv_Enabled = false;

    // The event and totalizer requests are raised while their queues hold anything.
    bool TimerRegistraLog_Enabled() const;
    bool TimerRegTot_Enabled() const;
    void pushEvent(PendingEvent e);
    void pushTotal(PendingTotal t);
    std::deque<PendingEvent> takeEvents();
    std::deque<PendingTotal> takeTotals();
    // What a timer took but could not write goes back to the head of its queue.
    void putBackEvents(std::deque<PendingEvent> events);
    void putBackTotals(std::deque<PendingTotal> totals);
    std::size_t pendingEvents() const;
    std::size_t pendingTotals() const;

private:
    std::vector<QString> cells_; // column after column: [c, r] is c * kRows + r
    BoundedQueue<PendingEvent> events_{kEventQueueCapacity};
    BoundedQueue<PendingTotal> totals_{kTotalQueueCapacity};
};

} // namespace telvara
