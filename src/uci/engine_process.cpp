#include "uci/engine_process.h"

#include <algorithm>

#include "rules/allowed_moves.h"
#include "rules/fen.h"
#include "rules/movegen.h"

namespace xq::uci {
namespace {

// A line longer than this is no UCI; an engine that writes one is broken.
constexpr int kLongestLine = 64 * 1024;
constexpr qint64 kRestartWindowMs = 60'000;

// The position after the moves, or nothing when one of them could not be played there (as a
// game's record may hold them: see allowed_moves.h).
std::optional<Position> positionAfter(const SearchRequest& r) {
    Position p = r.start;
    for (const Move m : r.moves) {
        if (!isAllowedMove(p, m)) return std::nullopt;
        p.makeMove(m);
    }
    return p;
}

// A move an engine names: one of the legal moves of the position, no other.
bool legal(Position& p, Move m) {
    MoveList moves;
    generateLegalMoves(p, moves);
    return std::find(moves.begin(), moves.end(), m) != moves.end();
}

bool hasLegalMove(Position p) {
    MoveList moves;
    generateLegalMoves(p, moves);
    return moves.size() > 0;
}

long long clamped(long long v, const OptionDecl& o) {
    if (o.min) v = std::max(v, *o.min);
    if (o.max) v = std::min(v, *o.max);
    return v;
}

}  // namespace

EngineProcess::EngineProcess(QObject* parent) : EngineProcess(Limits{}, parent) {}

EngineProcess::EngineProcess(Limits limits, QObject* parent)
    : QObject(parent), limits_(limits), process_(this), watchdog_(this) {
    clock_.start();
    watchdog_.setSingleShot(true);
    // What an engine says on its error channel is of no use here, and must not pile up.
    process_.setStandardErrorFile(QProcess::nullDevice());
    connect(&process_, &QProcess::readyReadStandardOutput, this, &EngineProcess::onOutput);
    connect(&process_, &QProcess::finished, this, &EngineProcess::onFinished);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && !shuttingDown_)
            fail(Trouble::CannotStart, process_.errorString());
    });
    connect(&watchdog_, &QTimer::timeout, this, &EngineProcess::onTimeout);
}

EngineProcess::~EngineProcess() {
    shutDown();
}

void EngineProcess::start(const QString& program, const QStringList& arguments) {
    program_ = program;
    arguments_ = arguments;
    shuttingDown_ = false;
    restartTimes_.clear();
    launch();
}

void EngineProcess::shutDown() {
    shuttingDown_ = true;
    watchdog_.stop();
    current_.reset();
    next_.reset();
    if (process_.state() != QProcess::NotRunning) {
        process_.write("quit\n");
        if (!process_.waitForFinished(500)) {
            process_.kill();
            process_.waitForFinished(500);
        }
    }
    if (state_ != State::GivenUp) state_ = State::NotRunning;
}

bool EngineProcess::offers(const QString& option) const {
    const std::string name = option.toStdString();
    return std::any_of(options_.begin(), options_.end(),
                       [&](const OptionDecl& o) { return o.name == name; });
}

void EngineProcess::launch() {
    state_ = State::Starting;
    failed_ = false;
    abandoned_ = false;
    handshakeDone_ = false;
    settingsSent_ = false;
    pendingOutput_.clear();
    options_.clear();
    garbage_ = 0;
    base_ = RankBase::Zero;
    process_.start(program_, arguments_);
    // A program that cannot start is told through errorOccurred.
    if (process_.state() == QProcess::NotRunning && state_ != State::Starting) return;
    send("uci");
    arm(limits_.handshakeMs);
}

void EngineProcess::send(const QByteArray& line) {
    if (process_.state() == QProcess::NotRunning) return;
    process_.write(line + '\n');
}

void EngineProcess::arm(int ms) {
    watchdog_.start(std::max(1, ms));
}

void EngineProcess::setSettings(const EngineSettings& settings) {
    if (settings == settings_ && settingsSent_) return;
    settings_ = settings;
    settingsSent_ = false;
    if (state_ == State::Ready) applySettings();
}

void EngineProcess::applySettings() {
    for (const OptionDecl& o : options_) {
        std::optional<long long> value;
        if (o.name == "Threads")
            value = settings_.threads;
        else if (o.name == "Hash")
            value = settings_.hashMb;
        else if (o.name == "MultiPV")
            value = settings_.multiPv;
        else if (o.name == "Skill Level" && settings_.skill)
            value = *settings_.skill;
        if (!value || o.type != "spin") continue;
        send(QByteArray("setoption name ") + QByteArray::fromStdString(o.name) + " value " +
             QByteArray::number(clamped(*value, o)));
    }
    settingsSent_ = true;
}

bool EngineProcess::search(const SearchRequest& request) {
    if (state_ == State::GivenUp || state_ == State::NotRunning) return false;
    const auto after = positionAfter(request);
    if (!after) return false;
    if (!hasLegalMove(*after)) {
        // Nothing to search: told at once, as a search would tell it, and anything under way
        // is stopped, and heard no more.
        next_.reset();
        if (state_ == State::Searching) abandoned_ = true;
        current_.reset();
        stopSearch();
        QTimer::singleShot(0, this, [this] { emit bestMove(std::nullopt); });
        return true;
    }
    if (state_ == State::Ready) {
        begin(request);
        return true;
    }
    next_ = request;
    if (state_ == State::Searching && !stopSent_) {
        send("stop");
        stopSent_ = true;
        arm(limits_.graceMs);
    }
    return true;
}

void EngineProcess::stopSearch() {
    next_.reset();
    if (state_ == State::Searching && !stopSent_) {
        send("stop");
        stopSent_ = true;
        arm(limits_.graceMs);
    }
}

void EngineProcess::begin(const SearchRequest& request) {
    const auto after = positionAfter(request);
    if (!after) return;  // checked by search(); kept for safety
    if (!settingsSent_) applySettings();
    current_ = request;
    searched_ = *after;
    stopSent_ = false;
    abandoned_ = false;
    QByteArray position =
        "position fen " + QByteArray::fromStdString(toFen(request.start)) + " - - 0 1";
    if (!request.moves.empty()) {
        position += " moves";
        for (const Move m : request.moves)
            position += ' ' + QByteArray::fromStdString(moveText(m, base_));
    }
    if (request.newGame) send("ucinewgame");
    send(position);
    const int amount = std::max(1, request.amount);
    QByteArray go;
    switch (request.limit) {
        case SearchRequest::Limit::MoveTime:
            go = "go movetime " + QByteArray::number(amount);
            arm(amount + limits_.graceMs);
            break;
        case SearchRequest::Limit::Depth:
            go = "go depth " + QByteArray::number(amount);
            arm(limits_.silenceMs);
            break;
        case SearchRequest::Limit::Infinite:
            go = "go infinite";
            arm(limits_.silenceMs);
            break;
    }
    if (!request.onlyMoves.empty()) {
        go += " searchmoves";
        for (const Move m : request.onlyMoves)
            go += ' ' + QByteArray::fromStdString(moveText(m, base_));
    }
    send(go);
    state_ = State::Searching;
}

void EngineProcess::onOutput() {
    // An engine being ended (or told to quit while its owner is being destroyed, waiting for
    // it to go) has nothing more to say to anybody.
    if (failed_ || shuttingDown_) {
        process_.readAllStandardOutput();
        return;
    }
    pendingOutput_ += process_.readAllStandardOutput();
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = pendingOutput_.indexOf('\n', start);
        if (end < 0) break;
        const QByteArray line = pendingOutput_.mid(start, end - start);
        start = end + 1;
        onLine(line);
        // A line may have ended the engine (garbage, a restart): what it wrote after is void.
        if (failed_ || state_ == State::GivenUp || state_ == State::NotRunning) return;
    }
    pendingOutput_.remove(0, start);
    if (pendingOutput_.size() > kLongestLine)
        fail(Trouble::Garbage, QStringLiteral("a line of more than %1 bytes").arg(kLongestLine));
}

void EngineProcess::onLine(const QByteArray& raw) {
    const Line line = parseLine(std::string_view(raw.constData(), std::size_t(raw.size())));
    if (std::holds_alternative<Other>(line)) {
        if (++garbage_ > limits_.garbageLines)
            fail(Trouble::Garbage, QStringLiteral("%1 lines that mean nothing").arg(garbage_));
        return;
    }
    garbage_ = 0;
    if (state_ == State::Starting) {
        if (const auto* id = std::get_if<IdLine>(&line)) {
            if (id->key == "name") name_ = QString::fromStdString(id->value);
        } else if (const auto* o = std::get_if<OptionDecl>(&line)) {
            if (options_.size() < 512) options_.push_back(*o);
        } else if (std::holds_alternative<UciOk>(line) && !handshakeDone_) {
            handshakeDone_ = true;
            // An engine of many variants is told which one; it then names ranks from 1.
            for (const OptionDecl& o : options_) {
                if (o.name == "UCI_Variant" &&
                    std::find(o.vars.begin(), o.vars.end(), "xiangqi") != o.vars.end()) {
                    base_ = RankBase::One;
                    send("setoption name UCI_Variant value xiangqi");
                }
            }
            applySettings();
            send("isready");
            arm(limits_.handshakeMs);
        } else if (std::holds_alternative<ReadyOk>(line) && handshakeDone_) {
            watchdog_.stop();
            state_ = State::Ready;
            emit ready();
            // A search that was under way when the engine failed, or asked for meanwhile.
            if (next_) {
                const SearchRequest r = *std::exchange(next_, std::nullopt);
                begin(r);
            } else if (current_) {
                begin(*current_);
            }
        }
        return;
    }
    if (state_ != State::Searching) return;
    if (const auto* info = std::get_if<Info>(&line)) {
        if (current_ && current_->limit != SearchRequest::Limit::MoveTime && !stopSent_)
            arm(limits_.silenceMs);
        if (next_ || abandoned_) return;  // of a search that is being replaced or dropped
        if (auto checked = checkedLine(*info)) emit thinking(*checked);
    } else if (const auto* best = std::get_if<BestMove>(&line)) {
        finishSearch(*best);
    }
}

std::optional<SearchLine> EngineProcess::checkedLine(const Info& info) const {
    // Progress lines and "info string" say nothing about the position; a score without a
    // variation does ("info depth 0 score mate 0" for a side that is mated).
    if (!info.depth || (!info.score && info.pv.empty())) return std::nullopt;
    SearchLine out;
    out.multiPv = info.multiPv.value_or(1);
    out.depth = *info.depth;
    out.selDepth = info.selDepth;
    out.score = info.score;
    out.nodes = info.nodes.value_or(0);
    out.nps = info.nps.value_or(0);
    out.timeMs = info.timeMs.value_or(0);
    Position p = searched_;
    for (const std::string& text : info.pv) {
        const auto m = parseMove(text, base_);
        if (!m || !legal(p, *m)) break;
        out.pv.push_back(*m);
        p.makeMove(*m);
    }
    if (out.pv.empty() && !out.score) return std::nullopt;
    return out;
}

void EngineProcess::finishSearch(const BestMove& best) {
    watchdog_.stop();
    state_ = State::Ready;
    const std::vector<Move> only = current_ ? current_->onlyMoves : std::vector<Move>{};
    current_.reset();
    if (next_) {
        const SearchRequest r = *std::exchange(next_, std::nullopt);
        begin(r);
        return;
    }
    if (std::exchange(abandoned_, false)) return;
    if (best.move.empty()) {
        emit bestMove(std::nullopt);
        return;
    }
    const auto m = parseMove(best.move, base_);
    Position p = searched_;
    const bool allowed =
        only.empty() || (m && std::find(only.begin(), only.end(), *m) != only.end());
    if (!m || !legal(p, *m) || !allowed) {
        emit trouble(Trouble::IllegalMove,
                     QStringLiteral("the engine plays %1, which is no legal move here")
                         .arg(QString::fromStdString(best.move)));
        emit bestMove(std::nullopt);
        return;
    }
    emit bestMove(*m);
}

void EngineProcess::onTimeout() {
    if (failed_) return;
    if (state_ == State::Starting) {
        fail(Trouble::NoHandshake, handshakeDone_ ? QStringLiteral("no readyok in time")
                                                  : QStringLiteral("no uciok in time"));
        return;
    }
    if (state_ != State::Searching) return;
    if (!stopSent_ && current_ && current_->limit == SearchRequest::Limit::MoveTime) {
        // Over its time: asked once to stop before it counts as hung.
        send("stop");
        stopSent_ = true;
        arm(limits_.graceMs);
        return;
    }
    fail(Trouble::Hung, stopSent_ ? QStringLiteral("no bestmove after stop")
                                  : QStringLiteral("silent while searching"));
}

void EngineProcess::onFinished() {
    if (shuttingDown_ || failed_ || state_ == State::GivenUp || state_ == State::NotRunning) return;
    fail(Trouble::Died, QStringLiteral("the engine ended (exit code %1)").arg(process_.exitCode()));
}

void EngineProcess::fail(Trouble what, const QString& detail) {
    if (failed_) return;  // already on its way out (killing it may bring its last words here)
    failed_ = true;
    watchdog_.stop();
    state_ = State::NotRunning;
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(1000);
    }
    pendingOutput_.clear();
    emit trouble(what, detail);
    if (shuttingDown_) return;
    // The search under way (or the one asked for) is given to the engine again after the restart.
    const qint64 now = clock_.elapsed();
    std::erase_if(restartTimes_, [now](qint64 t) { return now - t > kRestartWindowMs; });
    if (what == Trouble::CannotStart ||
        static_cast<int>(restartTimes_.size()) >= limits_.restarts) {
        state_ = State::GivenUp;
        current_.reset();
        next_.reset();
        emit gaveUp();
        return;
    }
    restartTimes_.push_back(now);
    // Searches asked for meanwhile wait for the engine as at a first start.
    state_ = State::Starting;
    QTimer::singleShot(0, this, [this] {
        if (!shuttingDown_ && failed_ && state_ == State::Starting) launch();
    });
}

}  // namespace xq::uci
