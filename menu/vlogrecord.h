#ifndef VLOGRECORD_H
#define VLOGRECORD_H

#include <QDateTime>
#include <QString>

// One row of the log: the text is kept trimmed.
class VLogRecord
{
public:
    // The row's "status" and the code written to the file.
    enum MessageType { Plain = 0, Debug = 1, Warning = 2, Critical = 3, Fatal = 4 };

    VLogRecord(const QString &text, const QDateTime &time, MessageType type);

    MessageType type() const { return m_type; }
    QString text() const { return m_text; }
    QDateTime time() const { return m_time; }

private:
    MessageType m_type;
    QString m_text;
    QDateTime m_time;
};

#endif // VLOGRECORD_H
