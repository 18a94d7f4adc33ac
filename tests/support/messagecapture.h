#pragma once
// The console's lines while a test looks, the menu's own handler still called.

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

class MessageCapture
{
public:
    MessageCapture()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
        s_previous = qInstallMessageHandler(capture);
    }
    ~MessageCapture() { qInstallMessageHandler(s_previous); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    QStringList lines() const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines;
    }
    bool contains(const QString &text) const
    {
        for (const QString &line : lines()) {
            if (line.contains(text))
                return true;
        }
        return false;
    }
    // The lines of `wanted` that were logged, in the order they came.
    QStringList of(const QStringList &wanted) const
    {
        QStringList found;
        for (const QString &line : lines()) {
            if (wanted.contains(line))
                found << line;
        }
        return found;
    }

private:
    static void capture(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        {
            QMutexLocker lock(&s_mutex);
            s_lines << message;
        }
        if (s_previous)
            s_previous(type, context, message);
    }

    static inline QMutex s_mutex;
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};
