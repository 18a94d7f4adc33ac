#ifndef MODBUSTRENDMODEL_H
#define MODBUSTRENDMODEL_H

#include "dorrikbus_global.h"
#include "mydeclarativeparserstatus.h"
#include "trendmodelbase.h"

class ModbusItemBase;

// A trend model fed from a register item (each read it takes in), from a value bound from QML,
// or by sampling that value on a timer; it can take over the samples the item already keeps.
// GUI thread only; the item's signals reach it directly.
class DORRIKBUS_EXPORT ModbusTrendModel : public TrendModelBase, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QObject *item READ item WRITE setItem NOTIFY itemChanged)
    Q_PROPERTY(
        bool useItemBuffer READ useItemBuffer WRITE setUseItemBuffer NOTIFY useItemBufferChanged)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(qreal sourceValue READ sourceValue WRITE setSourceValue NOTIFY sourceValueChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)
    Q_PROPERTY(int interval READ interval WRITE setInterval NOTIFY intervalChanged)

public:
    explicit ModbusTrendModel(QObject *parent = nullptr);
    ~ModbusTrendModel() override;

    QObject *item() const { return m_item; }
    // Only a register item feeds values; any other object is merely watched for its destruction.
    void setItem(QObject *item);
    bool useItemBuffer() const { return m_useItemBuffer; }
    void setUseItemBuffer(bool value);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool value);
    qreal sourceValue() const { return m_sourceValue; }
    bool running() const { return m_running; }
    int interval() const { return m_interval; }
    // The sampling timer, 0 when none runs.
    int timerId() const { return m_timerId; }

    // Adds the item's current value at `time`; nothing without a register item.
    void appendItemVariantValue(const QDateTime &time);
    // Adds every sample of the item's own trend, oldest first.
    Q_INVOKABLE void appendItemBufferValues();

public slots:
    void setSourceValue(qreal value);
    void setRunning(bool value);
    void setInterval(int value);

signals:
    void itemChanged();
    void useItemBufferChanged();
    void enabledChanged();
    void sourceProperty(const QString &name);
    void sourceValueChanged(qreal value);
    void runningChanged(bool value);
    void intervalChanged(int value);

private slots:
    void onItemBytesWasRead(const QDateTime &time);
    void onItemDestroyed();

protected:
    void timerEvent(QTimerEvent *event) override;

public:
    void componentComplete() override;
    virtual void updateTimer();

private:
    void registerItem(QObject *item);
    void unRegisterItem(QObject *item);
    ModbusItemBase *modbusItem() const;

    QObject *m_item = nullptr;
    bool m_useItemBuffer = true;
    bool m_enabled = true;
    double m_sourceValue = 0.0;
    bool m_running = false;
    int m_interval = 1000;
    int m_timerId = 0;
};

#endif
