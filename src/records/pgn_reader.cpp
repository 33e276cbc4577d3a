#include "records/pgn_reader.h"

#include <QRegularExpression>
#include <algorithm>

#include "rules/allowed_moves.h"
#include "rules/chinese_move.h"
#include "rules/fen.h"
#include "rules/iccs.h"
#include "rules/wxf_move.h"

namespace xq {
namespace {

// Far more half-moves than any game; a longer list is not a game record.
constexpr long kMaxPlies = 10000;

bool isResult(const QString& word) {
    return word == u"1-0" || word == u"0-1" || word == u"1/2-1/2" || word == u"*";
}

// Where a word of the moves ends: at a blank or where a comment, variation or tag begins.
bool endsWord(QChar c) {
    return c.isSpace() || c == u'{' || c == u';' || c == u'(' || c == u')' || c == u'[';
}

class Reader {
public:
    Reader(const QString& text, GameRecord& game, PgnError* error)
        : text_(text), game_(game), error_(error) {}

    bool run();

private:
    bool fail(PgnError::Fault fault, int line, const QString& what, const QString& reason = {});
    bool skipTo(QChar close, int depth);
    bool readTag();
    bool readWord(const QString& word, int line);
    bool playWord(const QString& word, int line);

    const QString& text_;
    GameRecord& game_;
    PgnError* error_;
    Position pos_ = Position::Initial();
    qsizetype i_ = 0;
    int line_ = 1;
    bool inMoves_ = false;
    bool done_ = false;
    bool anything_ = false;
};

bool Reader::fail(PgnError::Fault fault, int line, const QString& what, const QString& reason) {
    if (error_ != nullptr) *error_ = PgnError{fault, line, what, reason, {}};
    return false;
}

// Passes over a comment "{...}" or a variation "(...)", variations nested and holding comments.
bool Reader::skipTo(QChar close, int depth) {
    const int opened = line_;
    const QChar open = text_[i_];
    ++i_;
    while (i_ < text_.size()) {
        const QChar c = text_[i_];
        if (c == u'\n') ++line_;
        if (close == u')' && c == u'{') {
            if (!skipTo(u'}', depth)) return false;
            continue;
        }
        ++i_;
        if (c == close && --depth == 0) return true;
        if (close == u')' && c == u'(') ++depth;
    }
    return fail(PgnError::Unclosed, opened, QString(open));
}

bool Reader::readTag() {
    static const QRegularExpression tag(
        QStringLiteral(R"re(\[\s*([A-Za-z0-9_]+)\s+"((?:[^"\\\n]|\\.)*)"\s*\])re"));
    const auto match = tag.match(text_, i_, QRegularExpression::NormalMatch,
                                 QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch()) {
        const qsizetype end = text_.indexOf(u'\n', i_);
        return fail(PgnError::BadTag, line_, text_.mid(i_, end < 0 ? -1 : end - i_).trimmed());
    }
    i_ = match.capturedEnd();
    QString value = match.captured(2);
    value.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    const QString name = match.captured(1);
    game_.tags.append({name, value});
    anything_ = true;
    if (name.compare(u"FEN", Qt::CaseInsensitive) == 0) {
        FenFault why;
        const auto start = parseFen(value.toStdString(), &why);
        if (!start) {
            fail(PgnError::BadFen, line_, value, QString::fromStdString(fenFaultText(why)));
            if (error_ != nullptr) error_->fen = why;
            return false;
        }
        game_.start = *start;
        pos_ = *start;
    } else if (name == u"Result" && game_.result.isEmpty()) {
        game_.result = value;
    }
    return true;
}

bool Reader::readWord(const QString& raw, int line) {
    // "12." or "12..." before a move, also with full-width digits and stops as Chinese has them.
    static const QRegularExpression number(QStringLiteral(R"(^[0-9０-９]+\s*[.．、]+)"));
    QString word = raw;
    const auto n = number.match(word);
    if (n.hasMatch()) {
        inMoves_ = true;
        word = word.mid(n.capturedLength());
    }
    if (word.isEmpty() || word.startsWith(u'$') || word.count(u'.') == word.size()) return true;
    if (isResult(word)) {
        game_.result = word;
        done_ = true;
        return true;
    }
    // Annotation marks; "+" and "-" are WXF's own and stay.
    while (word.endsWith(u'!') || word.endsWith(u'?'))
        word.chop(1);
    if (word.isEmpty()) return true;
    inMoves_ = true;
    anything_ = true;
    return playWord(word, line);
}

bool Reader::playWord(const QString& word, int line) {
    if (qiPuUpperBound(game_.moves) >= kMaxPlies) return fail(PgnError::TooLong, line, word);
    const std::string utf8 = word.toStdString();
    Move m{};
    if (const auto iccs = parseIccsMove(utf8)) {
        if (!isAllowedMove(pos_, *iccs)) return fail(PgnError::IllegalMove, line, word);
        m = *iccs;
    } else {
        const bool ascii =
            std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
        const auto described = ascii ? parseWxfMove(utf8) : parseChineseMove(utf8);
        if (!described) return fail(PgnError::NotAMove, line, word);
        switch (findDescribedMove(pos_, *described, &m)) {
            case FindResult::Found:
                break;
            case FindResult::NoMove:
                return fail(PgnError::IllegalMove, line, word);
            case FindResult::Ambiguous:
                return fail(PgnError::AmbiguousMove, line, word);
        }
    }
    const Piece piece = pos_.at(m.from);
    const Piece captured = pos_.makeMove(m);
    game_.moves.push_back(QiPuItem{packPoint(rankOfSquare(m.from), fileOfSquare(m.from)), piece,
                                   packPoint(rankOfSquare(m.to), fileOfSquare(m.to)), captured});
    return true;
}

bool Reader::run() {
    while (i_ < text_.size() && !done_) {
        const QChar c = text_[i_];
        if (c == u'\n') {
            ++line_;
            ++i_;
        } else if (c.isSpace()) {
            ++i_;
        } else if (c == u';' || (c == u'%' && (i_ == 0 || text_[i_ - 1] == u'\n'))) {
            // The rest of the line is a comment; a line starting with "%" is passed over whole.
            const qsizetype end = text_.indexOf(u'\n', i_);
            i_ = end < 0 ? text_.size() : end;
        } else if (c == u'{') {
            if (!skipTo(u'}', 1)) return false;
        } else if (c == u'(') {
            if (!skipTo(u')', 1)) return false;
        } else if (c == u')') {
            ++i_;
        } else if (c == u'[') {
            if (inMoves_) break;  // the next game's tags
            if (!readTag()) return false;
        } else {
            const qsizetype start = i_;
            const int line = line_;
            while (i_ < text_.size() && !endsWord(text_[i_]))
                ++i_;
            if (!readWord(text_.mid(start, i_ - start), line)) return false;
        }
    }
    if (!anything_ && game_.result.isEmpty()) return fail(PgnError::NoGame, 0, {});
    return true;
}

}  // namespace

bool readPgn(const QString& text, GameRecord& game, PgnError* error) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(u'\r', u'\n');
    if (normalized.startsWith(QChar(0xFEFF))) normalized.remove(0, 1);
    GameRecord read;
    if (!Reader(normalized, read, error).run()) return false;
    game = std::move(read);
    return true;
}

}  // namespace xq
