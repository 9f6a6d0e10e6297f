#pragma once

#include <QString>

namespace telvara {

// What the link logic asks of the user interface. The main window implements it by posting each
// call to the user-interface thread without waiting; tests use a recorder. Calls may come from
// connection threads while they hold the point-table lock, so an implementation never blocks.
class UiPort {
public:
    virtual ~UiPort() = default;

    virtual void setCaption(const QString& caption) = 0;
    virtual void setLabelTotalConec(const QString& text) = 0;
    virtual void setLabelStatus(const QString& text) = 0;
    // Switches TimerNinguemConectou off: some module has reached the panel.
    virtual void stopNoConnectionTimer() = 0;
    // Sets the alarm pop-up's text and centres it; if it was hidden, shows it and plays the sound.
    virtual void showAlarm(const QString& text) = 0;
    // Plays "notify.wav" without waiting; nothing when the file or the device is missing.
    virtual void TocarSom() = 0;
    // A module was registered: Timer_Carrega_Banco starts its 4500 ms over.
    virtual void moduleRegistered() = 0;
};

} // namespace telvara
