// The room side of the table: people arriving and leaving, seats, the settings stage, hands,
// the game snapshot, chat and the user menu.

#include "game/table.h"
#include "game/user_row.h"
#include "net/leading_number.h"
#include "net/message_codes.h"
#include "net/table_events.h"
#include "net/table_requests.h"
#include "prefs/sounds.h"

namespace xq {

void Table::DoRoomMsg(const Cmd& cmd) {
    roomEvent(tablemsg::parseEvent(cmd));
}

void Table::roomEvent(const tablemsg::ParsedEvent& parsed) {
    using namespace tablemsg;
    noticeWasLast_ = false;
    switch (codeOf(parsed)) {
        case code::kUser: {
            if (const auto* m = eventAs<SpectatorArrival>(parsed)) {
                const QString& text = m->row;
                const QStringList f = splitFields(text);
                if (f.size() != kUserRowFields || !isSpectatorRow(f)) return;
                if (!users.findRow(f[0]).isEmpty()) return;
                users.addRow(text);
                inOutLine(f[0] + QStringLiteral(" 进来了，正在旁观 ") + f[row::kWatching] +
                          QStringLiteral(" 游戏..."));
                chat.changeAddressee(QStringLiteral("ADD"), f[0]);
                MakeSound(kSoundPangGuanIn);
            } else if (eventAs<TableReset>(parsed)) {
                resetTable();
            } else if (const auto* list = eventAs<UserList>(parsed)) {
                users.clear();
                onUsersLoaded(users.loadAll(list->rows.join(u'\n')));
            } else if (const auto* me = eventAs<Identity>(parsed)) {
                s.strMyUserName = me->name;
                s.strWatchUserName = me->watched;
                loggedIn_ = true;
                users.setOwnName(s.strMyUserName);
                chat.setOwnName(s.strMyUserName);
            } else if (const auto* m = eventAs<Arrival>(parsed)) {  // a player or spectator
                const QString& text = m->row;
                const QStringList f = splitFields(text);
                if (f.size() != kUserRowFields || !users.findRow(f[0]).isEmpty()) return;
                users.addRow(text);
                inOutLine(f[0] + QStringLiteral(" 进来了..."));
                chat.changeAddressee(QStringLiteral("ADD"), f[0]);
                if (isSpectatorRow(f)) return;
                const auto seat = seatOfRow(f);
                if (!seat) return;
                SeatUserItem& who = s.SeatUsers[*seat];
                who.strUserName = f[0];
                who.lngFaceNo = leadingLong(f[row::kFaceNo]);
                screen.changed(Shown::PlayerFace, *seat);
            } else if (const auto* w = eventAs<WindowHidden>(parsed)) {
                screen.setMainWindowHidden(w->hidden);
            }
            return;
        }
        case code::kPresence: {
            if (const auto* m = eventAs<BackOnline>(parsed)) {
                const QString& name = m->name;
                if (name.isEmpty()) return;
                if (const int seat = findSeat(name); seat >= 0) {
                    s.SeatUsers[static_cast<std::size_t>(seat)].intOffline = false;
                    screen.changed(Shown::NetBreak, seat);
                }
                chat.showSystemLine(QStringLiteral("哈哈，") + name +
                                    QStringLiteral(" 终于上线了..."));
            } else if (const auto* m = eventAs<WentOffline>(parsed)) {
                const QString& name = m->name;
                msgs.CloseMsgObjects(0);
                if (name.isEmpty()) return;
                if (const int seat = findSeat(name); seat >= 0) {
                    s.SeatUsers[static_cast<std::size_t>(seat)].intOffline = true;
                    screen.changed(Shown::NetBreak, seat);
                }
                chat.showSystemLine(QStringLiteral("不好，") + name + QStringLiteral(" 掉线了..."));
            } else if (const auto* m = eventAs<SpectatorLeft>(parsed)) {
                const QString& name = m->name;
                if (name.isEmpty() || users.findRow(name).isEmpty()) return;
                users.removeRow(name);
                inOutLine(QStringLiteral("旁观用户 ") + name + QStringLiteral(" 走了..."));
                chat.changeAddressee(QStringLiteral("DEL"), name);
                MakeSound(kSoundPangGuanOut);
            } else if (const auto* m = eventAs<RowChanged>(parsed)) {
                users.updateRow(m->row);
            }
            return;
        }
        case code::kLeave: {
            const auto* m = eventAs<LeftTable>(parsed);
            if (!m) return;
            const QString& name = m->name;
            if (name.isEmpty() || users.findRow(name).isEmpty()) return;
            users.removeRow(name);
            inOutLine(name + QStringLiteral(" 走了..."));
            chat.changeAddressee(QStringLiteral("DEL"), name);
            if (const int seat = findSeat(name); seat >= 0) {
                // Without the other player there are no terms left to agree on.
                dropGameSet();
                SeatUserItem& who = s.SeatUsers[static_cast<std::size_t>(seat)];
                who.strUserName.clear();
                who.lngFaceNo = 0;
                who.intHandUp = false;
                who.intOffline = false;
                screen.changed(Shown::PlayerFace, seat);
                screen.changed(Shown::HandMark, seat);
                screen.changed(Shown::NetBreak, seat);
            }
            return;
        }
        case code::kTableSettings: {
            const auto* m = eventAs<TableSettings>(parsed);
            if (!m) return;
            const QStringList& f = m->fields;
            if (f.size() > 5) {
                tableSettingsStage(f);
            } else {
                // Back to waiting for players: a settings stage still open has ended.
                dropGameSet();
                s.bteGameStarted = 0;
                s.blnCanStart = true;
                RefreshStartButton();
            }
            return;
        }
        case code::kHandUp: {
            const auto* m = eventAs<HandsUp>(parsed);
            if (!m) return;
            handRaised(*m);
            return;
        }
        case code::kRoomChat:
            if (const auto* m = eventAs<RoomChat>(parsed)) chat.showRoomLine(m->text);
            return;
        case code::kSnapshot:
            Snapshot(parsed);
            return;
        default:
            return;
    }
}

void Table::inOutLine(const QString& line) {
    // Arrivals and departures are chat lines the user may choose not to see.
    if (prefs.bteShowInOutMsg != 0) chat.showSystemLine(line);
}

void Table::resetTable() {
    dropGameSet();
    InitSession(s, programFolder_);
    msgs.CloseMsgObjects(0);
    msgs.InitMsgObjects(s.strParentPath);
    ResetGame(g, s);
    nextPhase();
    ResetQiPanView();
    screen.changed(Shown::Frame);
    screen.changed(Shown::GameBack);
    screen.changed(Shown::Board);
    users.clear();
    chat.clear();
    chat.setDefaultAddressee(ChatModel::kEveryone);
}

void Table::tableSettingsStage(const QStringList& f) {
    const bool owner = leadingNumber(f[3]) > 0;
    g.bteRedView = owner ? 1 : 0;
    if (leadingNumber(f[5]) <= 0) return;
    const QString settings = f.mid(7).join(u'`');
    if (owner) {
        openGameSet(true, settings);
        return;
    }
    if (leadingNumber(f.value(6)) == 0) {  // a message of six fields has no field 6
        Notice(QStringLiteral("等待桌主进行本桌游戏设置..."));
    } else {
        openGameSet(false, settings);
    }
}

bool Table::openGameSet(bool deskMaster, const QString& settings) {
    if (gameSet.SetInitGameSetInfo(deskMaster, settings)) {
        gameSetOpen_ = true;
        screen.openGameSetDialog(gameSet);
        return true;
    }
    // Terms that cannot be shown: rather than a broken dialog, the user leaves the table.
    dropGameSet();
    SendLeaveTable();
    return false;
}

void Table::dropGameSet() {
    // Let go first: the dialog, closed by the program, must find nothing left to answer.
    gameSet.timerEnabled = false;
    if (!gameSetOpen_) return;
    gameSetOpen_ = false;
    screen.closeGameSetDialog();
}

GameSetModel::Tick Table::onGameSetTick() {
    if (!gameSetOpen_ || !gameSet.timerEnabled) return {{}, false};
    return gameSet.tick();
}

GameSetModel::Press Table::onGameSetButton(int button) {
    if (!gameSetOpen_) return {{}, {}, true};
    GameSetModel::Press result = gameSet.press(button, s.strMyUserName);
    if (button == 1) leftTable_ = true;  // cancelling or refusing the terms leaves the table
    Send(result.message);
    if (result.close) {
        gameSetOpen_ = false;
        screen.closeGameSetDialog();
    }
    return result;
}

void Table::handRaised(const tablemsg::HandsUp& hand) {
    const int seat = findSeat(hand.name);
    if (seat < 0) return;
    s.SeatUsers[static_cast<std::size_t>(seat)].intHandUp = true;
    screen.changed(Shown::HandMark, seat);
    const bool withSettings = hand.terms.has_value();
    const QString settings = hand.terms.value_or(QString());
    msgs.CloseMsgObjects(0);
    if (withSettings && hand.name != s.strMyUserName && !openGameSet(false, settings)) return;
    if (hand.raised > 1) {
        for (int i = 0; i < 2; ++i) {
            s.SeatUsers[static_cast<std::size_t>(i)].intHandUp = false;
            screen.changed(Shown::HandMark, i);
        }
    }
}

void Table::Snapshot(const tablemsg::ParsedEvent& parsed) {
    s.bteGameStarted = 1;
    NewGame(g, s);
    nextPhase();
    ResetQiPanView();
    // A snapshot too short to say whether a game runs loads nothing, the rest still happens.
    if (const auto* waiting = tablemsg::eventAs<tablemsg::WaitingSnapshot>(parsed)) {
        LoadGameState(*waiting);
    } else if (const auto* running = tablemsg::eventAs<tablemsg::RunningSnapshot>(parsed)) {
        LoadGameState(*running);
    }
    if (!g.blnNoGame) {
        resetQiPu(g.finishedGame);
        dropGameSet();  // a running game: the terms are no longer being settled
    }
    screen.changed(Shown::GameBack);
    screen.changed(Shown::Board);
    screen.changed(Shown::Controls);
    if (qiPuUpperBound(g.QiPuData) >= 1) markLastMove();
    ApplyGameState();
}

void Table::SendStart() {
    if (s.bteGameStarted == 0) {
        Send(tablemsg::encode(tablemsg::HandUp{s.strMyUserName}));
    } else if (!s.blnLookOn) {
        Send(tablemsg::encode(tablemsg::RaiseHand{s.bteMySeat}));
    }
    s.blnCanStart = false;
    RefreshStartButton();
}

void Table::SendGameBegun() {
    if (s.blnCanStart) {
        s.blnCanStart = false;
        RefreshStartButton();
    }
    if (s.bteGameStarted == 0) {
        s.bteGameStarted = 1;
        Send(tablemsg::encode(tablemsg::TableBegun{}));
    }
}

void Table::SendLeaveTable() {
    leftTable_ = true;
    Send(tablemsg::encode(tablemsg::Leave{s.strMyUserName}));
}

void Table::onUsersLoaded(const QString& names) {
    const QStringList list = names.isEmpty() ? QStringList() : splitFields(names);
    for (const QString& name : list)
        chat.changeAddressee(QStringLiteral("ADD"), name);
    for (const QString& name : list) {
        const QStringList f = splitFields(users.findRow(name));
        if (f.size() != kUserRowFields || isSpectatorRow(f)) continue;
        const auto seat = seatOfRow(f);
        if (!seat) continue;
        SeatUserItem& who = s.SeatUsers[*seat];
        who.strUserName = name;
        who.lngFaceNo = leadingLong(f[row::kFaceNo]);
        who.intHandUp = flagField(f, row::kHandUp);
        who.intOffline = flagField(f, row::kOffline);
    }
    ResolveMySeat(s);
    for (int seat = 0; seat < 2; ++seat) {
        screen.changed(Shown::PlayerFace, seat);
        screen.changed(Shown::NetBreak, seat);
        screen.changed(Shown::HandMark, seat);
    }
}

void Table::sendChat(const QStringList& tenFields) {
    Send(tablemsg::encode(tablemsg::Chat{tenFields}));
}

void Table::onPersonClicked(bool menu, const QString& name, const QString& row) {
    if (menu) {
        screen.showUserMenu(userMenuCaptions(row), name);
    } else {
        chat.setDefaultAddressee(name);
    }
}

QStringList Table::userMenuCaptions(const QString& rowText) const {
    const QStringList f = splitFields(rowText);
    if (rowText.isEmpty() || f.size() != kUserRowFields) return {};
    const QString level = GetLevelName(s, leadingLong(f[row::kLevel]));
    const QString member = memberName(s, leadingLong(f[row::kFaceNo]));
    const QString scoreWord =
        s.bteScoreType == 0 ? QStringLiteral("经验:") : QStringLiteral("积分:");
    return {
        f[row::kName] + QStringLiteral("   身份：") + member,
        QStringLiteral("游戏ID：") + f[row::kUserId],
        QStringLiteral("旁观对象：") + f[row::kWatching],
        QStringLiteral("-"),
        QStringLiteral("与他（她）交谈"),
        QStringLiteral("-"),
        QStringLiteral("级别:") + level + QStringLiteral("   ") + QStringLiteral("胜率:") +
            f[row::kWinRate] + QStringLiteral("%   ") + QStringLiteral("逃跑率:") +
            f[row::kEscapeRate] + QStringLiteral("%"),
        scoreWord + f[row::kScore] + QStringLiteral("   胜:") + f[row::kWon] +
            QStringLiteral("   输:") + f[row::kLost] + QStringLiteral("   和:") + f[row::kDrawn] +
            QStringLiteral("   总局数:") + f[row::kGames],
    };
}

void Table::ExecUserMenu(int index, const QString& tag) {
    if (!tag.isEmpty() && index == 4) chat.setDefaultAddressee(tag);
}

}  // namespace xq
