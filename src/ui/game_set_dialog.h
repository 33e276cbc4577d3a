#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <array>

namespace xq {

class Table;

// The table settings dialog: the owner edits and confirms the terms, the other player agrees or
// refuses them. The confirm button counts down from 20 and answers by itself after 21 seconds.
class GameSetDialog : public QDialog {
    Q_OBJECT

public:
    GameSetDialog(Table& table, QWidget* parent = nullptr);

    // Shows the model's current content and starts the count-down.
    void refresh();
    QLineEdit* box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    QPushButton* button(int index) const { return index == 0 ? confirm_ : cancel_; }
    QGroupBox* frame() const { return frame_; }
    // One second of the count-down (the timer calls it; tests may too).
    void tick();
    bool countingDown() const { return timer_.isActive(); }
    // Runs a button as if it were pressed.
    void pressButton(int index);
    // The last warning shown for refused values (the warning box itself is modal).
    const QString& lastWarning() const { return lastWarning_; }
    // Tests replace the modal warning box.
    std::function<void(const QString&)> showWarning;

    // Escape and the window's close button answer like button 1 (cancel or refuse).
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Table& table_;
    QGroupBox* frame_;
    std::array<QLineEdit*, 7> boxes_{};
    QPushButton* confirm_;
    QPushButton* cancel_;
    QTimer timer_;
    QString lastWarning_;
};

}  // namespace xq
