#pragma once

#include "app/Panel.h"
#include "points/PanelUi.h"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSoundEffect;
class QTableWidget;
class QTimer;

namespace telvara {

class TDigitarSenha;
class TForm_Senha_Apaga;
class TForm_hELP;
class TForm_Registros;
class TFormControl;
class TFormPainel;
class TSenhaComandar;
class TFormAlarme;
class TFormTotal;

// The other nine windows, created after the main window in this order and kept for the run.
struct PanelWindows {
    TDigitarSenha* DigitarSenha = nullptr;
    TForm_Senha_Apaga* Form_Senha_Apaga = nullptr;
    TForm_hELP* Form_hELP = nullptr;
    TForm_Registros* Form_Registros = nullptr;
    TFormControl* FormControl = nullptr;
    TFormPainel* FormPainel = nullptr;
    TSenhaComandar* SenhaComandar = nullptr;
    TFormAlarme* FormAlarme = nullptr;
    TFormTotal* FormTotal = nullptr;
};

// The main window ZUW_Mobile: banner, grid of the point table, hidden status fields and the
// seven timers. Its handlers forward to Panel; calls from connection threads are posted here.
class TZUW_Mobile : public QWidget, public PanelUi {
    Q_OBJECT
public:
    explicit TZUW_Mobile(const Clock& clock = SystemClock::instance(),
                         LocaleFormats formats = LocaleFormats::fromSystem(),
                         QWidget* parent = nullptr);
    ~TZUW_Mobile() override;

    // Creates the nine other windows in their order (program start, step 3).
    void createWindows();
    const PanelWindows& windows() const { return windows_; }
    Panel& panel() { return panel_; }

    // Every modal message box goes through here; a test replaces it to capture the texts.
    static std::function<void(QWidget* parent, const QString& text)>& messageHook();

    // Keyboard commands (F1-F7, F9, Tab) on key release.
    void FormKeyUp(int key);
    void Rectangle1DblClick();
    void Image1Click();
    void Image2Click();
    void StringGrid1SelectCell(int column, int row);
    void StringGrid1Tap();
    void ButtonPortaClick();

    // The timer handlers, public so that tests call them instead of waiting.
    void TimerRegLogTimer();
    void TimerRegTotTimer();
    void TimerAtualizaGridTimer();
    void Timer_Carrega_BancoTimer();
    void TimerOutTimer();
    void TimerNinguemConectouTimer();
    void TimerSupervTimer();
    QTimer* timer(PanelTimer which) const;

    // UiPort (any thread; posted to this window).
    void setCaption(const QString& caption) override;
    void setLabelTotalConec(const QString& text) override;
    void setLabelStatus(const QString& text) override;
    void stopNoConnectionTimer() override;
    void showAlarm(const QString& text) override;
    void TocarSom() override;
    void moduleRegistered() override;

    // PanelUi (user-interface thread).
    void ShowMsg(const QString& text) override;
    void setTimerInterval(PanelTimer timer, int ms) override;
    void stopTimer(PanelTimer timer) override;
    void setImage2Enabled(bool enabled) override;
    void clearGrid() override;
    bool alarmVisible() const override;
    void bringAlarmToFront() override;
    bool formControlActive() const override;
    void closeFormControl() override;

    QTableWidget* StringGrid1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* LabelStatus = nullptr;
    QLabel* LabelTotalConec = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* LabelPorta = nullptr;
    QLabel* Label_IP_Superv = nullptr;
    QLineEdit* EditPorta = nullptr;
    QLineEdit* EditIPSuperv = nullptr;
    QPushButton* ButtonPorta = nullptr;
    QFrame* Rectangle1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void buildLayout();
    void buildTimers();
    // Runs one handler step; an error is shown as the default error handler would, once while it
    // repeats, so a failing timer cannot stack message boxes.
    void guarded(const std::function<void()>& step);
    void post(std::function<void()> fn);
    void paintRow(int row, const QStringList& cells);

    Panel panel_;
    PanelWindows windows_;
    std::map<PanelTimer, QTimer*> timers_;
    QSoundEffect* sound_ = nullptr;
    int paintedRows_ = 0;
    bool shown_ = false;
    bool closing_ = false;
    QString lastError_;
};

} // namespace telvara
