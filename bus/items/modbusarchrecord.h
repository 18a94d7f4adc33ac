#ifndef MODBUSARCHRECORD_H
#define MODBUSARCHRECORD_H

#include "modbusarchlabel.h"
#include "modbusitemarchlabeledbase.h"

#include <QList>

// Archive records from the item's label on, one element per record. Function 65 reads a run of
// labels computed from the calendar; function 67 first asks its presence object which labels
// exist and then reads exactly those. The layout of a record belongs to subclasses.
class DORRIKBUS_EXPORT ModbusArchRecord : public ModbusItemArchLabeledBase
{
    Q_OBJECT
    Q_PROPERTY(bool exists READ exists WRITE setExists NOTIFY existsChanged)
    Q_PROPERTY(int recordSize READ recordSize WRITE setRecordSize NOTIFY recordSizeChanged)
    Q_PROPERTY(bool checkRecordSize READ checkRecordSize WRITE setCheckRecordSize NOTIFY
                   checkRecordSizeChanged)
    Q_PROPERTY(bool useCurrentTime READ useCurrentTime WRITE setUseCurrentTime NOTIFY
                   useCurrentTimeChanged)
    Q_PROPERTY(bool useNearLabel READ useNearLabel WRITE setUseNearLabel NOTIFY useNearLabelChanged)
    Q_PROPERTY(QVariant prevLabel READ prevLabel NOTIFY prevLabelChanged)
    Q_PROPERTY(QVariant nextLabel READ nextLabel NOTIFY nextLabelChanged)
    Q_PROPERTY(bool prevLabelExists READ prevLabelExists NOTIFY prevLabelExistsChanged)
    Q_PROPERTY(bool nextLabelExists READ nextLabelExists NOTIFY nextLabelExistsChanged)
    Q_PROPERTY(QVariant firstLabel READ firstLabel NOTIFY firstLabelChanged)
    Q_PROPERTY(QVariant lastLabel READ lastLabel NOTIFY lastLabelChanged)
    Q_PROPERTY(bool usePrev READ usePrev WRITE setUsePrev NOTIFY usePrevChanged)
    Q_PROPERTY(bool useNext READ useNext WRITE setUseNext NOTIFY useNextChanged)
    Q_PROPERTY(bool useFirst READ useFirst WRITE setUseFirst NOTIFY useFirstChanged)
    Q_PROPERTY(bool useLast READ useLast WRITE setUseLast NOTIFY useLastChanged)
    Q_PROPERTY(bool normalizeLabel READ normalizeLabel WRITE setNormalizeLabel NOTIFY
                   normalizeLabelChanged)

public:
    static constexpr int ExistsRole = 0x10021;

    explicit ModbusArchRecord(QObject *parent = nullptr);

    bool exists() const { return m_exists; }
    void setExists(bool value);
    int recordSize() const { return m_recordSize; }
    void setRecordSize(int size);
    bool checkRecordSize() const { return m_checkRecordSize; }
    void setCheckRecordSize(bool value);
    bool useCurrentTime() const { return m_useCurrentTime; }
    void setUseCurrentTime(bool value);
    bool useNearLabel() const { return m_useNearLabel; }
    void setUseNearLabel(bool value);
    bool normalizeLabel() const { return m_normalizeLabel; }
    const QList<quint32> &labels() const { return m_labels; }

    // The presence object's values, straight through.
    QVariant prevLabel() const { return m_presence.prevLabel(); }
    QVariant nextLabel() const { return m_presence.nextLabel(); }
    bool prevLabelExists() const { return m_presence.prevLabelExists(); }
    bool nextLabelExists() const { return m_presence.nextLabelExists(); }
    QVariant firstLabel() const { return m_presence.firstLabel(); }
    QVariant lastLabel() const { return m_presence.lastLabel(); }
    bool usePrev() const { return m_presence.usePrev(); }
    void setUsePrev(bool value) { m_presence.setUsePrev(value); }
    bool useNext() const { return m_presence.useNext(); }
    void setUseNext(bool value) { m_presence.setUseNext(value); }
    bool useFirst() const { return m_presence.useFirst(); }
    void setUseFirst(bool value) { m_presence.setUseFirst(value); }
    bool useLast() const { return m_presence.useLast(); }
    void setUseLast(bool value) { m_presence.setUseLast(value); }
    ModbusArchLabel &presence() { return m_presence; }

    bool readPresence(quint32 label, int count, bool sync);
    // Hands the archive settings and the client to the presence object.
    void updateArchPresenceObject();
    void reinitLabels();
    bool internalReadRecords(bool sync);
    bool readNextInternal(bool sync);
    bool readPrevInternal(bool sync);

    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    void applyResultTask(const ModbusTask &task) override;
    void bytesWasChanged() override;
    bool checkValidResultTask(ModbusTask *task) override;
    void needValueRead() override;
    bool internalReading(bool sync) override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;
    QVariant data(const ModbusBytes &bytes, int role) const override;
    void onLabelChanged() override;

public slots:
    bool readNext() { return readNextInternal(false); }
    bool readNextSync() { return readNextInternal(true); }
    bool readPrev() { return readPrevInternal(false); }
    bool readPrevSync() { return readPrevInternal(true); }
    bool setNextLabel();
    bool setPrevLabel();
    void setNormalizeLabel(bool value);

signals:
    void existsChanged();
    void recordSizeChanged();
    void checkRecordSizeChanged();
    void useCurrentTimeChanged();
    void useNearLabelChanged();
    void prevLabelChanged();
    void nextLabelChanged();
    void prevLabelExistsChanged();
    void nextLabelExistsChanged();
    void firstLabelChanged();
    void lastLabelChanged();
    void usePrevChanged();
    void useNextChanged();
    void useFirstChanged();
    void useLastChanged();
    void normalizeLabelChanged(bool value);

private slots:
    void onPresenceAfterRead();

private:
    // The neighbour label of a move by one record; ok false when there is none to move to.
    quint32 neighbourLabel(bool next, bool *ok) const;
    bool move(bool next, bool sync);

    bool m_exists = false;
    ModbusArchLabel m_presence;
    int m_recordSize = 0;
    bool m_checkRecordSize = false;
    bool m_useCurrentTime = false;
    bool m_presenceReadIsSync = false;
    QList<quint32> m_labels;
    bool m_useNearLabel = true;
    bool m_normalizeLabel = false;
};

#endif
