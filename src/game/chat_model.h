#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace xq {

// The chat pane's content: the lines shown, the people one can address, and what a send carries.
class ChatModel : public QObject {
    Q_OBJECT

public:
    static inline const QString kEveryone = QStringLiteral("所有人");

    enum class Kind { System, Relayed, Room };
    struct Line {
        Kind kind;
        QStringList fields;  // System and Room: one text; Relayed: the eight shown fields
    };

    explicit ChatModel(QObject* parent = nullptr);

    // Set-up values the window gives at load; kept for the view.
    QString facesFolder;
    QString programFolder;
    QString pageFile;
    QString caption;

    void setOwnName(const QString& name) { ownName_ = name; }
    const QString& ownName() const { return ownName_; }
    void setDefaultAddressee(const QString& name);
    const QString& defaultAddressee() const { return defaultAddressee_; }
    // "ADD" or "DEL" with a name; the default addressee "所有人" always stays.
    void changeAddressee(const QString& op, const QString& name);
    const QStringList& addressees() const { return addressees_; }

    void showSystemLine(const QString& text);
    // Fields 2 to 9 of a relayed chat record: sender, addressee, time, text, colour, face,
    // private flag, spare.
    void showRelayed(const QStringList& eightFields);
    void showRoomLine(const QString& text);
    void clear();
    const std::vector<Line>& lines() const { return lines_; }

    // The ten fields of a line the user sends: sender, addressee, sender, addressee, time
    // "hh:mm:ss", text, colour "#rrggbb", face number, private flag 0/1, and an empty field.
    QStringList composeSend(const QString& text, const QString& colour, const QString& faceNo,
                            bool privateLine, const QString& time) const;

signals:
    void lineAdded(const Line& line);
    void cleared();
    void addresseesChanged();
    void defaultAddresseeChanged(const QString& name);

private:
    void add(Line line);

    QString ownName_;
    QString defaultAddressee_ = kEveryone;
    QStringList addressees_{kEveryone};
    std::vector<Line> lines_;
};

}  // namespace xq
