#ifndef MODBUSITEMBASE_H
#define MODBUSITEMBASE_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusbytesarray.h"
#include "mydeclarativeparserstatus.h"

#include <QDateTime>
#include <QVariant>

class ModbusClient;
class ModbusTask;

// The base of every register item: the raw bytes of one or more elements of the instrument's
// register space, turned into tasks for its client and filled from the finished tasks. Lives and
// is used only in the GUI thread; tasks reach it through guarded pointers.
class DORRIKBUS_EXPORT ModbusItemBase : public ErrObject, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_CLASSINFO("ExportProp", "count")
    Q_MOC_INCLUDE("modbusclient.h")
    Q_PROPERTY(QString formatValue READ formatValue WRITE setFormatValue NOTIFY formatValueChanged)
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(QDateTime lastReadTime READ lastReadTime NOTIFY lastReadTimeChanged)
    Q_PROPERTY(QDateTime lastWriteTime READ lastWriteTime NOTIFY lastWriteTimeChanged)
    Q_PROPERTY(bool readOnly READ readOnly NOTIFY readOnlyChanged)
    Q_PROPERTY(ModbusClient *client READ client WRITE setClient NOTIFY clientChanged)
    Q_PROPERTY(bool executing READ executing NOTIFY executingChanged)
    Q_PROPERTY(bool wasRead READ wasRead WRITE setWasRead NOTIFY wasReadChanged)
    Q_PROPERTY(bool wasWrite READ wasWrite WRITE setWasWrite NOTIFY wasWriteChanged)
    Q_PROPERTY(quint64 readCount READ readCount NOTIFY readCountChanged)
    Q_PROPERTY(quint64 writeCount READ writeCount NOTIFY writeCountChanged)
    Q_PROPERTY(bool force READ force WRITE setForce NOTIFY forceChanged)
    Q_PROPERTY(
        bool useOptimizing READ useOptimizing WRITE setUseOptimizing NOTIFY useOptimizingChanged)
    Q_PROPERTY(
        int deviceAddress READ deviceAddress WRITE setDeviceAddress NOTIFY deviceAddressChanged)
    Q_PROPERTY(int count READ count WRITE setCount NOTIFY countChanged)
    Q_PROPERTY(bool actualValue READ actualValue NOTIFY actualValueChanged)

public:
    // Why an item's bytes changed.
    enum BytesChangeType : int {
        ExternalChange = 0,  // set from outside: other code, clearing, exporters, archive readers
        ValueChange = 1,     // the item's own typed value produced them
        SourceChange = 2,    // taken from the source item
        DependentChange = 3, // a dependent item pushed its bytes into its source
        ReadChange = 4,      // result of a read task
        TrendChange = 5,
        ArrayIndexChange = 6
    };
    Q_ENUM(BytesChangeType)

    // bytesPerElement: the size of one element (2 for 16-bit items, 4 for 32-bit, ...).
    ModbusItemBase(int bytesPerElement, QObject *parent = nullptr);
    ~ModbusItemBase() override;

    ModbusClient *client() const { return m_client; }
    // Leaves the old client and registers with the new one, which detaches its items when it is
    // destroyed first.
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
    bool wasRead() const { return m_wasRead; }
    void setWasRead(bool value);
    bool wasWrite() const { return m_wasWrite; }
    void setWasWrite(bool value);
    quint64 readCount() const { return m_readCount; }
    quint64 writeCount() const { return m_writeCount; }
    bool force() const { return m_force; }
    void setForce(bool value);
    bool useOptimizing() const { return m_useOptimizing; }
    void setUseOptimizing(bool value);
    int deviceAddress() const { return m_deviceAddress; }
    // Values outside 0..255 are ignored.
    void setDeviceAddress(int value);
    int count() const { return m_count; }
    // Values below 1 are ignored.
    void setCount(int value);
    bool actualValue() const { return m_actualValue; }
    void setActualValue(bool value);
    bool checkReadTaskCount() const { return m_checkReadTaskCount; }
    void setCheckReadTaskCount(bool value) { m_checkReadTaskCount = value; }

    // Bytes of one element as stored, and of the whole item.
    int requestBytesCount() const { return m_requestItemBytesCount * m_count; }
    // Bytes of one element and of the whole item as they go on the bus.
    int requestModbusBytesCount() const { return requestItemModbusBytesCount() * m_count; }

    // The element list and the current element (empty when there is none).
    const ModbusBytesArray &topBytesArray() const { return m_topBytesArray; }
    const ModbusBytes &bytes() const;
    void setTopBytesArray(const ModbusBytesArray &array, BytesChangeType changeType);

    virtual ModbusBytesArray getModbusBytes() const;
    // The elements as the item sends them (a derived item may pad or reorder them).
    virtual ModbusBytesArray getModbusBytes(const ModbusBytesArray &elements) const;
    virtual QString formatValue() const = 0;
    virtual void setFormatValue(const QString &text) = 0;
    virtual bool readOnly() const { return m_readOnly; }
    // A new task of the item's kind; the caller owns it.
    virtual ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) = 0;
    // A finished task of the item, in the GUI thread; whether its result was taken.
    virtual bool taskCompleted(ModbusTask *task);
    virtual int requestItemModbusBytesCount() const { return m_requestItemBytesCount; }
    virtual void applyResultTask(const ModbusTask &task);
    virtual void updateValueFromBytes() = 0;
    virtual bool checkValidResultTask(ModbusTask *task);
    virtual void registerClient(ModbusClient *client);
    // Disconnects everything between the client and the item.
    virtual void unRegisterClient(ModbusClient *client);
    virtual void onAfterReadTask(const ModbusTask &task);
    virtual void onAfterWriteTask(const ModbusTask &task);
    virtual QVariant getTypedValue(const ModbusBytes &bytes) const = 0;

public slots:
    // Drops the item's pending tasks and stops its running one at the next block boundary.
    void abortExecuting();

signals:
    void formatValueChanged();
    void intervalChanged();
    void lastReadTimeChanged();
    void lastWriteTimeChanged();
    void readOnlyChanged();
    void clientChanged();
    void executingChanged();
    void wasReadChanged();
    void wasWriteChanged();
    void readCountChanged();
    void writeCountChanged();
    void forceChanged();
    void useOptimizingChanged();
    void deviceAddressChanged();
    void countChanged();
    void actualValueChanged();
    void bytesChanged(ModbusItemBase::BytesChangeType changeType);
    void bytesWasRead(const QDateTime &label);
    void afterRead();
    void afterWrite();
    void abortExecutingInternal(ModbusItemBase *item);

private slots:
    void onClientDestroyed();

private:
    bool m_readOnly = false;
    ModbusClient *m_client = nullptr;
    int m_interval = 1000;
    QDateTime m_lastReadTime;
    QDateTime m_lastWriteTime;
    bool m_executing = false;
    bool m_wasRead = false;
    bool m_wasWrite = false;
    quint64 m_readCount = 0;
    quint64 m_writeCount = 0;
    bool m_force = false;
    int m_requestItemBytesCount;
    bool m_useOptimizing = true;
    quint8 m_deviceAddress = 1;
    int m_count = 1;
    bool m_actualValue = false;
    ModbusBytesArray m_topBytesArray;
    bool m_checkReadTaskCount = true;
};

#endif
