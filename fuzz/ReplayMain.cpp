// Runs a fuzz target over files and folders of inputs, as the tests do with every committed
// corpus: each input once, in name order. Built with the normal compiler, so the corpus is
// replayed wherever the tests run, with or without libFuzzer.
#include "FuzzInput.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                inputs << it.next();
        } else {
            inputs << arg;
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const QString &path : inputs) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                               std::size_t(bytes.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(inputs.size()));
    return inputs.isEmpty() ? 1 : 0;
}
