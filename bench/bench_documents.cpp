#include "benchpages.h"
#include "benchregistry.h"

#include "model/componentstream.h"
#include "themes/streamclasses.h"
#include "model/pagelette.h"

#include <QTemporaryDir>

namespace {

void saveAndLoad(QTextStream &out)
{
    QTemporaryDir dir;
    double saveMs[2] = {};
    double loadMs[2] = {};
    const int sizes[2] = {10000, 20000};
    for (int k = 0; k < 2; ++k) {
        TPagelette page;
        Bench::fillMixedPage(page, sizes[k]);
        const QString path = dir.filePath(QStringLiteral("page%1.vxf").arg(k));
        ComponentWriter writer;
        saveMs[k] = 1e300;
        for (int run = 0; run < 5; ++run) {
            Bench::releaseFreeMemory();
            saveMs[k] = qMin(saveMs[k], Bench::bestMilliseconds(1, [&] { writer.write(path, page); }));
        }
        ComponentReader reader(StreamClasses::standard());
        loadMs[k] = 1e300;
        for (int run = 0; run < 5; ++run) {
            Bench::releaseFreeMemory();
            loadMs[k] = qMin(loadMs[k], Bench::bestMilliseconds(1, [&] { reader.read(path); }));
        }
        out << QStringLiteral("%1 items: save %2 ms, load %3 ms\n").arg(sizes[k]).arg(saveMs[k], 0, 'f', 1).arg(loadMs[k], 0, 'f', 1);
    }
    out << QStringLiteral("20000/10000 ratio: save %1, load %2 (target: each under 100 ms at 10000, ratio under 2.2)\n")
               .arg(saveMs[1] / saveMs[0], 0, 'f', 2)
               .arg(loadMs[1] / loadMs[0], 0, 'f', 2);
}

}

VENDRIX_BENCH("documents: save and load a page of mixed items", saveAndLoad)
