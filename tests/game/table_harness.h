#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

#include "../support/bytes.h"
#include "game/table.h"
#include "game/user_row.h"
#include "net/codec.h"
#include "net/message_codes.h"
#include "socket/message_inbox.h"

namespace xq::test {

// A screen that records what the table asks of it, and answers boxes and file dialogs as the
// test says.
class FakeScreen : public Screen, public BoardScreen, public MsgBoxHost {
public:
    // How a box with buttons is answered: 0 Yes, 1 No, -1 stay open until closed (the box then
    // waits in a nested event loop, as a real modal box does).
    std::function<int(const MsgBoxInfo&)> answerBox = [](const MsgBoxInfo& info) {
        return info.type == 1 || info.yesDefault ? 0 : 1;  // what the count-down would answer
    };
    std::function<void(const MsgBoxInfo&)> whileBoxOpen;  // runs inside a box left open
    QString fileName;                                     // the file dialog's answer
    // Runs while the file dialog is open (the user is choosing); the dialog then answers
    // fileName unless the table cancelled it meanwhile.
    std::function<void()> whileFileDialogOpen;
    // Runs at each frame of a move's animation, after pending events have run (as the real
    // frame wait lets them run).
    std::function<void(int frame)> onAnimationFrame;
    int animationFrames = 3;
    int fileDialogCancels = 0;
    bool visible = true;
    std::function<void()> onGameSetOpened;

    MsgPool* pool = nullptr;
    QStringList calls;
    std::vector<MsgBoxInfo> boxes;  // every box opened, in order
    std::map<int, QEventLoop*> waiting;
    int unloads = 0;
    int gameSetOpens = 0;
    int gameSetCloses = 0;
    QStringList sounds;
    QStringList menuCaptions;
    QiPuHistory replayed;
    GameRecord replayedRecord;
    bool timers[4] = {};
    int animations = 0;

    bool called(const QString& call) const { return calls.contains(call); }
    QStringList boxNotes() const {
        QStringList notes;
        for (const auto& b : boxes)
            notes << b.note;
        return notes;
    }

    // Every change told is written down as the window's own call for it would be.
    void changed(Shown part, int i) override {
        switch (part) {
            case Shown::Frame:
                calls << "frame";
                break;
            case Shown::GameBack:
                calls << "gameBack";
                break;
            case Shown::Board:
                calls << "qiPan";
                break;
            case Shown::Controls:
                calls << "userOpt";
                break;
            case Shown::OptButton:
                calls << QStringLiteral("button %1").arg(i);
                break;
            case Shown::PlayerFace:
                calls << QStringLiteral("face %1").arg(i);
                break;
            case Shown::NetBreak:
                calls << QStringLiteral("net %1").arg(i);
                break;
            case Shown::HandMark:
                calls << QStringLiteral("hand %1").arg(i);
                break;
            case Shown::RunFlag:
            case Shown::RunFlagOff:
                calls << QStringLiteral("flag %1 %2").arg(i).arg(part == Shown::RunFlag);
                break;
            case Shown::ClockA:
                calls << QStringLiteral("clockA %1").arg(i);
                break;
            case Shown::ClockB:
                calls << QStringLiteral("clockB %1").arg(i);
                break;
        }
    }
    BoardScreen& board() override { return *this; }
    void pointChanged(int r, int c, std::uint8_t p) override {
        calls << QStringLiteral("clear %1,%2").arg(r).arg(c);
        calls << QStringLiteral("piece %1,%2=%3").arg(r).arg(c).arg(p);
    }
    void animateMove(int fr, int fc, int tr, int tc, std::uint8_t p) override {
        ++animations;
        calls << QStringLiteral("animate %1,%2->%3,%4 %5").arg(fr).arg(fc).arg(tr).arg(tc).arg(p);
        // The real animation waits frame by frame in a nested loop where everything pending
        // runs: timers, clicks and arriving messages.
        for (int frame = 0; frame < animationFrames; ++frame) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (onAnimationFrame) onAnimationFrame(frame);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }
    void placeRunMarkers(int fr, int fc, int tr, int tc, bool v) override {
        calls << QStringLiteral("runMarkers %1,%2 %3,%4 %5").arg(fr).arg(fc).arg(tr).arg(tc).arg(v);
    }
    void placeSelectMarker(int r, int c, bool v) override {
        calls << QStringLiteral("selectMarker %1,%2 %3").arg(r).arg(c).arg(v);
    }
    void hideSelectMarker() override { calls << "hideSelect"; }
    void showMoveHints(const std::vector<std::pair<int, int>>& cells) override {
        hints = cells;
        calls << QStringLiteral("hints %1").arg(cells.size());
    }
    void showMoveReason(const QString& text) override { reasons << text; }
    void markCheck(int row, int col) override {
        calls << QStringLiteral("check %1,%2").arg(row).arg(col);
    }
    void clearCheckMark() override { calls << QStringLiteral("check off"); }
    std::vector<std::pair<int, int>> hints;
    QStringList reasons;
    void hideMarkers() override { calls << "hideMarkers"; }
    void hideMovingPiece() override { calls << "hideMoving"; }
    void setTimerEnabled(TableTimer t, bool on) override { timers[static_cast<int>(t)] = on; }
    bool isMainWindowVisible() const override { return visible; }
    void setMainWindowHidden(bool hidden) override {
        calls << QStringLiteral("hidden %1").arg(hidden);
    }
    void unloadMainWindow() override { ++unloads; }
    void playSoundFile(const QString& path) override { sounds << path.section(u'/', -1); }
    void openGameSetDialog(GameSetModel&) override {
        ++gameSetOpens;
        if (onGameSetOpened) onGameSetOpened();
    }
    void closeGameSetDialog() override { ++gameSetCloses; }
    QString getQiPuFileName(const QString& title, bool forSave) override {
        calls << QStringLiteral("fileDialog %1 %2").arg(title).arg(forSave);
        const int cancelsBefore = fileDialogCancels;
        if (whileFileDialogOpen) whileFileDialogOpen();
        return fileDialogCancels == cancelsBefore ? fileName : QString();
    }
    void cancelFileDialog() override { ++fileDialogCancels; }
    void openReplay(const GameRecord& r) override {
        replayed = r.moves;
        replayedRecord = r;
    }
    void openReplayFromFile() override { calls << QStringLiteral("replayFromFile"); }
    void showUserMenu(const QStringList& captions, const QString&) override {
        menuCaptions = captions;
    }

    void openBox(int id, const MsgBoxInfo& info) override {
        boxes.push_back(info);
        if (info.type == 0) return;
        const int answer = answerBox(info);
        if (answer >= 0) {
            pool->answer(id, answer);
            pool->boxClosed(id);
            return;
        }
        QEventLoop loop;
        waiting[id] = &loop;
        if (whileBoxOpen) whileBoxOpen(info);
        if (waiting.count(id) != 0) loop.exec();
    }
    void closeBox(int id) override {
        calls << "closeBox";
        auto it = waiting.find(id);
        if (it == waiting.end()) return;
        it->second->quit();
        waiting.erase(it);
    }
};

inline Cmd WithText(std::initializer_list<int> head, const QString& text) {
    Cmd cmd;
    StringToCmd(text, cmd, static_cast<std::uint8_t>(head.size()), Bytes(head));
    if (cmd.isEmpty()) cmd = Bytes(head);
    return cmd;
}

// A user row with the fields that matter here.
inline QString Row(const QString& name, int chair, const QString& watching = {}, int face = 0,
                   int hand = 0, int offline = 0) {
    return QStringList{name,
                       "10001",
                       "1000",
                       "1000",
                       watching,
                       "3",
                       "66",
                       "0",
                       "2",
                       "1",
                       "0",
                       "0",
                       QString::number(face),
                       QString::number(chair),
                       QString::number(hand),
                       QString::number(offline)}
        .join(u'`');
}

// A table with a fake screen, as one client sees it.
struct Harness {
    explicit Harness(const QString& me = QStringLiteral("红方")) {
        session.strMyUserName = me;
        session.strGameName = QStringLiteral("中国象棋");
        InitSession(session, QStringLiteral("/opt/hall/game"));
        table.msgs.InitMsgObjects(session.strParentPath);
        ResetGame(game, session);
        screen.pool = &table.msgs;
        table.send = [this](const Cmd& c) { sent.push_back(c); };
        // Messages that "arrive" go the way the connection hands them out: one per event-loop
        // turn, held while a move is applied.
        QObject::connect(&inbox, &MessageInbox::message, [this](const QByteArray& c) {
            if (isRoomCode(byteAt(c, 0))) {
                table.DoRoomMsg(c);
            } else {
                table.DoGameMsg(c);
            }
        });
        table.holdMessages = [this](bool hold) {
            if (hold) {
                inbox.hold();
            } else {
                inbox.release();
            }
        };
    }

    // Handled at once, from inside the test's own call.
    void room(const Cmd& c) { table.DoRoomMsg(c); }
    void gameMsg(const Cmd& c) { table.DoGameMsg(c); }
    // Arrives from the network: handled when the event loop gets to it.
    void arrive(const Cmd& c) { inbox.push(c); }
    // Runs the event loop until every message that arrived has been handled.
    void settle() {
        for (int i = 0; i < 10000 && (inbox.waiting() > 0 || inbox.held()); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    // Both players seated (red = seat 0 owner by default) and the table told who this user is.
    void seat(const QString& seat0, const QString& seat1, const QString& watched = {}) {
        room(WithText({130, 3}, session.strMyUserName + u'`' +
                                    (watched.isEmpty() ? session.strMyUserName : watched)));
        QStringList rows = {Row(seat0, 0), Row(seat1, 1)};
        if (session.strMyUserName != seat0 && session.strMyUserName != seat1) {
            rows << Row(session.strMyUserName, 0, watched);
        }
        room(WithText({130, 2}, rows.join(u'\n')));
    }

    // Game start: red seat, seat to move, bank limit and free time per move.
    void start(int redSeat, std::array<int, 3> total = {0, 10, 0},
               std::array<int, 3> step = {0, 0, 30}) {
        gameMsg(Bytes({17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, redSeat, redSeat, total[0], total[1],
                       total[2], step[0], step[1], step[2]}));
    }

    // The server's echo of a move by seat s from (fr, ff) to (tr, tf), logical points.
    Cmd move(int seat, int fr, int ff, int tr, int tf, std::array<int, 3> bank = {0, 0, 0}) const {
        const Piece p = game.bteQiPan[fr][ff];
        const Piece e = game.bteQiPan[tr][tf];
        return Bytes({19, 0, seat, fr * 16 + ff, p, tr * 16 + tf, e, bank[0], bank[1], bank[2]});
    }

    Session session;
    GameState game;
    UserSettings settings;
    FakeScreen screen;
    Table table{session, game, settings, screen, screen, QStringLiteral("/opt/hall/game")};
    std::vector<Cmd> sent;
    MessageInbox inbox;
};

}  // namespace xq::test
