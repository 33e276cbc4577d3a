#pragma once

#include <QString>
#include <cstdint>

namespace xq {

// The seven user preferences, each 1 by default.
struct UserSettings {
    std::uint8_t bteAllowLookOnSee = 1;  // spectators may watch my games (sent at login)
    std::uint8_t bteSoundOn = 1;
    std::uint8_t bteShowInOutMsg = 1;
    std::uint8_t bteQuitPrompt = 1;  // ask before leaving a running game
    std::uint8_t bteBadMoveHint = 1;
    std::uint8_t bteQiPanStyle = 1;  // board style 0..3
    std::uint8_t bteQiZiStyle = 1;   // piece style 0..3

    friend bool operator==(const UserSettings&, const UserSettings&) = default;
};

inline constexpr char kUserSetFile[] = "UserSet.ini";

// A board or piece style as the style boxes and the board both take it: a value outside 0..3
// (a file written by hand, say) is the default 1, so the box never shows one style while the
// board draws another.
constexpr std::uint8_t styleOrDefault(int style) {
    return style >= 0 && style <= 3 ? static_cast<std::uint8_t>(style) : 1;
}

void DefaultUserSet(UserSettings& settings);

// Reads "UserSet.ini" from the program folder (or, where the user may not write there, from his
// configuration folder: see user_folder.h); a missing, short or broken file gives all seven
// defaults, a style outside 0..3 the default style.
void LoadUserSet(UserSettings& settings, const QString& appPath);

// Writes the seven values, one " n " line each, replacing the file as a whole. False, with a
// reason in *error, when it could not be written.
bool SaveUserSet(const UserSettings& settings, const QString& appPath, QString* error = nullptr);

// The file's contents and their reading, apart from the file itself.
QByteArray userSetText(const UserSettings& settings);
bool parseUserSetText(const QByteArray& text, UserSettings& settings);

}  // namespace xq
