#pragma once

#include <QString>

#include <cstddef>
#include <deque>
#include <iterator>

namespace telvara {

// One event waiting for the event log: the pending-event fields.
struct PendingEvent {
    QString Tipo_evento;
    QString Descricao_evento;
    QString Ip_log;
    QString Ns_log;
    QString Acao_log;
    QString Nome_IO;
    QString Num_IO;
    bool operator==(const PendingEvent&) const = default;
};

// One finished ON period waiting for the totalizer log: the pending-totalizer fields, with the
// address and name of its own point.
struct PendingTotal {
    QString DataInicial;
    QString HoraInicial;
    QString TotalFinal;
    QString Unidade;
    QString Ip_log;
    QString Nome_IO;
    bool operator==(const PendingTotal&) const = default;
};

// First-in-first-out hand-off from producers to a user-interface timer. Bounded like the ring it
// feeds: when full, the oldest item goes, which the ring would have overwritten anyway.
template <typename T> class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity)
        : capacity_(capacity) {}

    void push(T item) {
        if (items_.size() >= capacity_)
            items_.pop_front();
        items_.push_back(std::move(item));
    }
    // Everything queued, oldest first; the queue is left empty.
    std::deque<T> takeAll() {
        std::deque<T> out;
        out.swap(items_);
        return out;
    }
    // Puts back, ahead of anything queued since, items whose write failed; the oldest go first
    // when that overfills the queue.
    void putBack(std::deque<T> items) {
        items.insert(items.end(), std::make_move_iterator(items_.begin()),
                     std::make_move_iterator(items_.end()));
        while (items.size() > capacity_)
            items.pop_front();
        items_.swap(items);
    }
    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }
    std::size_t capacity() const { return capacity_; }
    const T& back() const { return items_.back(); }
    void clear() { items_.clear(); }

private:
    std::size_t capacity_;
    std::deque<T> items_;
};

} // namespace telvara
