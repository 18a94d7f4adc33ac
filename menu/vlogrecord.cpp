#include "vlogrecord.h"

VLogRecord::VLogRecord(const QString &text, const QDateTime &time, MessageType type)
    : m_type(type), m_text(text.trimmed()), m_time(time)
{}
