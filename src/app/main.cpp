#include "core/Tela_Abertura.h"
#include "core/uMain.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char b = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &b, 1);
}

// SIGTERM and SIGINT close the main window exactly as its close button does, so a service
// manager or a logout still saves the counters and writes the export.
void closeOnSignals(QWidget* mainWindow) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, mainWindow, [mainWindow] {
        char b;
        [[maybe_unused]] const auto n = ::read(signalPipe[0], &b, 1);
        mainWindow->close();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    auto* splash = new telvara::TAbertura;
    splash->show();

    auto* ZUW_Mobile = new telvara::TZUW_Mobile;
    ZUW_Mobile->createWindows();
    closeOnSignals(ZUW_Mobile);

    while (!splash->Completed)
        app.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents, 50);
    splash->hide();
    delete splash;

    ZUW_Mobile->show();
    const int rc = app.exec();
    delete ZUW_Mobile;
    return rc;
}
