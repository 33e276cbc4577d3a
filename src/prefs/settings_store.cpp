#include "prefs/settings_store.h"

namespace xq {

bool SettingsStore::chooseBoardStyle(int style, QString* error) {
    settings_.bteQiPanStyle = static_cast<std::uint8_t>(style);
    return save(error);
}

bool SettingsStore::choosePieceStyle(int style, QString* error) {
    settings_.bteQiZiStyle = static_cast<std::uint8_t>(style);
    return save(error);
}

}  // namespace xq
