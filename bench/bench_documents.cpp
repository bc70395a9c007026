#include "benchpages.h"
#include "benchregistry.h"

#include "model/componentstream.h"
#include "themes/streamclasses.h"
#include "model/pagelette.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// The floor a load is held against: the same file read in large blocks and hashed.
void readAndHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return;
    QCryptographicHash hash(QCryptographicHash::Md5);
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (qint64 n; (n = file.read(block.data(), block.size())) > 0;)
        hash.addData(QByteArrayView(block.constData(), qsizetype(n)));
    hash.result();
}

// Save, load and read-and-hash take turns, so a busy machine slows all three alike;
// each figure is the best of its runs, each run starting from released memory as a
// fresh program would.
void saveAndLoad(QTextStream &out)
{
    QTemporaryDir dir;
    double saveMs[2] = {};
    double loadMs[2] = {};
    double hashMs[2] = {};
    const int sizes[2] = {10000, 20000};
    for (int k = 0; k < 2; ++k) {
        TPagelette page;
        Bench::fillMixedPage(page, sizes[k]);
        const QString path = dir.filePath(QStringLiteral("page%1.vxf").arg(k));
        ComponentWriter writer;
        ComponentReader reader(StreamClasses::standard());
        saveMs[k] = loadMs[k] = hashMs[k] = 1e300;
        for (int run = 0; run < 7; ++run) {
            Bench::releaseFreeMemory();
            saveMs[k] = qMin(saveMs[k], Bench::bestMilliseconds(1, [&] { writer.write(path, page); }));
            Bench::releaseFreeMemory();
            loadMs[k] = qMin(loadMs[k], Bench::bestMilliseconds(1, [&] { reader.read(path); }));
            Bench::releaseFreeMemory();
            hashMs[k] = qMin(hashMs[k], Bench::bestMilliseconds(1, [&] { readAndHash(path); }));
        }
        out << QStringLiteral("%1 items (%2 MB): save %3 ms, load %4 ms; read and hash the file (MD5, 1 MiB blocks) %5 ms: "
                              "save %6x, load %7x that\n")
                   .arg(sizes[k])
                   .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1)
                   .arg(saveMs[k], 0, 'f', 1)
                   .arg(loadMs[k], 0, 'f', 1)
                   .arg(hashMs[k], 0, 'f', 1)
                   .arg(saveMs[k] / hashMs[k], 0, 'f', 2)
                   .arg(loadMs[k] / hashMs[k], 0, 'f', 2);
    }
    out << QStringLiteral("20000/10000 ratio: save %1, load %2 (target: save and load at most 2x read and hash, ratio under 2.2)\n")
               .arg(saveMs[1] / saveMs[0], 0, 'f', 2)
               .arg(loadMs[1] / loadMs[0], 0, 'f', 2);
}

// "--child write-page FILE [ITEMS]": writes the benchmarks' mixed page (10000 items
// unless told) as a page document, for timing whole commands on it.
int writePage(int &argc, char **argv)
{
    if (argc < 4)
        return 2;
    const int items = argc > 4 ? QByteArray(argv[4]).toInt() : 10000;
    TPagelette page;
    Bench::fillMixedPage(page, items);
    return ComponentWriter().write(QFile::decodeName(argv[3]), page) ? 0 : 1;
}

}

VENDRIX_BENCH("documents: save and load a page of mixed items", saveAndLoad)
static const bool writePageRegistered = Bench::addChild("write-page", writePage);
