#ifndef MODBUSXMLENGINE_H
#define MODBUSXMLENGINE_H

#include "modbusexportengine.h"

#include <memory>

class QThread;

// The configuration file: a "dorrikbus" document whose "modbusitems" element holds properties,
// item records and nested groups. The document is built in memory while an exporter hands over
// items and written by save(); for an importer it is loaded from the file on the first import
// call and walked from its current element.
class DORRIKBUS_EXPORT ModbusXmlEngine : public ModbusExportEngine
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    explicit ModbusXmlEngine(QObject *parent = nullptr);
    ~ModbusXmlEngine() override;

    QString fileName() const { return m_fileName; }
    QString version() const { return m_version; }
    bool loaded() const { return m_loaded; }
    bool created() const { return m_created; }

    void createDocument();
    bool loadDocument();
    // Reads and checks the file in a worker thread and emits documentLoaded() when it is done:
    // a large file must not hold the GUI up. An import call meanwhile waits for it.
    void startLoading();
    bool loading() const { return m_loading != nullptr; }

    void beginExportGroup(const QString &name) override;
    void endExportGroup() override;
    bool beginImportGroup(const QString &name) override;
    void endImportGroup() override;
    void exportItem(const ModbusExportData &data) override;
    bool importItems(const ModbusExportDataList &candidates,
                     QList<ModbusItemBase *> &items) override;
    bool exportProperty(const QString &name, const QString &value) override;
    bool importProperty(const QString &name, QString &value) override;
    void clear() override;
    bool save() override;
    QStringList getGroups() override;

public slots:
    void setFileName(const QString &fileName);

signals:
    void fileNameChanged(const QString &fileName);
    void documentLoaded(bool ok);

public:
    // What a load makes of the file, and the records of one level of it (defined with the
    // engine's code).
    struct Loaded;
    struct RecordIndex;

private:
    bool ensureLoaded();
    // Takes a finished load over (the document, or its error); false for an error.
    bool apply(Loaded &result);
    void onLoadingFinished();
    // The running load no longer concerns this engine (new file, clear): its thread ends on
    // its own and its result is dropped.
    void dropLoading();
    // The loaded level the current element is, or null.
    const RecordIndex *currentIndex() const;
    // Lets the document go without freeing it in this thread.
    void releaseDocument();
    // Up one level, never above "modbusitems": a stray end must not leave the document's items.
    void leaveGroup();

    // The document and the current element; kept out of the header, so that users of the
    // library need no XML module.
    struct Dom;
    std::unique_ptr<Dom> m_dom;
    // The load under way, with the thread that fills it in.
    std::shared_ptr<Loaded> m_loading;
    QThread *m_loadingThread = nullptr;
    QString m_fileName;
    const QString m_version = QStringLiteral("1.0");
    bool m_loaded = false;
    bool m_created = false;
};

#endif
