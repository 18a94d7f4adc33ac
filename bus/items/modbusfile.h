#ifndef MODBUSFILE_H
#define MODBUSFILE_H

#include "modbusitembase.h"

// A record range of a device file, read and written with the file-record functions (68, 69) and
// shown as hexadecimal text. Records count registers, so an odd length goes out with a zero byte
// in front.
class DORRIKBUS_EXPORT ModbusFile : public ModbusItemBase
{
    Q_OBJECT
    Q_CLASSINFO("ExportProp", "file")
    Q_CLASSINFO("ExportProp", "offset")
    Q_CLASSINFO("ExportProp", "length")
    Q_PROPERTY(int file READ file WRITE setFile NOTIFY fileChanged)
    Q_PROPERTY(int offset READ offset WRITE setOffset NOTIFY offsetChanged)
    Q_PROPERTY(int length READ length WRITE setLength NOTIFY lengthChanged)
    Q_PROPERTY(int modbusBlockSize READ modbusBlockSize WRITE setModbusBlockSize NOTIFY
                   modbusBlockSizeChanged)
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusFile(QObject *parent = nullptr);

    quint8 file() const { return m_file; }
    // The first record number in the file.
    quint16 offset() const { return m_offset; }
    // In bytes.
    int length() const { return m_length; }
    // Registers per request; 0 (or more than fits a request) for the largest.
    int modbusBlockSize() const { return m_modbusBlockSize; }
    // The bytes in lower-case hexadecimal, made at each call.
    QString value() const;

    ModbusBytesArray getModbusBytes(const ModbusBytesArray &elements) const override;
    QString formatValue() const override { return value(); }
    void setFormatValue(const QString &text) override { setValue(text); }
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    int requestItemModbusBytesCount() const override;
    void updateValueFromBytes() override;
    bool checkValidResultTask(ModbusTask *task) override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    void setFile(quint8 file);
    void setOffset(quint16 offset);
    // A negative length is ignored.
    virtual void setLength(int length);
    // Applies to tasks made from now on.
    void setModbusBlockSize(int size);
    // Characters that are not hexadecimal digits are skipped.
    void setValue(const QString &value);

signals:
    void fileChanged(quint8 file);
    void offsetChanged(quint16 offset);
    void lengthChanged(int length);
    void modbusBlockSizeChanged(int size);
    void valueChanged();

private:
    quint8 m_file = 0;
    quint16 m_offset = 0;
    int m_length = 1;
    int m_modbusBlockSize = 0;
};

#endif
