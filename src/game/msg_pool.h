#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <vector>

namespace xq {

// What one message box shows and how it behaves.
struct MsgBoxInfo {
    std::int32_t tag = 0;
    std::uint8_t type = 1;  // 0 notice (no buttons, modeless), 1 one button, 2 two buttons
    QString note;
    QString caption;
    std::int32_t maxDelay = 10;  // count-down in seconds
    QString yesCaption;
    QString noCaption;
    bool yesDefault = true;
    QString iconPath;  // the folder of the box icons
};

// Shows boxes on the screen. openBox returns at once for a notice; for a box with buttons it
// returns only when the box is gone (answered, counted down, or closed through closeBox), letting
// other events run meanwhile.
class MsgBoxHost {
public:
    virtual ~MsgBoxHost() = default;
    virtual void openBox(int boxId, const MsgBoxInfo& info) = 0;
    virtual void closeBox(int boxId) = 0;
};

// The pool of open message boxes: each box takes the lowest free slot, boxes with one tag close
// together, and a question returns its own answer even when its slot is reused meanwhile.
class MsgPool {
public:
    static constexpr std::int16_t kYes = -1;
    static constexpr std::int16_t kNo = 0;

    explicit MsgPool(MsgBoxHost& host) : host_(host) {}

    void InitMsgObjects(const QString& parentPath);

    // Opens a box and, for a box with buttons, waits for it; the answer is -1 for Yes and 0 for
    // No. A box closed without an answer answers No.
    std::int16_t ShowMsg(std::int32_t tag, std::uint8_t type, const QString& note,
                         const QString& caption, std::int32_t maxDelay, const QString& yesCaption,
                         const QString& noCaption, bool yesDefault);

    // Closes every open box with the tag, in slot order.
    void CloseMsgObjects(std::int32_t tag);

    // From the box: its button was pressed or its count-down ran out (0 Yes, 1 No).
    void answer(int boxId, int button);
    // From the box: it is gone (its slot becomes free).
    void boxClosed(int boxId);

    long lngMsgObjectUBound() const { return static_cast<long>(slots_.size()) - 1; }
    const QString& strMsgIconPath() const { return iconPath_; }
    int openBoxes() const;
    // The slot a box sits in, -1 when it is not open.
    int slotOf(int boxId) const;

private:
    struct Slot {
        std::int16_t intResult = 0;
        int boxId = 0;  // 0: free
        std::int32_t tag = 0;
    };
    struct Box {
        std::int16_t result = kNo;
        bool open = true;
    };

    MsgBoxHost& host_;
    std::vector<Slot> slots_;
    std::map<int, Box> boxes_;
    QString iconPath_;
    int nextId_ = 0;
};

// The count-down of a box with buttons: one tick a second shows the count on the counting button
// and answers once it drops below zero.
class MsgCountdown {
public:
    explicit MsgCountdown(const MsgBoxInfo& info);
    // The button that counts: 0 (Yes) for a one-button box or a Yes default, else 1 (No).
    int countingButton() const { return button_; }
    struct Tick {
        int button;
        QString caption;
        bool fire;  // press the counting button now
    };
    Tick tick();
    bool running() const { return running_; }
    // Captions before the first tick, with their access keys.
    static QString YesCaption(const MsgBoxInfo& info) {
        return info.yesCaption + QStringLiteral("(&Y)");
    }
    static QString NoCaption(const MsgBoxInfo& info) {
        return info.noCaption + QStringLiteral("(&N)");
    }

private:
    MsgBoxInfo info_;
    int button_;
    long remaining_;
    bool running_;
};

}  // namespace xq
