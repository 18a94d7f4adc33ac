#ifndef MODBUSARCHLABEL_H
#define MODBUSARCHLABEL_H

#include "modbusitemarchlabeledbase.h"

// The labels that exist in an archive from the item's label on, in its direction: one 4-byte
// big-endian label per element, and, as asked, the previous and next existing labels and the
// archive's first and last. Only what a task asked for changes with its answer.
class DORRIKBUS_EXPORT ModbusArchLabel : public ModbusItemArchLabeledBase
{
    Q_OBJECT
    Q_PROPERTY(DorrikBus::ArchDirection direction READ direction WRITE setDirection NOTIFY
                   directionChanged)
    Q_PROPERTY(bool usePrev READ usePrev WRITE setUsePrev NOTIFY usePrevChanged)
    Q_PROPERTY(bool useNext READ useNext WRITE setUseNext NOTIFY useNextChanged)
    Q_PROPERTY(bool useFirst READ useFirst WRITE setUseFirst NOTIFY useFirstChanged)
    Q_PROPERTY(bool useLast READ useLast WRITE setUseLast NOTIFY useLastChanged)
    Q_PROPERTY(QVariant prevLabel READ prevLabel NOTIFY prevLabelChanged)
    Q_PROPERTY(QVariant nextLabel READ nextLabel NOTIFY nextLabelChanged)
    Q_PROPERTY(QVariant firstLabel READ firstLabel NOTIFY firstLabelChanged)
    Q_PROPERTY(QVariant lastLabel READ lastLabel NOTIFY lastLabelChanged)
    Q_PROPERTY(bool prevLabelExists READ prevLabelExists NOTIFY prevLabelExistsChanged)
    Q_PROPERTY(bool nextLabelExists READ nextLabelExists NOTIFY nextLabelExistsChanged)
    Q_PROPERTY(QVariant value READ value NOTIFY valueChanged)
    Q_PROPERTY(
        QVariant endLabel READ endVariantLabel WRITE setEndVariantLabel NOTIFY endLabelChanged)
    Q_PROPERTY(int maxRequestLabels READ maxRequestLabels WRITE setMaxRequestLabels NOTIFY
                   maxRequestLabelsChanged)

public:
    explicit ModbusArchLabel(QObject *parent = nullptr);

    DorrikBus::ArchDirection direction() const { return m_direction; }
    void setDirection(DorrikBus::ArchDirection direction);
    bool usePrev() const { return m_usePrev; }
    void setUsePrev(bool value);
    bool useNext() const { return m_useNext; }
    void setUseNext(bool value);
    bool useFirst() const { return m_useFirst; }
    void setUseFirst(bool value);
    bool useLast() const { return m_useLast; }
    void setUseLast(bool value);

    QVariant prevLabel() const { return getVariantLabel(m_prevLabel, false); }
    QVariant nextLabel() const { return getVariantLabel(m_nextLabel, false); }
    QVariant firstLabel() const { return getVariantLabel(m_firstLabel, false); }
    QVariant lastLabel() const { return getVariantLabel(m_lastLabel, false); }
    quint32 prevLabelInt() const { return m_prevLabel; }
    quint32 nextLabelInt() const { return m_nextLabel; }
    quint32 firstLabelInt() const { return m_firstLabel; }
    quint32 lastLabelInt() const { return m_lastLabel; }
    void setPrevLabel(quint32 label);
    void setNextLabel(quint32 label);
    void setFirstLabel(quint32 label);
    void setLastLabel(quint32 label);
    bool prevLabelExists() const { return m_prevLabelExists; }
    void setPrevLabelExists(bool value);
    bool nextLabelExists() const { return m_nextLabelExists; }
    void setNextLabelExists(bool value);

    QVariant value() const { return getVariantLabel(m_value, false); }
    quint32 valueInt() const { return m_value; }
    void setValue(quint32 value);
    quint32 endLabel() const { return m_endLabel; }
    QVariant endVariantLabel() const { return getVariantLabel(m_endLabel, false); }
    int maxRequestLabels() const { return m_maxRequestLabels; }

    QString formatValue() const override;
    void setFormatValue(const QString &text) override;
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    void componentComplete() override;
    void applyResultTask(const ModbusTask &task) override;
    void updateValueFromBytes() override;
    bool checkValidResultTask(ModbusTask *task) override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;
    void onFuncChanged() override;

public slots:
    void setEndVariantLabel(const QVariant &label);
    void setMaxRequestLabels(int value);

signals:
    void directionChanged();
    void usePrevChanged();
    void useNextChanged();
    void useFirstChanged();
    void useLastChanged();
    void prevLabelChanged();
    void nextLabelChanged();
    void firstLabelChanged();
    void lastLabelChanged();
    void prevLabelExistsChanged();
    void nextLabelExistsChanged();
    void endLabelChanged();
    void maxRequestLabelsChanged(int value);

private:
    // Stores a use flag; a flag newly set asks a live item to read again.
    void setUseFlag(bool &flag, bool value, void (ModbusArchLabel::*changed)());

    DorrikBus::ArchDirection m_direction = DorrikBus::Forward;
    bool m_usePrev = false;
    bool m_useNext = false;
    bool m_useFirst = false;
    bool m_useLast = false;
    quint32 m_prevLabel = 0;
    quint32 m_nextLabel = 0;
    quint32 m_firstLabel = 0;
    quint32 m_lastLabel = 0xFFFFFFFF;
    bool m_prevLabelExists = true;
    bool m_nextLabelExists = true;
    quint32 m_value = 0;
    quint32 m_endLabel = 0;
    int m_maxRequestLabels = 62;
};

#endif
