#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace xq::test {

// A program that runs the scripted UCI engine with the given arguments, for code that is only
// ever given an engine's path (as a user's settings give it).
class ScriptedEngine {
public:
    explicit ScriptedEngine(const QStringList& arguments) {
        path_ = dir_.filePath(QStringLiteral("engine.sh"));
        QFile f(path_);
        if (!f.open(QIODevice::WriteOnly)) return;
        QString line = QStringLiteral("#!/bin/sh\nexec '%1'").arg(QStringLiteral(XQ_FAKE_UCI));
        for (const QString& a : arguments)
            line += QStringLiteral(" '%1'").arg(a);
        f.write((line + QStringLiteral(" \"$@\"\n")).toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString& path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

}  // namespace xq::test
