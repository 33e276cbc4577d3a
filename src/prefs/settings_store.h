#pragma once

#include <QString>

#include "prefs/user_settings.h"

namespace xq {

// The user's settings together with the file that keeps them: the program reads and writes
// "UserSet.ini" only through this, so the file and what the windows show cannot drift apart.
class SettingsStore {
public:
    // The folder is the program folder of the session, which outlives the store.
    SettingsStore(UserSettings& settings, const QString& programFolder)
        : settings_(settings), folder_(programFolder) {}

    UserSettings& settings() { return settings_; }
    const UserSettings& settings() const { return settings_; }

    // Reads the file (a missing or broken one gives the defaults).
    void load() { LoadUserSet(settings_, folder_); }
    // Writes the settings as they are now; false, with the reason in *error, when it failed.
    bool save(QString* error = nullptr) const { return SaveUserSet(settings_, folder_, error); }

    // A style box's choice, kept at once; false, with the reason in *error, when the file could
    // not be written (the choice holds in memory all the same).
    bool chooseBoardStyle(int style, QString* error = nullptr);
    bool choosePieceStyle(int style, QString* error = nullptr);

private:
    UserSettings& settings_;
    const QString& folder_;
};

}  // namespace xq
