#ifndef HISTORYBLOCK_H
#define HISTORYBLOCK_H

#include "modbusbytes.h"
#include "modbusbytesarray.h"

#include <QDateTime>

#include <functional>

// The instrument's history block: a "more" word, a record count and 24-byte records. Shared by
// the flow-rate, heat and pressure history items, which differ only in how a record is decoded
// and where its time stamp lies.
namespace HistoryBlock {

constexpr int HeaderSize = 4;
constexpr int RecordSize = 24;

// The double struct at `at` re-encoded in its usual form, or its original 8 bytes when the value
// cannot be encoded again.
DORRIKBUS_EXPORT ModbusBytes normalisedDoubleStruct(const ModbusBytes &block, int at);

// Records of `block` appended to `list` (each through `record(block, offset)`), without the
// base's initial zero element, cut to the newest `maxSize`, and stamped back from `now` one
// second per record at `stampOffset`.
DORRIKBUS_EXPORT ModbusBytesArray
merge(ModbusBytesArray list, const ModbusBytes &block, int itemSize, int maxSize,
      const QDateTime &now, int stampOffset,
      const std::function<ModbusBytes(const ModbusBytes &, int)> &record);

} // namespace HistoryBlock

#endif
