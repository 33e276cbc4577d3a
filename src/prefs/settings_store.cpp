#include "prefs/settings_store.h"

namespace xq {

bool SettingsStore::chooseBoardStyle(int style) {
    settings_.bteQiPanStyle = static_cast<std::uint8_t>(style);
    return save();
}

bool SettingsStore::choosePieceStyle(int style) {
    settings_.bteQiZiStyle = static_cast<std::uint8_t>(style);
    return save();
}

}  // namespace xq
