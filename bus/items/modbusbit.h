#ifndef MODBUSBIT_H
#define MODBUSBIT_H

#include "modbusitembytebase.h"

// One bit as a boolean: usually one flag of its source's bytes (a status word read once, several
// bit items on it), or standing alone, the lowest bit of its own byte. Its own byte is 0x01 or
// 0x00.
class DORRIKBUS_EXPORT ModbusBit : public ModbusItemByteBase
{
    Q_OBJECT
    Q_PROPERTY(bool value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QString trueString READ trueString WRITE setTrueString NOTIFY trueStringChanged)
    Q_PROPERTY(QString falseString READ falseString WRITE setFalseString NOTIFY falseStringChanged)
    Q_PROPERTY(
        int sourceBitIndex READ sourceBitIndex WRITE setSourceBitIndex NOTIFY sourceBitIndexChanged)
    Q_PROPERTY(bool reverseSourceWords READ reverseSourceWords WRITE setReverseSourceWords NOTIFY
                   reverseSourceWordsChanged)

public:
    explicit ModbusBit(QObject *parent = nullptr);
    ModbusBit(quint32 address, QObject *parent = nullptr);

    bool value() const { return m_value; }
    void setValue(bool value);
    QString trueString() const { return m_trueString; }
    void setTrueString(const QString &text);
    QString falseString() const { return m_falseString; }
    void setFalseString(const QString &text);
    // Counted from the least significant bit of the source byte; 8 and more run on into the
    // following bytes.
    int sourceBitIndex() const { return m_sourceBitIndex; }
    void setSourceBitIndex(int index);
    // The source byte is taken from the other half of its 16-bit word.
    bool reverseSourceWords() const { return m_reverseSourceWords; }

    QString formatValue() const override;
    // Either state text, in any case; any other text changes nothing.
    void setFormatValue(const QString &text) override;
    void modifySourceBytes() override;
    ModbusBytes getBytesFromSourceBytes(const ModbusBytes &source) const override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes 0x01 or 0x00 (a register 0x0001 or 0x0000); the value waits for the next read.
    virtual bool writeValue(bool value);
    void setReverseSourceWords(bool on);

signals:
    void valueChanged();
    void falseStringChanged();
    void trueStringChanged();
    void sourceBitIndexChanged();
    void reverseSourceWordsChanged(bool on);

private:
    // The bit's number in the source's bytes (bit n % 8 of byte n / 8).
    int sourceBitNumber() const;
    void assignValue(bool value, bool encode);

    bool m_value = false;
    QString m_trueString;
    QString m_falseString;
    int m_sourceBitIndex = 0;
    bool m_reverseSourceWords = false;
};

#endif
