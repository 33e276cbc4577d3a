#include "prefs/engine_choice.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace xq {
namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("xqtable"),
                     QStringLiteral("engine"));
}

const QString kKey = QStringLiteral("analysis/program");

}  // namespace

QString installedFairyStockfish() {
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("fairy-stockfish"));
    if (!onPath.isEmpty()) return onPath;
    return QStandardPaths::findExecutable(
        QStringLiteral("fairy-stockfish"),
        {QStringLiteral("/usr/games"), QStringLiteral("/usr/local/games")});
}

QString analysisEngine() {
    const QString chosen = store().value(kKey).toString();
    if (!chosen.isEmpty()) {
        const QFileInfo file(chosen);
        // A program that went away falls back to the default, not to nothing.
        if (file.isFile() && file.isExecutable()) return file.absoluteFilePath();
    }
    return installedFairyStockfish();
}

void setAnalysisEngine(const QString& program) {
    QSettings s = store();
    if (program.isEmpty()) {
        s.remove(kKey);
    } else {
        s.setValue(kKey, program);
    }
}

}  // namespace xq
