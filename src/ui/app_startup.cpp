#include "ui/app_startup.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "game/login_ticket.h"
#include "startup/handover.h"
#include "ui/main_window.h"

namespace xq {

std::unique_ptr<MainWindow> startTable(
    ClientState& state, const QStringList& words, const QString& programFolder,
    const std::function<void(const QString& title, const QString& text)>& showError) {
    // Out of the environment first, whatever comes next: nothing started from here sees them.
    const Handover handover = takeHandover();
    const LaunchCheck check = checkCommandLine(words.join(u' '), state.session);
    if (check != LaunchCheck::kOk) {
        if (showError) {
            showError(startupErrorTitle(), startupErrorText(check));
        } else {
            QMessageBox box(QMessageBox::Critical, startupErrorTitle(), startupErrorText(check),
                            QMessageBox::Ok);
            box.exec();
        }
        return nullptr;
    }
    state.session.strTicket = loginTicket(state.session, handover.ticket);
    state.session.strTlsPolicy = handover.tls;
    InitSession(state.session, programFolder);
    ResetGame(state.game, state.session);
    auto window = std::make_unique<MainWindow>(state.session, state.game, state.settings);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    window->setGeometry(area.x(), area.y(), area.width(), area.height() - 32);
    window->show();
    window->ConnectRoomServer();
    return window;
}

}  // namespace xq
