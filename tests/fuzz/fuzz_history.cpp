// libFuzzer target for what the items make of the instrument's byte blocks: the history blocks
// of the flow-rate, heat and pressure items (a "more" word, a record count, 24-byte records)
// merged read after read; the trend byte buffer filled with samples whose times come from the
// device (archive labels, in any order, repeated); and the device report's text.
#include "fuzzinput.h"
#include "internalitemmodel.h"
#include "modbuscustombytes.h"
#include "modbusreport.h"
#include "modbustask.h"
#include "tavrinflowratehistoryitem.h"
#include "tavrinheathistoryitem.h"
#include "tavrinpressurehistoryitem.h"

#include <memory>

namespace {

// An item whose trend takes samples as a source's reads give them, stamped with their labels.
class TrendItem : public ModbusCustomBytes
{
public:
    using ModbusCustomBytes::insertBytesToTrend;
};

void readModel(const ModbusItemBase &item)
{
    const InternalItemModel *model = item.model();
    if (!model)
        return;
    const QList<int> roles = model->roleNames().keys();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int role : roles)
            model->data(model->index(row, 0), role);
}

template <typename Item> void mergeBlocks(FuzzInput &input)
{
    Item item;
    item.setCurrentTime(QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC));
    item.setMaxHistorySize(1 + input.byte() % 64);
    // Each block ends where its length byte says; a device may send a short or long one.
    for (int reads = 0; !input.atEnd() && reads < 6; ++reads) {
        const int length = input.byte();
        const ModbusBytes block = input.bytes(size_t(length) * 2);
        std::unique_ptr<ModbusTask> task(item.createModbusTask(DorrikBus::ReadTask, 0));
        if (!task)
            return;
        task->setBytes(ModbusBytesArray(QList<ModbusBytes>{block}));
        item.applyResultTask(*task);
        for (int row = 0; row < item.arraySize(); ++row)
            for (int role = 32; role <= 40; ++role)
                item.data(row, role);
    }
    readModel(item);
}

void fillTrend(FuzzInput &input)
{
    TrendItem item;
    item.setMaxTrendSize(1 + input.byte() % 16);
    item.setModelType(ModbusItemBase::TrendModel);
    while (!input.atEnd()) {
        const quint8 step = input.byte();
        const QDateTime time = QDateTime::fromSecsSinceEpoch(input.uint32(), Qt::UTC);
        switch (step % 4) {
        case 0:
        case 1:
            item.insertBytesToTrend(time, input.bytes(step >> 3).splitBySize(1 + (step & 3)));
            break;
        case 2:
            item.setTrendIndex(int(step >> 2) - 2);
            break;
        default:
            item.setMaxTrendSize(step >> 4);
            break;
        }
        const TrendBytesBuffer &trend = item.trend();
        trend.indexOf(time);
        trend.indexOf(time.toSecsSinceEpoch() > 0xFFFFFFFF ? 0u : quint32(time.toSecsSinceEpoch()));
        trend.maxIndexLabel();
        trend.minIndexLabel();
        trend.maxTimeLabel();
        trend.minTimeLabel();
        for (int i = -1; i <= item.trendSize(); ++i)
            item.trendValue(i);
    }
    readModel(item);
}

void readReport(FuzzInput &input)
{
    const ModbusBytes answer = input.rest();
    ModbusReport item;
    item.setTopBytesArray(ModbusBytesArray(answer, 0, -1), ModbusItemBase::ReadChange);
    item.value();
    item.deviceName();
    item.deviceVersion();
    item.deviceVersionList();
    item.getTypedValue(answer);
    // Set back from its text, as an editor would.
    item.setFormatValue(item.formatValue());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    FuzzInput input(data, size);
    switch (input.byte() % 5) {
    case 0:
        mergeBlocks<TavrinFlowRateHistoryItem>(input);
        break;
    case 1:
        mergeBlocks<TavrinHeatHistoryItem>(input);
        break;
    case 2:
        mergeBlocks<TavrinPressureHistoryItem>(input);
        break;
    case 3:
        fillTrend(input);
        break;
    default:
        readReport(input);
        break;
    }
    return 0;
}
