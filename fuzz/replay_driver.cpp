// Without libFuzzer: runs a fuzz target over its seed inputs and over inputs derived from them by
// a fixed pseudo-random mutation, so that the tests exercise the same entry points under the
// sanitizers on any compiler.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <random>
#include <vector>

#include "seeds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // "write DIR" puts the seeds into a folder, as a starting corpus for a libFuzzer run.
    if (args.size() == 3 && args[1] == u"write") {
        QDir().mkpath(args[2]);
        int n = 0;
        for (const QByteArray& seed : xq::fuzz::Seeds()) {
            QFile f(QDir(args[2]).filePath(QStringLiteral("seed%1").arg(n++)));
            if (f.open(QIODevice::WriteOnly)) f.write(seed);
        }
        return 0;
    }
    const int rounds = args.size() > 1 ? args[1].toInt() : 2000;
    std::vector<QByteArray> seeds;
    if (args.size() > 2) {
        const QDir dir(args[2]);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly)) seeds.push_back(f.readAll());
        }
    }
    if (seeds.empty()) seeds = xq::fuzz::Seeds();
    std::mt19937 rng(20261208);
    for (const QByteArray& s : seeds) {
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(s.constData()),
                               static_cast<std::size_t>(s.size()));
    }
    for (int r = 0; r < rounds; ++r) {
        QByteArray input = seeds[rng() % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const unsigned kind = rng() % 4;
            const qsizetype at = input.isEmpty() ? 0 : static_cast<qsizetype>(rng() % input.size());
            if (kind == 0 && !input.isEmpty()) {
                input[at] = static_cast<char>(rng());
            } else if (kind == 1) {
                input.insert(at, static_cast<char>(rng()));
            } else if (kind == 2 && !input.isEmpty()) {
                input.remove(at, 1 + static_cast<qsizetype>(rng() % 4));
            } else {
                input.append(seeds[rng() % seeds.size()].left(static_cast<qsizetype>(rng() % 64)));
            }
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.constData()),
                               static_cast<std::size_t>(input.size()));
    }
    std::printf("%zu seeds, %d derived inputs: no fault\n", seeds.size(), rounds);
    return 0;
}
