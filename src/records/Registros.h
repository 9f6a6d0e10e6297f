#pragma once

#include <QWidget>

class QPushButton;
class QShowEvent;
class QTableView;

namespace telvara {

class EventLog;

// Event report window: the event log's grid (at most 1000 events), erase and export.
class TForm_Registros : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Registros(EventLog& log, QWidget* parent = nullptr);

    EventLog& log() { return log_; }

    QTableView* StringGrid1 = nullptr;
    QPushButton* Button2 = nullptr; // "Salvar"
    QPushButton* Button1 = nullptr; // "Apagar"
    QPushButton* Button3 = nullptr; // "Sair"

protected:
    void showEvent(QShowEvent* event) override;

private:
    EventLog& log_;
};

} // namespace telvara
