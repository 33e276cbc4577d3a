#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <vector>

#include "rules/position.h"
#include "uci/uci_line.h"
#include "uci/uci_move.h"

namespace xq::uci {

struct EngineSettings {
    int threads = 1;
    int hashMb = 64;
    int multiPv = 1;
    std::optional<int> skill;  // the engine's "Skill Level", kept within what it offers

    bool operator==(const EngineSettings&) const = default;
};

struct SearchRequest {
    Position start = Position::Initial();
    std::vector<Move> moves;  // played from `start`; the search is of the position after them
    enum class Limit { MoveTime, Depth, Infinite };
    Limit limit = Limit::MoveTime;
    int amount = 1000;            // milliseconds or plies
    std::vector<Move> onlyMoves;  // the moves to choose among; empty: every legal move
    bool newGame = false;         // the engine forgets what it learnt in earlier games first
};

// One line of the engine's thinking. The moves are those of its principal variation that are
// legal, in order, from the searched position (an engine's text is never taken on trust); a
// line may have a score and no move.
struct SearchLine {
    int multiPv = 1;
    int depth = 0;
    std::optional<int> selDepth;
    std::optional<Score> score;  // from the side to move
    long long nodes = 0, nps = 0, timeMs = 0;
    std::vector<Move> pv;
};

// A UCI engine in a process of its own: started, told its options, given positions to search,
// and listened to. An engine that does not start, dies, stops answering or writes garbage is
// told as trouble and started again (a search under way is given to it again once); one that
// keeps failing is given up. Nothing here waits: every answer comes as a signal.
class EngineProcess : public QObject {
    Q_OBJECT
public:
    enum class State { NotRunning, Starting, Ready, Searching, GivenUp };
    enum class Trouble { CannotStart, NoHandshake, Died, Hung, Garbage, IllegalMove };

    // Time limits, in milliseconds; tests make them short.
    struct Limits {
        int handshakeMs = 10'000;  // for uciok, and then for readyok
        int graceMs = 3'000;       // after a timed search should have ended, or after stop
        int silenceMs = 30'000;    // the longest quiet a search without end may have
        int restarts = 3;          // within a minute, before it is given up
        int garbageLines = 500;    // lines in a row that mean nothing
    };

    explicit EngineProcess(QObject* parent = nullptr);
    EngineProcess(Limits limits, QObject* parent = nullptr);
    // Tells the engine to quit; kills it if it does not within half a second.
    ~EngineProcess() override;

    void start(const QString& program, const QStringList& arguments = {});
    // Applied at once when the engine is idle, else before its next search, and after restarts.
    void setSettings(const EngineSettings& settings);
    // Searches; a search under way is stopped first and its result dropped. A position without
    // a legal move is not given to the engine: bestMove(nothing) comes at once. False when the
    // moves do not follow from `start`, or the engine is given up.
    bool search(const SearchRequest& request);
    // Ends the search under way; its best move comes as bestMove.
    void stopSearch();
    // Stops the engine for good (no more restarts).
    void shutDown();

    State state() const { return state_; }
    QString engineName() const { return name_; }
    RankBase rankBase() const { return base_; }
    bool offers(const QString& option) const;

signals:
    // The engine is started and answered (also after a restart).
    void ready();
    void thinking(const xq::uci::SearchLine& line);
    // The search ended: the move the engine plays, checked; nothing when it has none.
    void bestMove(std::optional<xq::Move> move);
    // Something went wrong (`detail` says what, for a log); a restart follows when allowed.
    void trouble(xq::uci::EngineProcess::Trouble what, const QString& detail);
    void gaveUp();

private:
    void launch();
    void onOutput();
    void onLine(const QByteArray& line);
    void onFinished();
    void onTimeout();
    void fail(Trouble what, const QString& detail);
    void send(const QByteArray& line);
    void applySettings();
    void begin(const SearchRequest& request);
    void finishSearch(const BestMove& best);
    std::optional<SearchLine> checkedLine(const Info& info) const;
    void arm(int ms);

    Limits limits_;
    QProcess process_;
    QTimer watchdog_;
    QString program_;
    QStringList arguments_;
    State state_ = State::NotRunning;
    bool handshakeDone_ = false;  // uciok seen; readyok is awaited next
    bool shuttingDown_ = false;
    bool failed_ = false;  // killed after trouble; the restart is on its way
    QByteArray pendingOutput_;
    QString name_;
    RankBase base_ = RankBase::Zero;
    std::vector<OptionDecl> options_;
    EngineSettings settings_;
    bool settingsSent_ = false;
    int garbage_ = 0;
    std::vector<qint64> restartTimes_;
    QElapsedTimer clock_;

    // The search under way and the one to begin once it has stopped.
    std::optional<SearchRequest> current_;
    Position searched_;  // the position of current_
    std::optional<SearchRequest> next_;
    bool stopSent_ = false;
    // The search under way belongs to a position that is no longer asked about: what it still
    // says, its best move included, is dropped.
    bool abandoned_ = false;
};

}  // namespace xq::uci
