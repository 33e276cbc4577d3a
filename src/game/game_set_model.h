#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "net/codec.h"

namespace xq {

// The table settings dialog without its widgets: the owner form edits and confirms the terms,
// the agreement form shows them to the other player, who agrees or refuses. Either answers by
// itself when the count-down on the confirm button has run from 20 to 0.
class GameSetModel {
public:
    static constexpr int kBoxes = 7;
    static constexpr int kMaxDigits = 8;
    static constexpr int kCountFrom = 20;

    // Fills the dialog; false when the text does not hold exactly 11 fields.
    bool SetInitGameSetInfo(bool deskMaster, const QString& allGameSetInfo);

    // What the user entered in a box, however it got there (typed, pasted, dropped): kept only
    // when it is all digits and the box exists.
    bool setBox(int index, const QString& text);

    // Keys typed into a box: digits and Backspace pass, everything else is swallowed.
    static bool acceptKey(int key);
    static bool acceptChar(QChar ch) { return ch.unicode() >= u'0' && ch.unicode() <= u'9'; }

    struct Tick {
        QString caption;  // the confirm button's new caption
        bool press;       // the count-down has run out: press the confirm button now
    };
    // One second of the count-down; only while the timer runs.
    Tick tick();

    // The first failed check of the owner's values, as the warning text; nothing when all pass.
    std::optional<QString> validate() const;

    // The eleven fields as they are sent: boxes as typed, limits as received.
    QString settingsText() const;

    struct Press {
        Cmd message;      // what to send; empty when the dialog stays open
        QString warning;  // the failed check, when the owner's values are refused
        bool close;       // the dialog is done
    };
    // The button handler: 0 confirm or agree, 1 cancel or refuse.
    Press press(int button, const QString& myName);

    bool blnDeskMaster = false;
    QString frameCaption;
    QString confirmCaption;
    QString button0Caption;
    QString button1Caption;
    std::array<QString, kBoxes> txtUser;
    std::int32_t lngStakeMax = 0;
    std::int32_t lngStakeMin = 0;
    std::int32_t lngPenaltyMax = 0;
    std::int32_t lngPenaltyMin = 0;
    long counter = 0;
    bool timerEnabled = false;
};

}  // namespace xq
