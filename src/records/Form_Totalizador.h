#pragma once

#include <QString>
#include <QWidget>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QTableView;

namespace telvara {

class TotalizerLog;

// Totalizer report window: the totalizer records, all of them or filtered by name or date.
class TFormTotal : public QWidget {
    Q_OBJECT
public:
    explicit TFormTotal(TotalizerLog& log, QWidget* parent = nullptr);

    TotalizerLog& log() { return log_; }

    // The date box shows its date in the workstation's short date format.
    void setShortDateFormat(const QString& format);

    QTableView* StringGrid1 = nullptr;
    QWidget* Panel1 = nullptr;
    QRadioButton* RadioNome = nullptr;
    QLineEdit* EditNome = nullptr;
    QRadioButton* RadioData = nullptr;
    QDateEdit* EditDataIni = nullptr;
    QPushButton* Button1 = nullptr; // "Filtrar"
    QPushButton* Button2 = nullptr; // "Ver todos"

protected:
    void showEvent(QShowEvent* event) override;

private:
    TotalizerLog& log_;
};

} // namespace telvara
