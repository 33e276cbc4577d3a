#pragma once

namespace xq::server {

// When the bot says yes: to taking back moves, to a draw, and when it gives up. Scores are the
// engine's, from the bot's side.
struct BotPolicyConfig {
    int undosPerGame = 3;
    // A draw is welcome when the bot stands at least this badly.
    int drawBelow = -150;
    // The bot resigns after this many moves in a row scored at or below resignBelow.
    int resignBelow = -1200;
    int resignAfterMoves = 3;
};

class BotPolicy {
public:
    explicit BotPolicy(BotPolicyConfig config = {}) : config_(config) {}

    void newGame();
    // Answers an undo request and counts it: a friendly opponent, up to a point.
    bool agreeToUndo();
    bool acceptDraw(int score, bool deadDrawn) const;
    // Called with the score of every move the bot is about to play: true to resign instead.
    // A mate found against the bot is reason enough at once.
    bool resignAfter(int score);

private:
    BotPolicyConfig config_;
    int undos_ = 0;
    int badMoves_ = 0;
};

}  // namespace xq::server
