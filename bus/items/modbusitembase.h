#ifndef MODBUSITEMBASE_H
#define MODBUSITEMBASE_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusbytesarray.h"
#include "mydeclarativeparserstatus.h"
#include "roleitems.h"
#include "trendbytesbuffer.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QQmlListProperty>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

class InternalItemModel;
class ModbusClient;
class ModbusTask;

// The base of every register item: the raw bytes of one or more elements of the instrument's
// register space (and a bounded trend of earlier ones), turned into tasks for its client and
// filled from the finished tasks. A child item declared inside another shows a slice of its
// parent's bytes (its source). Lives and is used only in the GUI thread; tasks reach it through
// guarded pointers.
class DORRIKBUS_EXPORT ModbusItemBase : public ErrObject, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_CLASSINFO("DefaultProperty", "items")
    Q_CLASSINFO("ExportProp", "count")
    Q_MOC_INCLUDE("modbusclient.h")
    Q_MOC_INCLUDE("internalitemmodel.h")
    Q_PROPERTY(QString formatValue READ formatValue WRITE setFormatValue NOTIFY formatValueChanged)
    Q_PROPERTY(QString binaryValue READ binaryValue NOTIFY formatValueChanged)
    Q_PROPERTY(int binaryBaseLength READ binaryBaseLength WRITE setBinaryBaseLength NOTIFY
                   binaryBaseLengthChanged)
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(QDateTime lastReadTime READ lastReadTime NOTIFY lastReadTimeChanged)
    Q_PROPERTY(QDateTime lastWriteTime READ lastWriteTime NOTIFY lastWriteTimeChanged)
    Q_PROPERTY(bool readOnly READ readOnly NOTIFY readOnlyChanged)
    Q_PROPERTY(ModbusClient *client READ client WRITE setClient NOTIFY clientChanged)
    Q_PROPERTY(bool executing READ executing NOTIFY executingChanged)
    Q_PROPERTY(bool intervalReading READ intervalReading WRITE setIntervalReading NOTIFY
                   intervalReadingChanged)
    Q_PROPERTY(bool wasRead READ wasRead WRITE setWasRead NOTIFY wasReadChanged)
    Q_PROPERTY(bool wasWrite READ wasWrite WRITE setWasWrite NOTIFY wasWriteChanged)
    Q_PROPERTY(bool readAfterWrite READ readAfterWrite WRITE setReadAfterWrite NOTIFY
                   readAfterWriteChanged)
    Q_PROPERTY(quint64 readCount READ readCount NOTIFY readCountChanged)
    Q_PROPERTY(quint64 writeCount READ writeCount NOTIFY writeCountChanged)
    Q_PROPERTY(int readingCounter READ readingCounter NOTIFY readingCounterChanged)
    Q_PROPERTY(bool force READ force WRITE setForce NOTIFY forceChanged)
    Q_PROPERTY(
        bool readOnConnect READ readOnConnect WRITE setReadOnConnect NOTIFY readOnConnectChanged)
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)
    Q_PROPERTY(ModbusItemBase *source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(int sourceByteIndex READ sourceByteIndex WRITE setSourceByteIndex NOTIFY
                   sourceByteIndexChanged)
    Q_PROPERTY(int sourceTrendIndex READ sourceTrendIndex WRITE setSourceTrendIndex NOTIFY
                   sourceTrendIndexChanged)
    Q_PROPERTY(int sourceIndex READ sourceArrayIndex WRITE setSourceArrayIndex NOTIFY
                   sourceArrayIndexChanged)
    Q_PROPERTY(int arrayIndex READ arrayIndex NOTIFY arrayIndexChanged)
    Q_PROPERTY(
        bool useOptimizing READ useOptimizing WRITE setUseOptimizing NOTIFY useOptimizingChanged)
    Q_PROPERTY(bool liveRead READ liveRead WRITE setLiveRead NOTIFY liveReadChanged)
    Q_PROPERTY(bool liveWrite READ liveWrite WRITE setLiveWrite NOTIFY liveWriteChanged)
    Q_PROPERTY(QQmlListProperty<ModbusItemBase> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(quint32 intervalReadingCounter READ intervalReadingCounter NOTIFY
                   intervalReadingCounterChanged)
    Q_PROPERTY(int trendIndex READ trendIndex WRITE setTrendIndex NOTIFY trendIndexChanged)
    Q_PROPERTY(int maxTrendSize READ maxTrendSize WRITE setMaxTrendSize NOTIFY maxTrendSizeChanged)
    Q_PROPERTY(int trendSize READ trendSize NOTIFY trendSizeChanged)
    Q_PROPERTY(
        int deviceAddress READ deviceAddress WRITE setDeviceAddress NOTIFY deviceAddressChanged)
    Q_PROPERTY(bool useClientDeviceAddress READ useClientDeviceAddress WRITE
                   setUseClientDeviceAddress NOTIFY useClientDeviceAddressChanged)
    Q_PROPERTY(int count READ count WRITE setCount NOTIFY countChanged)
    Q_PROPERTY(int arraySize READ arraySize NOTIFY arraySizeChanged)
    Q_PROPERTY(InternalItemModel *model READ model NOTIFY modelChanged)
    Q_PROPERTY(ModelType modelType READ modelType WRITE setModelType NOTIFY modelTypeChanged)
    Q_PROPERTY(bool actualValue READ actualValue NOTIFY actualValueChanged)
    Q_PROPERTY(QString group READ group WRITE setGroup NOTIFY groupChanged)

public:
    // Why an item's bytes changed.
    enum BytesChangeType : int {
        ExternalChange = 0,   // set from outside: other code, clearing, exporters, archive readers
        ValueChange = 1,      // the item's own typed value produced them
        SourceChange = 2,     // taken from the source item
        DependentChange = 3,  // a dependent item pushed its bytes into its source
        ReadChange = 4,       // result of a read task
        TrendChange = 5,      // the trend changed (or the current trend sample)
        ArrayIndexChange = 6, // the array index changed
    };
    Q_ENUM(BytesChangeType)

    // What the item's table model shows: the elements of the current list, or the trend.
    enum ModelType : int { ArrayModel = 0, TrendModel = 1 };
    Q_ENUM(ModelType)

    // The role under which the model answers a row's label (a trend sample's time).
    static constexpr int LabelRole = 0x1001F;

    // bytesPerElement: the size of one element (2 for 16-bit items, 4 for 32-bit, ...).
    explicit ModbusItemBase(int bytesPerElement, QObject *parent = nullptr);
    // Leaves the client first (its interval task stops), then the model goes.
    ~ModbusItemBase() override;

    // Reading and writing state.
    ModbusClient *client() const { return m_client; }
    void setClient(ModbusClient *client);
    int interval() const { return m_interval; }
    void setInterval(int value);
    QDateTime lastReadTime() const { return m_lastReadTime; }
    void setLastReadTime(const QDateTime &time);
    QDateTime lastWriteTime() const { return m_lastWriteTime; }
    void setLastWriteTime(const QDateTime &time);
    bool executing() const { return m_executing; }
    void setExecuting(bool value);
    void setReadOnly(bool value);
    // The property's own switch, or a beginReading() that is not yet ended.
    bool intervalReading() const { return m_intervalReading || m_intervalReadingCounter != 0; }
    void setIntervalReading(bool value);
    bool wasRead() const { return m_wasRead; }
    void setWasRead(bool value);
    bool wasWrite() const { return m_wasWrite; }
    void setWasWrite(bool value);
    bool readAfterWrite() const { return m_readAfterWrite; }
    void setReadAfterWrite(bool value);
    quint64 readCount() const { return m_readCount; }
    quint64 writeCount() const { return m_writeCount; }
    // Good reads left before interval reading is switched off; 0: no limit.
    int readingCounter() const { return m_readingCounter; }
    void setReadingCounter(int value);
    bool force() const { return m_force; }
    void setForce(bool value);
    bool readOnConnect() const { return m_readOnConnect; }
    void setReadOnConnect(bool value);
    bool connected() const { return m_connected; }
    void setConnected(bool value);
    bool useOptimizing() const { return m_useOptimizing; }
    void setUseOptimizing(bool value);
    bool liveRead() const { return m_liveRead; }
    void setLiveRead(bool value);
    bool liveWrite() const { return m_liveWrite; }
    void setLiveWrite(bool value);
    quint32 intervalReadingCounter() const { return m_intervalReadingCounter; }
    int deviceAddress() const { return m_deviceAddress; }
    // Turns useClientDeviceAddress off; values outside 0..255 change nothing else.
    void setDeviceAddress(int value);
    bool useClientDeviceAddress() const { return m_useClientDeviceAddress; }
    void setUseClientDeviceAddress(bool value);
    int count() const { return m_count; }
    // Values below 1 are ignored.
    void setCount(int value);
    bool actualValue() const { return m_actualValue; }
    void setActualValue(bool value);
    QString group() const { return m_group; }
    bool checkReadTaskCount() const { return m_checkReadTaskCount; }
    void setCheckReadTaskCount(bool value) { m_checkReadTaskCount = value; }
    int requestItemBytesCount() const { return m_requestItemBytesCount; }
    // Stores the element size, then takes the source's bytes again and restarts interval reading.
    void setRequestItemBytesCount(int value);

    // Bytes of one element as stored, times count.
    int requestBytesCount() const { return m_requestItemBytesCount * m_count; }
    // Bytes of one element as it goes on the bus, times count.
    int requestModbusBytesCount() const { return requestItemModbusBytesCount() * m_count; }

    // Whether a client is set; reports the missing property otherwise.
    bool checkClient();
    // Whether the item's group is one of groups (an empty group matches an empty list).
    bool containedIn(const QStringList &groups) const;

    // Sources, arrays and trend.
    ModbusItemBase *source() const { return m_source; }
    void setSource(ModbusItemBase *source);
    int sourceByteIndex() const { return m_sourceByteIndex; }
    void setSourceByteIndex(int index);
    int sourceTrendIndex() const { return m_sourceTrendIndex; }
    void setSourceTrendIndex(int index);
    int sourceArrayIndex() const { return m_sourceArrayIndex; }
    // Negative values are ignored.
    void setSourceArrayIndex(int index);
    int arrayIndex() const { return m_arrayIndex; }
    void setArrayIndex(int index);
    int trendIndex() const { return m_trendIndex; }
    int maxTrendSize() const { return m_maxTrendSize; }
    int trendSize() const { return m_trend.size(); }
    void removeTrendItems(int first, int last);
    int arraySize() const { return bytesArray().size(); }
    InternalItemModel *model() const { return m_model; }
    ModelType modelType() const { return m_modelType; }
    void setModelType(ModelType type);
    int binaryBaseLength() const { return m_binaryBaseLength; }
    const RoleItems &roles() const { return m_roles; }
    // Hands the roles to the table model too.
    void setRoles(const RoleItems &roles);
    QQmlListProperty<ModbusItemBase> items();
    const QList<ModbusItemBase *> &itemList() const { return m_items; }

    // The element list of a trend sample (-1: the top array); null out of range.
    const ModbusBytesArray *trendBytesArray(int trendIndex) const;
    const ModbusBytes *specifiedBytes(int trendIndex, int arrayIndex) const;
    // The current list and element; empty ones when there is none.
    const ModbusBytesArray &bytesArray() const;
    const ModbusBytesArray &topBytesArray() const { return m_topBytesArray; }
    const ModbusBytes &bytes() const;
    const ModbusBytes &topBytes() const;
    const ModbusBytes *arrayBytes(int index) const;
    // The current element of a trend sample (-1: of the top array); null out of range.
    const ModbusBytes *trendBytes(int trendIndex) const;
    const TrendBytesItem *trendItem(int index) const;
    const TrendBytesBuffer &trend() const { return m_trend; }
    QVariant variantValue() const;
    QVariant trendValue(int trendIndex) const;
    QString bytesHex() const;
    int modelRowsCount() const;
    // A row of the table model: an element of the current list or a trend sample.
    QVariant data(int row, int role) const;

    void setBytes(const ModbusBytes &bytes, BytesChangeType changeType);
    void setBytesArray(const ModbusBytesArray &array, BytesChangeType changeType);
    // Adds records after the current list's last one. Views are told of the new rows only, so
    // that a list growing answer by answer costs each answer its own records, not the whole list.
    void appendBytesArray(const ModbusBytesArray &records, BytesChangeType changeType);
    void setTopBytesArray(const ModbusBytesArray &array, BytesChangeType changeType);

    // Row notifications for the table model, passed on only for the item's current model type.
    void doItemsAboutToBeInserted(ModelType type, int first, int last);
    void doItemsInserted(ModelType type);
    void doItemsAboutToBeRemoved(ModelType type, int first, int last);
    void doItemsRemoved(ModelType type);
    void doAboutToBeReset(ModelType type);
    void doReset(ModelType type);
    void doItemsAboutToBeMoved(ModelType type, int first, int last, int to);
    void doItemsMoved(ModelType type);
    void doItemsChanged(ModelType type, int first, int last);
    // Nestable: a change that reaches the item again through its source resets only once.
    void doArrayModelAboutToBeReset();
    void doArrayModelReset();

    Q_INVOKABLE QVariant getModelValue(int row, int column = 0) const;
    Q_INVOKABLE QVariant getModelValue(int row, const QString &roleName) const;
    Q_INVOKABLE QString getModelHeader(const QString &roleName) const;
    Q_INVOKABLE QString getBinaryValue(int baseLength = -1) const;
    // For beforeRead and beforeWrite handlers in QML, which cannot set the signal's cancel
    // argument: stops the request being announced. Outside such a handler it does nothing.
    Q_INVOKABLE void cancelRequest();

    // Virtual operations, in the order derived kinds rely on.
    virtual ModbusBytesArray getModbusBytes() const;
    // The elements as the item sends them (a derived item may pad or reorder them).
    virtual ModbusBytesArray getModbusBytes(const ModbusBytesArray &elements) const;
    virtual QString formatValue() const = 0;
    virtual void setFormatValue(const QString &text) = 0;
    virtual QString binaryValue() const;
    virtual bool readOnly() const { return m_readOnly; }
    virtual void setMaxTrendSize(int size);
    virtual void setTrendIndex(int index);
    // A new task of the item's kind; the caller owns it. Null when the item cannot do that
    // (an archive item's write, say): the caller takes it as a failure.
    virtual ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) = 0;
    // A finished task of the item, in the GUI thread; whether its result was taken.
    virtual bool taskCompleted(ModbusTask *task);
    virtual int requestItemModbusBytesCount() const { return m_requestItemBytesCount; }
    void componentComplete() override;
    virtual void taskCreated(ModbusTask *task) const;
    virtual void applyResultTask(const ModbusTask &task);
    virtual void newBytesFromSource(const ModbusBytesArray &array);
    virtual void modifySourceBytes();
    virtual void receiveBytesFromSource();
    virtual ModbusBytes getBytesFromSourceBytes(const ModbusBytes &sourceBytes) const;
    virtual void bytesWasChanged();
    virtual void updateValueFromBytes() = 0;
    virtual void registerSource(ModbusItemBase *source);
    virtual void unRegisterSource(ModbusItemBase *source);
    virtual bool checkValidResultTask(ModbusTask *task);
    virtual void registerClient(ModbusClient *client);
    // Disconnects everything between the client and the item.
    virtual void unRegisterClient(ModbusClient *client);
    virtual void onAfterReadTask(const ModbusTask &task);
    virtual void onAfterWriteTask(const ModbusTask &task);
    // The stored value no longer means what it did: read again where the item reads live.
    virtual void needValueRead();
    virtual bool internalReading(bool sync);
    virtual bool internalWriting(const ModbusBytesArray *elements, bool sync);
    virtual void insertTopBytesToTrend(const QDateTime &time);
    virtual void insertBytesToTrend(const QDateTime &time, const ModbusBytesArray &array);
    virtual QVariant getTypedValue(const ModbusBytes &bytes) const = 0;

public slots:
    virtual bool read();
    virtual bool write();
    virtual bool readSync();
    virtual bool writeSync();
    // Cut into elements of one element's size, at most count of them.
    virtual bool write(const ModbusBytes &bytes);
    virtual bool write(const ModbusBytesArray &elements);
    virtual bool writeSync(const ModbusBytes &bytes);
    virtual bool writeSync(const ModbusBytesArray &elements);
    // Nestable switch of interval reading along the source chain.
    void beginReading();
    void endReading();
    void clearTrend();
    // Drops the item's pending tasks and stops its running one at the next block boundary.
    void abortExecuting();
    QString getRoleNames() const;
    void clearArray();
    void setGroup(const QString &group);
    void setBinaryBaseLength(int length);

public:
    virtual void startReading();
    virtual void stopReading();
    virtual QVariant data(const ModbusBytes &bytes, int role) const;

signals:
    void formatValueChanged();
    void binaryBaseLengthChanged(int length);
    void intervalChanged();
    void lastReadTimeChanged();
    void lastWriteTimeChanged();
    void readOnlyChanged();
    void clientChanged();
    void executingChanged();
    void intervalReadingChanged();
    void wasReadChanged();
    void wasWriteChanged();
    void readAfterWriteChanged();
    void readCountChanged();
    void writeCountChanged();
    void readingCounterChanged();
    void forceChanged();
    void readOnConnectChanged();
    void connectedChanged();
    void sourceChanged();
    void sourceByteIndexChanged();
    void sourceTrendIndexChanged();
    void sourceArrayIndexChanged();
    void arrayIndexChanged();
    void useOptimizingChanged();
    void liveReadChanged();
    void liveWriteChanged();
    void itemsChanged();
    void intervalReadingCounterChanged();
    void trendIndexChanged();
    void maxTrendSizeChanged();
    void trendSizeChanged();
    void deviceAddressChanged();
    void useClientDeviceAddressChanged();
    void countChanged();
    void arraySizeChanged();
    void modelChanged();
    void modelTypeChanged();
    void actualValueChanged();
    void groupChanged(const QString &group);
    void bytesChanged(ModbusItemBase::BytesChangeType changeType);
    void bytesWasRead(const QDateTime &label);
    // Direct connections only: a handler sets cancel to stop the request.
    void beforeRead(bool &cancel);
    void beforeWrite(bool &cancel);
    void afterRead();
    void afterWrite();
    // A write that the device refused or left unanswered; the error signal tells of failed reads
    // too, so a writer that must know whether its own step was taken waits for this or afterWrite.
    void writeFailed(const QString &text);
    void binaryValueChanged();
    void abortExecutingInternal(ModbusItemBase *item);

protected:
    // Replaces the interval task by a fresh one, for an item whose request changed (address,
    // file range, archive).
    void reinitIntervalReading();

private slots:
    void onClientDestroyed();
    void onClientConnectedChanged();
    void onClientDeviceAddressChanged();
    void onSourceDestroyed();
    void onSourceBytesChanged(ModbusItemBase::BytesChangeType changeType);
    void onSourceBytesWasRead(const QDateTime &label);
    void onClientReadingAll(QHash<QString, bool> exceptGroups);
    void onClientReadingGroups(QHash<QString, bool> groups);
    void onClientCollectItems(QList<ModbusItemBase *> &list,
                              const QStringList &groups = QStringList());
    void onClientCountItems(int &result, const QStringList &groups);

private:
    bool internalRead(bool sync);
    bool internalWrite(const ModbusBytesArray *elements, bool sync);
    void emitCancellable(void (ModbusItemBase::*announce)(bool &), bool &cancel);
    void setIntervalReadingCounter(quint32 value);
    void updateConnected();
    void setDeviceAddressInternal(int value);
    void requestSizeChanged();

    void currentBytesChanged(BytesChangeType changeType);
    void setBytesInternal(const ModbusBytes &bytes, BytesChangeType changeType, int trendIndex,
                          int arrayIndex);
    bool setSpecifiedBytesInternal(const ModbusBytes &bytes, int trendIndex, int arrayIndex);
    void setBytesArrayInternal(const ModbusBytesArray &array, BytesChangeType changeType,
                               int trendIndex);
    void resizeTrendBytes(int size);

    static void appendItem(QQmlListProperty<ModbusItemBase> *list, ModbusItemBase *item);
    static qsizetype itemCount(QQmlListProperty<ModbusItemBase> *list);
    static ModbusItemBase *itemAt(QQmlListProperty<ModbusItemBase> *list, qsizetype index);
    static void clearItems(QQmlListProperty<ModbusItemBase> *list);
    static void replaceItem(QQmlListProperty<ModbusItemBase> *list, qsizetype index,
                            ModbusItemBase *item);
    static void removeLastItem(QQmlListProperty<ModbusItemBase> *list);
    void adoptChild(qsizetype index);

    bool m_readOnly = false;
    RoleItems m_roles;
    ModbusClient *m_client = nullptr;
    int m_interval = 1000;
    QDateTime m_lastReadTime;
    QDateTime m_lastWriteTime;
    bool m_executing = false;
    bool m_intervalReading = false;
    bool m_wasRead = false;
    bool m_wasWrite = false;
    bool m_readAfterWrite = false;
    quint64 m_readCount = 0;
    quint64 m_writeCount = 0;
    int m_readingCounter = 0;
    bool m_force = false;
    bool m_readOnConnect = false;
    bool m_connected = false;
    int m_requestItemBytesCount;
    ModbusItemBase *m_source = nullptr;
    int m_sourceByteIndex = 0;
    bool m_useOptimizing = true;
    bool m_liveRead = false;
    bool m_liveWrite = false;
    quint32 m_intervalReadingCounter = 0;
    int m_trendIndex = -1;
    int m_maxTrendSize = 0;
    TrendBytesBuffer m_trend;
    bool m_sourceByteIndexAssigned = false;
    int m_sourceTrendIndex = -1;
    quint8 m_deviceAddress = 1;
    int m_arrayIndex = 0;
    int m_sourceArrayIndex = 0;
    int m_count = 1;
    ModelType m_modelType = ArrayModel;
    bool m_actualValue = false;
    ModbusBytesArray m_topBytesArray;
    bool m_reading = false;
    bool m_writing = false;
    // The cancel flag of the beforeRead or beforeWrite being emitted; null otherwise.
    bool *m_requestCancel = nullptr;
    bool m_useClientDeviceAddress = true;
    bool m_checkReadTaskCount = true;
    InternalItemModel *m_model = nullptr;
    QString m_group;
    // The children, in declaration order; a child deleted by other code leaves the list.
    QList<ModbusItemBase *> m_items;
    bool m_pendingRead = false;
    int m_binaryBaseLength = -1;
    int m_arrayResetDepth = 0;
    // Set by the destructor: leaving the client then must not start a read.
    bool m_destroying = false;
};

// Keeps, in order, each variant holding an object that is a register item.
DORRIKBUS_EXPORT QList<ModbusItemBase *> itemsFromVariantList(const QVariantList &list);
// Each item as an object variant, in order.
DORRIKBUS_EXPORT QVariantList variantListFromObjects(const QList<ModbusItemBase *> &objects);

#endif
