#ifndef TAVRINHISTORYITEMBASE_H
#define TAVRINHISTORYITEMBASE_H

#include "modbuscustombytes.h"

#include <QDateTime>

// The instrument's recent samples of one kind: each read of the 244-byte history block appends
// its records to a list of at most maxHistorySize records, oldest first, stamped one second apart
// back from currentTime. The kinds differ only in their register and their record layout.
class DORRIKBUS_EXPORT TavrinHistoryItemBase : public ModbusCustomBytes
{
    Q_OBJECT
    Q_PROPERTY(
        int maxHistorySize READ maxHistorySize WRITE setMaxHistorySize NOTIFY maxHistorySizeChanged)
    Q_PROPERTY(
        QDateTime currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)

public:
    // A block record starts with `singles` IEEE singles, followed by `doubleStructs` double
    // structs. The history record copies them in that order (the double structs decoded and
    // encoded again), then, with `difference`, the first double struct less the second, then the
    // 4-byte time stamp. The model's roles are 32, the stamp, then one per field from 33 on.
    struct Layout
    {
        quint32 address = 0;
        int singles = 0;
        int doubleStructs = 0;
        bool difference = false;
    };

    static constexpr int TimeRole = 32;

    ~TavrinHistoryItemBase() override;

    int maxHistorySize() const { return m_maxHistorySize; }
    QDateTime currentTime() const { return m_currentTime; }

    void applyResultTask(const ModbusTask &task) override;
    using ModbusCustomBytes::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;

signals:
    void maxHistorySizeChanged(int size);
    void currentTimeChanged(const QDateTime &time);

public slots:
    void setMaxHistorySize(int size);
    void setCurrentTime(const QDateTime &time);
    void setItemSize(int size) override;

protected:
    TavrinHistoryItemBase(const Layout &layout, QObject *parent);

private:
    ModbusBytes historyRecord(const ModbusBytes &block, int at) const;
    int stampOffset() const;

    const Layout m_layout;
    int m_maxHistorySize = 300;
    QDateTime m_currentTime;
};

#endif
