#pragma once

#include <QTcpSocket>
#include <QUuid>
#include <functional>

#include "../support/bytes.h"
#include "move_policies.h"
#include "net/codec.h"
#include "net/frame.h"
#include "net/message_codes.h"
#include "net/table_requests.h"

namespace xq::test {

// A scripted player in seat 1 that answers at once: it agrees to the owner's terms, raises its
// hand as soon as the other player has raised his after a game, plays the instant the other
// player's move is echoed (the longest legal move), and resigns right behind its own move when
// the game has reached `resignAfter` half-moves. No person and no bot is that quick; a window
// must still miss nothing.
class QuickOpponent {
public:
    QuickOpponent(const QString& name, quint16 port) : name_(name) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { read(); });
        QObject::connect(&socket_, &QTcpSocket::connected, [this] {
            socket_.write(encodeFrame(QByteArray(kHelloPrefix) + encodeCp936(name_) + '`' +
                                      QUuid::createUuid().toByteArray(QUuid::WithoutBraces)));
            send(tablemsg::encode(tablemsg::Login{true}));
        });
        socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    // Half-moves of a game after which its own move is followed at once by its resignation.
    int resignAfter = 1000;
    int seat = 1;
    int gamesStarted = 0;
    int gamesEnded = 0;
    int movesSent = 0;
    bool loadAgreeing = true;  // answer a load request with agreement
    std::function<void(const Cmd&)> onMessage;

    void send(const Cmd& m) { socket_.write(encodeFrame(m)); }
    void leave() {
        send(tablemsg::encode(tablemsg::Leave{name_}));
        socket_.flush();
    }
    QTcpSocket& socket() { return socket_; }

private:
    void read() {
        reader_.feed(socket_.readAll());
        while (reader_.hasFrame())
            handle(reader_.takeFrame());
    }

    void handle(const Cmd& m) {
        if (m.isEmpty()) return;
        if (onMessage) onMessage(m);
        const std::uint8_t c = byteAt(m, 0);
        const QStringList text = CmdToString(m, 2).split(u'`');
        if (c == code::kHandUp && text.size() > 1 && text[0] != name_) {
            send(tablemsg::encode(tablemsg::HandUp{name_}));  // the owner's terms: agreed
        } else if (c == code::kTableSettings && text.size() > 7 && text[6] == QStringLiteral("1")) {
            send(tablemsg::encode(tablemsg::HandUp{name_}));
        } else if (c == code::kRaiseHand && m.size() == 2 && byteAt(m, 1) != seat) {
            send(tablemsg::encode(tablemsg::RaiseHand{static_cast<std::uint8_t>(seat)}));
        } else if (c == code::kGameStart && m.size() == 19) {
            ++gamesStarted;
            InitQiPan(board_);
            plies_ = 0;
            toMove_ = byteAt(m, 12);
            redSeat_ = byteAt(m, 11);
            if (toMove_ == seat) play();
        } else if (c == code::kMove && m.size() == 10) {
            const int from = byteAt(m, 3), to = byteAt(m, 5);
            board_[to >> 4][to & 15] = board_[from >> 4][from & 15];
            board_[from >> 4][from & 15] = kNoPiece;
            ++plies_;
            toMove_ = byteAt(m, 2) ^ 1;
            if (toMove_ == seat) play();
        } else if (c == code::kLoad && m.size() == 3 && byteAt(m, 1) == code::kAsk) {
            send(tablemsg::encode(tablemsg::Answer{tablemsg::Topic::Load, loadAgreeing,
                                                   static_cast<std::uint8_t>(seat)}));
        } else if (c == code::kGameEnd) {
            ++gamesEnded;
            toMove_ = -1;
        }
    }

    void play() {
        const int side = seat == redSeat_ ? kRed : kBlack;
        Move m;
        if (!LongestMove(board_, side, m)) return;
        const int fr = rankOfSquare(m.from), ff = fileOfSquare(m.from);
        const int tr = rankOfSquare(m.to), tf = fileOfSquare(m.to);
        send(tablemsg::encode(tablemsg::Move{static_cast<std::uint8_t>(seat),
                                             static_cast<std::uint8_t>(fr * 16 + ff),
                                             board_[fr][ff],
                                             static_cast<std::uint8_t>(tr * 16 + tf),
                                             board_[tr][tf],
                                             {}}));
        ++movesSent;
        // Its own move will make plies_ + 1; the resignation goes out in the same breath.
        if (plies_ + 1 >= resignAfter)
            send(tablemsg::encode(tablemsg::Resign{static_cast<std::uint8_t>(seat), false}));
    }

    QString name_;
    QTcpSocket socket_;
    FrameReader reader_;
    QiPan board_{};
    int plies_ = 0;
    int toMove_ = -1;
    int redSeat_ = 0;
};

}  // namespace xq::test
