// libFuzzer target for archive answers as the items decode them: the instrument's archive
// records in the layouts of its three generations (records of any length, as a faulty device or
// link may give them), the 4-byte archive labels of a presence answer, and the label calendar
// run on labels that came from the device.
#include "dorrikbus.h"
#include "fuzzinput.h"
#include "internalitemmodel.h"
#include "modbusarchlabel.h"
#include "modbusarchrecordtavrin.h"
#include "modbusbytesarray.h"

#include <QMetaProperty>

namespace {

// Reads every property, as QML bindings would.
void readProperties(const QObject &object)
{
    const QMetaObject *meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        meta->property(i).read(&object);
}

void decodeRecords(FuzzInput &input)
{
    const quint8 options = input.byte();
    ModbusArchRecordTavrin item;
    item.setTvnGeneration(1 + options % 3);
    item.setContainsHeat(options & 4);
    item.setCheckRecordSize(options & 8);
    QList<ModbusBytes> records;
    while (!input.atEnd() && records.size() < 8)
        records.append(input.bytes(input.byte() % 160));
    item.setBytesArray(ModbusBytesArray(records), ModbusItemBase::ReadChange);
    readProperties(item);
    const InternalItemModel *model = item.model();
    const QList<int> roles = model ? model->roleNames().keys() : QList<int>();
    for (int row = 0; row < item.arraySize(); ++row)
        for (int role = 32; role <= 64; ++role)
            item.data(row, role);
    if (model) {
        for (int row = 0; row < model->rowCount(); ++row)
            for (int role : roles)
                model->data(model->index(row, 0), role);
    }
    // A second answer replaces the first, as the next read would.
    item.setBytesArray(ModbusBytesArray(records.mid(1)), ModbusItemBase::ReadChange);
    readProperties(item);
}

void decodeLabels(FuzzInput &input)
{
    const quint8 options = input.byte();
    const auto type = DorrikBus::ArchType(options & 1);
    const auto interval = DorrikBus::ArchInterval((options >> 1) % 9);
    const auto direction = DorrikBus::ArchDirection((options >> 5) & 1);
    const ModbusBytes answer = input.rest();
    const QList<quint32> labels = answer.toArchLabels(0, -1);

    ModbusArchLabel item;
    item.setBytesArray(answer.splitBySize(4), ModbusItemBase::ReadChange);
    readProperties(item);
    item.formatValue();

    for (int i = 0; i < labels.size() && i < 16; ++i) {
        const quint32 label = labels.at(i);
        const quint32 other = labels.value(i + 1);
        bool ok = false;
        DorrikBus::getNextLabel(label, type, interval, &ok, other & 0xFFFF, direction);
        DorrikBus::getPrevLabel(label, type, interval, &ok, other & 0xFFFF);
        DorrikBus::normalizedArchLabel(label, type, interval);
        quint32 to = other;
        DorrikBus::getLabelsBetween(label, to, type, interval);
        DorrikBus::getLabelsBetween(DorrikBus::archLabelToTime(label),
                                    DorrikBus::archLabelToTime(other), interval);
        DorrikBus::getVariantLabel(label, type, true, QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        DorrikBus::getVariantLabel(label, type, false, QString());
        DorrikBus::archLabelToSeconds(DorrikBus::archLabelToTime(label));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    FuzzInput input(data, size);
    if (input.byte() & 1)
        decodeLabels(input);
    else
        decodeRecords(input);
    return 0;
}
