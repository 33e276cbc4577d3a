#include "game/chat_model.h"

namespace xq {

namespace {
// Enough for any real conversation at one table; older lines are dropped beyond it.
constexpr std::size_t kMaxLines = 2000;
}  // namespace

ChatModel::ChatModel(QObject* parent) : QObject(parent) {}

void ChatModel::setDefaultAddressee(const QString& name) {
    defaultAddressee_ = name;
    emit defaultAddresseeChanged(name);
}

void ChatModel::changeAddressee(const QString& op, const QString& name) {
    if (name.isEmpty() || name == kEveryone) return;
    if (op == u"ADD") {
        if (addressees_.contains(name)) return;
        addressees_.append(name);
    } else if (op == u"DEL") {
        if (!addressees_.removeOne(name)) return;
        if (defaultAddressee_ == name) setDefaultAddressee(kEveryone);
    } else {
        return;
    }
    emit addresseesChanged();
}

void ChatModel::showSystemLine(const QString& text) {
    add({Kind::System, {text}});
}

void ChatModel::showRelayed(const QStringList& eightFields) {
    add({Kind::Relayed, eightFields});
}

void ChatModel::showRoomLine(const QString& text) {
    add({Kind::Room, {text}});
}

void ChatModel::clear() {
    lines_.clear();
    emit cleared();
}

void ChatModel::add(Line line) {
    if (lines_.size() >= kMaxLines) lines_.erase(lines_.begin());
    lines_.push_back(line);
    emit lineAdded(lines_.back());
}

QStringList ChatModel::composeSend(const QString& text, const QString& colour,
                                   const QString& faceNo, bool privateLine,
                                   const QString& time) const {
    const QString to = defaultAddressee_.isEmpty() ? kEveryone : defaultAddressee_;
    // A line can carry no "`": it would split the record.
    QString body = text;
    body.replace(u'`', u'\'');
    return {ownName_,
            to,
            ownName_,
            to,
            time,
            body,
            colour,
            faceNo,
            privateLine && to != kEveryone ? QStringLiteral("1") : QStringLiteral("0"),
            QString()};
}

}  // namespace xq
