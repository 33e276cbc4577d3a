// A scripted UCI engine for the engine process's tests. It knows no xiangqi: it answers every
// search with the moves it is told to, in the coordinate style it is told to, and misbehaves on
// request.
//   fake_uci [--fairy] [--best MOVE] [--pv "M1 M2"] [--log FILE] [--die-on-go N] [--hang]
//            [--garbage] [--no-uciok] [--think-ms MS] [--scores "S1,S2,..."]
// With --scores the Nth timed search of a run reports the Nth score (centipawns), round again.

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Script {
    bool fairy = false;
    std::string best;
    std::string pv;
    std::string log;
    int dieOnGo = 0;  // the Nth go (counted over the whole run) ends the program
    bool hang = false;
    bool garbage = false;
    bool noUciOk = false;
    int thinkMs = 0;  // of a timed search, before the best move
    std::vector<std::string> scores;
};

void say(const std::string& line) {
    std::cout << line << '\n' << std::flush;
}

// A line from standard input within `ms` (negative: wait for ever); false at its end or time out.
bool readLine(std::string& line, int ms, bool& ended) {
    line.clear();
    for (;;) {
        pollfd p{0, POLLIN, 0};
        const int ready = ::poll(&p, 1, ms);
        if (ready <= 0) return false;
        char c = 0;
        const ssize_t n = ::read(0, &c, 1);
        if (n <= 0) {
            ended = true;
            return false;
        }
        if (c == '\n') return true;
        line += c;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Script s;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (a == "--fairy")
            s.fairy = true;
        else if (a == "--best")
            s.best = value();
        else if (a == "--pv")
            s.pv = value();
        else if (a == "--log")
            s.log = value();
        else if (a == "--die-on-go")
            s.dieOnGo = std::atoi(value().c_str());
        else if (a == "--hang")
            s.hang = true;
        else if (a == "--garbage")
            s.garbage = true;
        else if (a == "--no-uciok")
            s.noUciOk = true;
        else if (a == "--think-ms")
            s.thinkMs = std::atoi(value().c_str());
        else if (a == "--scores") {
            const std::string list = value();
            std::size_t at = 0;
            while (at <= list.size()) {
                const std::size_t comma = std::min(list.find(',', at), list.size());
                s.scores.push_back(list.substr(at, comma - at));
                at = comma + 1;
            }
        }
    }
    if (s.best.empty()) s.best = s.fairy ? "h3e3" : "h2e2";
    if (s.pv.empty()) s.pv = s.fairy ? "h3e3 h10g8" : "h2e2 h9g7";
    std::ofstream log;
    if (!s.log.empty()) log.open(s.log, std::ios::app);
    // Every run counts its searches in the log's sibling, so that a restarted engine goes on.
    const std::string counter = s.log.empty() ? std::string() : s.log + ".goes";
    int goes = 0;
    if (!counter.empty()) {
        std::ifstream in(counter);
        in >> goes;
    }
    say(s.fairy ? "Fake-Stockfish by nobody" : "Fake xiangqi engine");
    std::string line;
    bool ended = false;
    int timed = 0;
    while (!ended) {
        if (!readLine(line, -1, ended)) continue;
        if (log) log << line << std::endl;
        if (line == "uci") {
            say(s.fairy ? "id name Fake-Stockfish" : "id name Fake Pikafish");
            say("id author nobody");
            if (s.fairy)
                say("option name UCI_Variant type combo default chess var chess var xiangqi var "
                    "shogi");
            say("option name Threads type spin default 1 min 1 max 8");
            say("option name Hash type spin default 16 min 1 max 128");
            say("option name MultiPV type spin default 1 min 1 max 5");
            say("option name Skill Level type spin default 20 min -20 max 20");
            if (s.garbage) {
                for (;;)
                    say("#$%&!garbage!");
            }
            if (!s.noUciOk) say("uciok");
        } else if (line == "isready") {
            say("readyok");
        } else if (line.rfind("go", 0) == 0) {
            ++goes;
            if (!counter.empty()) std::ofstream(counter) << goes;
            if (goes == s.dieOnGo) return 3;
            if (s.hang) continue;
            const bool infinite = line.find("infinite") != std::string::npos;
            if (infinite) {
                // Thinks aloud until told to stop.
                int depth = 1;
                bool stopped = false;
                while (!stopped && !ended) {
                    say("info depth " + std::to_string(depth++) +
                        " score cp 31 nodes 1000 nps 100000 time 10 pv " + s.pv);
                    std::string in;
                    if (readLine(in, 50, ended)) {
                        if (log) log << in << std::endl;
                        stopped = in == "stop";
                    }
                }
            } else if (!s.scores.empty()) {
                say("info depth 3 score cp " +
                    s.scores[static_cast<std::size_t>(timed++) % s.scores.size()] +
                    " nodes 10 pv " + s.pv);
            } else {
                say("info depth 1 seldepth 2 multipv 1 score cp 20 nodes 100 nps 1000 time 1 pv " +
                    s.pv);
                say("info string thinking");
                say("info depth 2 multipv 1 score mate 3 upperbound nodes 200 pv " + s.pv);
                if (s.thinkMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(s.thinkMs));
            }
            say("bestmove " + s.best + " ponder " + s.pv.substr(s.pv.find(' ') + 1));
        } else if (line == "quit") {
            return 0;
        }
    }
    return 0;
}
