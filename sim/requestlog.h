#ifndef REQUESTLOG_H
#define REQUESTLOG_H

#include "simulatedinstrument.h"

#include <QList>
#include <QString>
#include <QStringList>

// The simulated instrument's request log as text lines, so that tests state what must reach the
// instrument as tables of regular expressions.
namespace RequestLog {

enum Unit { WithoutUnit, WithUnit };

// "R <address> <count>" for register reads, "W <address> <hex bytes>" for register writes,
// "FR"/"FW <file> <record> <registers>" for file records (the file as 0x80, the record in
// registers), "A<function> <archive> <label> <count>" for archive records (65, 67) and presence
// (66), with the archive as 0x0105, a time label as the instrument's wall clock
// (2026-12-10T12:00:00), an index label as a number, and " back" for a backward search;
// "F<function>" otherwise. WithUnit appends " u<unit>".
QString describe(const InstrumentRequest &request, Unit unit = WithoutUnit);
QStringList described(const QList<InstrumentRequest> &requests, Unit unit = WithoutUnit);

bool isRead(const InstrumentRequest &request);  // holding or input registers
bool isWrite(const InstrumentRequest &request); // one or several registers
// Register reads whose registers include `address`.
int readsOf(const QList<InstrumentRequest> &requests, quint32 address);

// Whether the whole line matches the regular expression.
bool matches(const QString &line, const QString &pattern);
// Whether the patterns match lines of the log in their order (others may come between).
bool inOrder(const QStringList &log, const QStringList &patterns);
int countOf(const QStringList &log, const QString &pattern);

} // namespace RequestLog

#endif
