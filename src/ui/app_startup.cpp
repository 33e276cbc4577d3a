#include "ui/app_startup.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "ui/main_window.h"

namespace xq {

std::unique_ptr<MainWindow> startTable(
    ClientState& state, const QStringList& words, const QString& programFolder,
    const std::function<void(const QString& title, const QString& text)>& showError) {
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
