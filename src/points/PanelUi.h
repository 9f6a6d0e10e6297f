#pragma once

#include "link/UiPort.h"

#include <QString>

namespace telvara {

// The main window's timers, by the names their handlers carry.
enum class PanelTimer {
    TimerRegLog,
    TimerRegTot,
    TimerAtualizaGrid,
    Timer_Carrega_Banco,
    TimerOut,
    TimerNinguemConectou,
    TimerSuperv,
};

// What the main window's handlers ask of the window beyond UiPort. Called on the user-interface
// thread only, so the answers are immediate.
class PanelUi : public UiPort {
public:
    // A modal information message box with one OK button.
    virtual void ShowMsg(const QString& text) = 0;
    virtual void setTimerInterval(PanelTimer timer, int ms) = 0;
    virtual void stopTimer(PanelTimer timer) = 0;
    virtual void setImage2Enabled(bool enabled) = 0;
    // A reset emptied the table: the grid rows it showed are emptied too.
    virtual void clearGrid() = 0;
    virtual bool alarmVisible() const = 0;
    virtual void bringAlarmToFront() = 0;
    virtual bool formControlActive() const = 0;
    virtual void closeFormControl() = 0;
};

} // namespace telvara
