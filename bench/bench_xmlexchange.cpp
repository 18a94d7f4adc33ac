// XML configuration export and import of 200, 2,000 and 20,000 register items spread over 20
// "site" groups: a snapshot export with save, then an import (values only, no instrument) that
// pairs the file's records with the items of each group, once with the items in the file's order
// and once in the reverse order (each record then matches the last candidate left). Prints the
// median of 3 runs in ms, so that the growth of the pairing with the group size shows. Run from a
// Release build without sanitizers.

#include "benchfigures.h"
#include "modbusuint16.h"
#include "modbusxmlexporter.h"
#include "modbusxmlimporter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kGroups = 20;
constexpr int kRuns = 3;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("configuration.xml");

    for (int total : {200, 2000, 20000}) {
        const int perGroup = total / kGroups;
        std::vector<std::unique_ptr<ModbusUInt16>> items;
        QList<QList<ModbusItemBase *>> groups(kGroups);
        for (int i = 0; i < total; ++i) {
            items.push_back(std::make_unique<ModbusUInt16>(400001 + quint32(i % perGroup)));
            items.back()->setValue(quint16(i));
            groups[i / perGroup].append(items.back().get());
        }
        std::vector<double> exportMs;
        std::vector<double> importMs;
        std::vector<double> reversedMs;
        int imported = 0;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            ModbusXmlExporter exporter;
            exporter.setFileName(file);
            exporter.setWaitForRead(false);
            exporter.setReadOnExport(false);
            for (int g = 0; g < kGroups; ++g) {
                exporter.beginGroup(QStringLiteral("site%1").arg(g));
                exporter.exportItems(groups[g]);
                exporter.endGroup();
            }
            if (!exporter.save()) {
                std::fprintf(stderr, "save failed: %s\n", qPrintable(exporter.errorString()));
                return 1;
            }
            exportMs.push_back(timer.nsecsElapsed() / 1e6);

            timer.restart();
            ModbusXmlImporter importer;
            importer.setFileName(file);
            importer.setWriteOnImport(false);
            for (int g = 0; g < kGroups; ++g) {
                importer.beginGroup(QStringLiteral("site%1").arg(g));
                importer.importItems(groups[g]);
                importer.endGroup();
            }
            importMs.push_back(timer.nsecsElapsed() / 1e6);
            imported = importer.processed();

            importer.clear();
            timer.restart();
            for (int g = 0; g < kGroups; ++g) {
                importer.beginGroup(QStringLiteral("site%1").arg(g));
                QList<ModbusItemBase *> reversed(groups[g].crbegin(), groups[g].crend());
                importer.importItems(reversed);
                importer.endGroup();
            }
            reversedMs.push_back(timer.nsecsElapsed() / 1e6);
            imported += importer.processed();
        }
        std::printf("%6d items (%4d per group): export %8.1f ms, import %8.1f ms, reversed "
                    "%8.1f ms (%d paired)\n",
                    total, perGroup, median(exportMs), median(importMs), median(reversedMs),
                    imported);
    }
    return 0;
}
