#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <array>

namespace xq {

class SettingsStore;

// The user settings dialog: five switches in two frames; OK keeps them in the settings file,
// Defaults ticks all five (kept only with OK), Cancel leaves everything as it was.
class UserSetDialog : public QDialog {
    Q_OBJECT

public:
    explicit UserSetDialog(SettingsStore& store, QWidget* parent = nullptr);

    QCheckBox* check(int index) const { return checks_[static_cast<std::size_t>(index)]; }
    QPushButton* button(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    // False when the file could not be written (the switches are kept in memory all the same).
    bool lastSaveOk() const { return lastSaveOk_; }

private:
    void press(int index);

    SettingsStore& store_;
    std::array<QCheckBox*, 5> checks_{};
    std::array<QPushButton*, 3> buttons_{};
    bool lastSaveOk_ = true;
};

}  // namespace xq
