#include "server/bot/bot_player.h"

#include <QStringList>
#include <QTime>

#include "engine/evaluation.h"
#include "net/message_codes.h"
#include "net/table_events.h"
#include "net/table_requests.h"
#include "server/bot/engine_mover.h"
#include "server/bot/search_worker.h"
#include "server/game_clock.h"

namespace xq::server {
namespace {

// A move the table keeps refusing means the bot's picture of the game is wrong; it gives up the
// game rather than try forever.
constexpr std::size_t kMaxRefusedMoves = 5;
// A user row has 16 fields; field 4 is empty for players, field 13 is the chair.
constexpr int kRowFields = 16;

std::uint8_t Packed(int square) {
    return packPoint(rankOfSquare(square), fileOfSquare(square));
}

}  // namespace

BotPlayer::BotPlayer(RoomServer& server, BotConfig config, QObject* parent)
    : QObject(parent),
      server_(server),
      config_(std::move(config)),
      profile_(engine::profileForLevel(config_.options.level)),
      policy_(config_.policy) {
    if (config_.options.enginePath.isEmpty()) {
        mover_ = std::make_unique<SearchWorker>(this, config_.tableMegabytes, config_.seed);
    } else {
        // The engine's levels take their own time.
        profile_.capMs = engineLevel(config_.options.level).capMs;
        mover_ =
            std::make_unique<EngineMover>(this, config_.options.enginePath, config_.options.level,
                                          config_.tableMegabytes, config_.seed, config_.log);
    }
    if (config_.moveCapMs > 0) profile_.capMs = std::min(profile_.capMs, config_.moveCapMs);
    sinceStart_.start();
    connect(&poller_, &QTimer::timeout, this, &BotPlayer::poll);
    poller_.start(config_.timing.pollMs);
}

BotPlayer::~BotPlayer() {
    mover_->cancel();
    dropFinished();
    if (conn_) server_.drop(*conn_);
}

// ---- Joining and leaving ----

void BotPlayer::poll() {
    dropFinished();
    if (conn_ || sinceStart_.elapsed() < loginBlockedUntilMs_) return;
    const RoomTable& table = server_.table();
    const QString owner = table.seatName(0);
    // A game kept over a restart of the server waits for the computer on its old seat.
    int backTo = -1;
    for (int s = 0; s < 2; ++s) {
        if (table.seatName(s) == config_.options.name && table.offline(s)) backTo = s;
    }
    if (backTo < 0 && (owner.isEmpty() || owner == config_.options.name || table.offline(0) ||
                       !table.seatName(1).isEmpty()))
        return;
    conn_ = server_.attach(this);
    phase_ = Phase::Waiting;
    seat_ = backTo < 0 ? 1 : backTo;
    other_.clear();
    handUp_ = false;
    termsSeen_ = false;
    greeted_ = false;
    newGame_ = true;
    ++epoch_;
    loggingIn_ = true;
    server_.submitLogin(*conn_, config_.options.name, true);
    loggingIn_ = false;
}

void BotPlayer::finish() {
    if (!conn_) return;
    // Called from inside the table: the id is handed back to the server later, not now.
    toDrop_.push_back(*conn_);
    conn_.reset();
    if (loggingIn_) loginBlockedUntilMs_ = sinceStart_.elapsed() + config_.timing.retryLoginMs;
    phase_ = Phase::Out;
    inbox_.clear();
    ++epoch_;
    ++ticket_;
    mover_->cancel();
    game_.stop();
    QTimer::singleShot(0, this, &BotPlayer::dropFinished);
}

void BotPlayer::dropFinished() {
    const std::vector<ConnId> ids = std::exchange(toDrop_, {});
    for (ConnId id : ids)
        server_.drop(id);
}

void BotPlayer::leave() {
    send(tablemsg::encode(tablemsg::Leave{config_.options.name}));
}

// ---- Messages in ----

void BotPlayer::deliver(const Cmd& message, const QByteArray&) {
    inbox_.push_back(Arrival{message, sinceStart_.elapsed()});
    if (inboxScheduled_) return;
    inboxScheduled_ = true;
    QMetaObject::invokeMethod(
        this, [this] { processInbox(); }, Qt::QueuedConnection);
}

void BotPlayer::processInbox() {
    inboxScheduled_ = false;
    while (!inbox_.empty() && conn_) {
        const Arrival a = inbox_.front();
        inbox_.pop_front();
        handlingSinceMs_ = a.atMs;
        handle(a.message);
    }
}

void BotPlayer::handle(const Cmd& m) {
    if (m.isEmpty()) return;
    using namespace tablemsg;
    const ParsedEvent parsed = parseEvent(m);
    switch (codeOf(parsed)) {
        case code::kUser:
            if (const auto* list = eventAs<UserList>(parsed)) onList(list->rows);
            if (const auto* arrival = eventAs<tablemsg::Arrival>(parsed)) onArrival(arrival->row);
            return;
        case code::kLeave:
            if (const auto* left = eventAs<LeftTable>(parsed)) onLeft(left->name);
            return;
        case code::kTableSettings: {
            // Even a stage message without its sub-code is one of waiting for players.
            const auto* stage = eventAs<TableSettings>(parsed);
            return onTableSettings(stage ? stage->fields : QStringList{QString()});
        }
        case code::kHandUp:
            if (const auto* hand = eventAs<HandsUp>(parsed)) onHand(*hand);
            return;
        case code::kSnapshot:
            return onSnapshot(parsed);
        case code::kGameStart:
            if (const auto* start = eventAs<GameStart>(parsed)) onGameStart(*start);
            return;
        case code::kRaiseHand:
            if (const auto* hand = eventAs<Ready>(parsed)) onRaisedHand(hand->seat);
            return;
        case code::kMove:
            if (const auto* echo = eventAs<MoveEcho>(parsed)) onEcho(*echo);
            return;
        case code::kUndo:
        case code::kDraw:
        case code::kLoad:
            if (const auto* n = eventAs<Negotiation>(parsed)) onRequest(n->code, n->step, n->seat);
            return;
        case code::kNotice:
            return onNotice();
        case code::kGameEnd:  // even one too short to read: the game is over
            return onGameEnd();
        default:
            return;
    }
}

void BotPlayer::onList(const QStringList& rows) {
    for (const QString& row : rows) {
        const QStringList f = row.split(u'`');
        if (f.size() != kRowFields || !f[4].trimmed().isEmpty()) continue;
        const QString& chair = f[13];
        if (chair != u"0" && chair != u"1") continue;
        if (f[0] == config_.options.name) {
            seat_ = chair.toInt();
            face_ = f[12].toInt();
        } else {
            other_ = f[0];
        }
    }
}

void BotPlayer::onArrival(const QString& row) {
    const QStringList f = row.split(u'`');
    if (f.size() == kRowFields && f[4].trimmed().isEmpty() && f[0] != config_.options.name)
        other_ = f[0];
}

void BotPlayer::onLeft(const QString& name) {
    if (name.isEmpty() || name != other_) return;
    // The person who owned the table is gone: so is the bot, until someone sits down again.
    other_.clear();
    ++epoch_;
    leave();
}

void BotPlayer::onTableSettings(const QStringList& f) {
    ++epoch_;
    handUp_ = false;
    game_.stop();
    if (f.size() <= 5) {
        phase_ = Phase::Waiting;
        termsSeen_ = false;
        if (!other_.isEmpty()) scheduleHand();
        return;
    }
    phase_ = Phase::Settings;
    // Field 6: the owner has already set the terms, which follow from field 7.
    if (f.size() > 7 && f[6] == u"1") agreeToTerms();
}

void BotPlayer::agreeToTerms() {
    later(config_.timing.replyMs, [this] {
        if (phase_ != Phase::Settings || handUp_) return;
        handUp_ = true;
        send(tablemsg::encode(tablemsg::HandUp{config_.options.name}));
    });
}

void BotPlayer::onHand(const tablemsg::HandsUp& hand) {
    if (hand.name.isEmpty()) return;
    if (hand.name == config_.options.name) {
        handUp_ = true;
        return;
    }
    // The owner's hand with the terms: agree to them, after a moment's reading.
    if (hand.terms && phase_ == Phase::Settings) agreeToTerms();
}

void BotPlayer::onSnapshot(const tablemsg::ParsedEvent& parsed) {
    const auto* waiting = tablemsg::eventAs<tablemsg::WaitingSnapshot>(parsed);
    const auto* running = tablemsg::eventAs<tablemsg::RunningSnapshot>(parsed);
    if (!waiting && !running) return;
    ++epoch_;
    ++ticket_;
    if (waiting) {
        if (waiting->arrived < tablemsg::WaitingSnapshot::kFields) return;
        phase_ = Phase::BetweenGames;
        termsSeen_ = true;
        game_.stop();
        const std::size_t mine = seat_ == 0 ? 0 : 1;
        handUp_ = waiting->handsUp[mine];
        if (waiting->handsUp[mine ^ 1] && !handUp_) scheduleHand();
        return;
    }
    if (!game_.resume(*running)) {
        // 10 + a seat: a record is on its way.
        phase_ = running->arrived > 1 && running->gameState >= 10 ? Phase::Loading : phase_;
        return;
    }
    phase_ = Phase::Playing;
    termsSeen_ = true;
    handUp_ = false;
    policy_.newGame();
    newGame_ = true;
    if (myTurn()) beginTurn();
}

void BotPlayer::onGameStart(const tablemsg::GameStart& start) {
    if (!game_.start(start)) return;
    ++epoch_;
    ++ticket_;
    phase_ = Phase::Playing;
    termsSeen_ = true;
    handUp_ = false;
    sent_.reset();
    policy_.newGame();
    newGame_ = true;
    greet();
    if (myTurn()) beginTurn();
}

void BotPlayer::onRaisedHand(int seat) {
    if (seat == seat_) {
        handUp_ = true;
        return;
    }
    // Ready when the other player is: raising first would shut out a record load he may want.
    if (seat == (seat_ ^ 1) && phase_ == Phase::BetweenGames && !handUp_) scheduleHand();
}

void BotPlayer::onEcho(const tablemsg::MoveEcho& echo) {
    if (phase_ != Phase::Playing || !game_.applyEcho(echo)) return;
    if (echo.seat == seat_) {
        sent_.reset();
        refused_.clear();
        return;
    }
    if (myTurn()) beginTurn();
}

void BotPlayer::onRequest(std::uint8_t c, std::uint8_t sub, int seat) {
    const bool fromOther = seat == (seat_ ^ 1);
    if (sub == code::kAsk && fromOther) {
        if (c == code::kUndo && phase_ == Phase::Playing) {
            const bool agree = policy_.agreeToUndo();
            later(config_.timing.replyMs, [this, agree] { answer(code::kUndo, agree); });
        } else if (c == code::kDraw && phase_ == Phase::Playing) {
            assessDraw();
        } else if (c == code::kLoad) {
            later(config_.timing.replyMs, [this] { answer(code::kLoad, true); });
        }
        return;
    }
    if (c == code::kUndo && sub == code::kAgree) {
        game_.undoTwo();
        if (myTurn()) beginTurn();
    } else if (c == code::kLoad && sub == code::kAgree) {
        ++epoch_;
        phase_ = Phase::Loading;
    } else if (c == code::kLoad && sub == code::kLoadFailed) {
        ++epoch_;
        handUp_ = false;
        game_.stop();
        phase_ = termsSeen_ ? Phase::BetweenGames : Phase::Waiting;
        if (phase_ == Phase::Waiting && !other_.isEmpty()) scheduleHand();
    }
}

void BotPlayer::onNotice() {
    // A refused move: play another one instead, never the same again this turn.
    if (!sent_ || !myTurn()) return;
    refused_.push_back(*sent_);
    sent_.reset();
    if (refused_.size() >= kMaxRefusedMoves) return resign();
    requestMove();
}

void BotPlayer::onGameEnd() {
    ++epoch_;
    ++ticket_;
    mover_->cancel();
    phase_ = Phase::BetweenGames;
    handUp_ = false;
    sent_.reset();
    game_.stop();
}

// ---- Messages out ----

void BotPlayer::send(const Cmd& m) {
    if (conn_) server_.submit(*conn_, m);
}

void BotPlayer::later(int ms, std::function<void()> action) {
    QTimer::singleShot(std::max(0, ms), this, [this, epoch = epoch_, action = std::move(action)] {
        if (epoch == epoch_ && conn_) action();
    });
}

void BotPlayer::scheduleHand() {
    later(config_.timing.replyMs, [this] {
        if (handUp_) return;
        if (phase_ == Phase::Waiting && !other_.isEmpty()) {
            handUp_ = true;
            send(tablemsg::encode(tablemsg::HandUp{config_.options.name}));
        } else if (phase_ == Phase::BetweenGames) {
            handUp_ = true;
            send(tablemsg::encode(tablemsg::RaiseHand{static_cast<std::uint8_t>(seat_)}));
        }
    });
}

void BotPlayer::answer(std::uint8_t c, bool agree) {
    send(tablemsg::encode(tablemsg::Answer{static_cast<tablemsg::Topic>(c), agree,
                                           static_cast<std::uint8_t>(seat_)}));
}

void BotPlayer::resign() {
    ++ticket_;
    send(tablemsg::encode(tablemsg::Resign{static_cast<std::uint8_t>(seat_), false}));
}

void BotPlayer::greet() {
    if (greeted_) return;
    greeted_ = true;
    const QString& me = config_.options.name;
    const QString everybody = QStringLiteral("所有人");
    const QString text =
        QStringLiteral("你好！我是 %1 级的电脑棋手，请多指教。").arg(config_.options.level);
    const QStringList fields = {me,
                                everybody,
                                me,
                                everybody,
                                QTime::currentTime().toString(QStringLiteral("hh:mm:ss")),
                                text,
                                QStringLiteral("#0000FF"),
                                QString::number(face_),
                                QStringLiteral("0"),
                                QString()};
    send(tablemsg::encode(tablemsg::Chat{fields}));
}

// ---- Thinking ----

bool BotPlayer::myTurn() const {
    return phase_ == Phase::Playing && game_.running() && game_.toMove() == seat_;
}

void BotPlayer::beginTurn() {
    turnStartMs_ = handlingSinceMs_;
    refused_.clear();
    sent_.reset();
    requestMove();
}

void BotPlayer::requestMove() {
    const int t = ++ticket_;
    budget_ = engine::planMove(game_.clockOf(seat_), profile_.capMs);
    const int spent = static_cast<int>(turnElapsed());
    SearchJob job;
    job.moves = game_.moves();
    job.profile = profile_;
    job.budget = {std::max(0, budget_.softMs - spent), std::max(0, budget_.hardMs - spent),
                  std::max(0, budget_.latestMs - spent)};
    job.excluded = refused_;
    job.newGame = std::exchange(newGame_, false);
    mover_->start(std::move(job), [this, t](const engine::Choice& c) { onMoveChosen(t, c); });
}

void BotPlayer::onMoveChosen(int t, const engine::Choice& choice) {
    if (t != ticket_ || !myTurn()) return;
    // No move to play here means the bot's picture of the game is wrong: give up the game.
    if (!choice.hasMove || policy_.resignAfter(choice.score)) return resign();
    const qint64 wait = std::min(config_.timing.minThinkMs, budget_.latestMs) - turnElapsed();
    if (wait <= 0) return playMove(t, choice.move);
    QTimer::singleShot(static_cast<int>(wait), this,
                       [this, t, m = choice.move] { playMove(t, m); });
}

void BotPlayer::playMove(int t, Move m) {
    if (t != ticket_ || !myTurn()) return;
    const Position& pos = game_.position();
    const engine::ClockState clock = game_.clockOf(seat_);
    const auto bank = GameClock::triple(
        clock.bankUsedSeconds + engine::chargedSeconds(turnElapsed(), clock.stepAllowanceSeconds));
    sent_ = m;
    send(tablemsg::encode(tablemsg::Move{static_cast<std::uint8_t>(seat_), Packed(m.from),
                                         pos.at(m.from), Packed(m.to), pos.at(m.to), bank}));
}

void BotPlayer::assessDraw() {
    const int t = ++ticket_;
    engine::LevelProfile judge = engine::profileForLevel(engine::kMaxLevel - 1);
    SearchJob job;
    job.moves = game_.moves();
    job.profile = judge;
    job.budget = {250, 400, 400};
    QElapsedTimer asked;
    asked.start();
    mover_->start(std::move(job), [this, t, asked](const engine::Choice& c) {
        if (t != ticket_ || phase_ != Phase::Playing) return;
        // The score is for the side to move, the one who offered: the bot's is the opposite.
        const engine::SearchBoard board(game_.position());
        const bool agree = policy_.acceptDraw(-c.score, engine::isDeadDrawn(board));
        later(config_.timing.replyMs - static_cast<int>(asked.elapsed()),
              [this, agree] { answer(code::kDraw, agree); });
    });
}

}  // namespace xq::server
