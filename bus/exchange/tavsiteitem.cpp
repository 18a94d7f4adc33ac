#include "tavsiteitem.h"

#include "modbuscrc.h"

TavSiteItem::TavSiteItem(QObject *parent) : ModbusFile(parent)
{
    // Bytes set through value or formatValue (an import, say) count as the item's own and are
    // not decoded by the base: the names must follow them all the same, or the next name edit
    // would rebuild the record from the old names.
    connect(this, &ModbusItemBase::bytesChanged, this, [this](BytesChangeType changeType) {
        if (changeType == ValueChange && !m_encoding)
            decodeRecord();
    });
}

TavSiteItem::~TavSiteItem() = default;

QStringList TavSiteItem::sitePath() const
{
    return {m_groupName, m_subGroupName, m_siteName};
}

ModbusBytes TavSiteItem::encodeRecord(const QStringList &names, int nameSize,
                                      int reservedBytesCount)
{
    ModbusBytes record;
    record.reserve(names.size() * nameSize + reservedBytesCount + 2);
    for (const QString &name : names) {
        ModbusBytes field = ModbusBytes::fromStringUtf8(name, nameSize);
        field.resize(nameSize);
        record << field;
    }
    record << ModbusBytes::fromSize(reservedBytesCount, 0);
    // qChecksumModbus gives the CRC in wire order: appended high byte first, the CRC's low byte
    // leads as in an RTU frame.
    record << qChecksumModbus(record);
    return record;
}

void TavSiteItem::updateBytes()
{
    m_encoding = true;
    setBytes(encodeRecord(sitePath(), m_nameSize, m_reservedBytesCount), ValueChange);
    m_encoding = false;
}

void TavSiteItem::updateValueFromBytes()
{
    ModbusFile::updateValueFromBytes();
    decodeRecord();
}

void TavSiteItem::decodeRecord()
{
    m_decoding = true;
    const ModbusBytes &record = bytes();
    if (record.checkCrc16()) {
        const QString group = record.toStringUtf8(0, m_nameSize);
        QString subGroup = record.toStringUtf8(m_nameSize, m_nameSize);
        // A subgroup exists only inside a named group.
        if (group.isEmpty())
            subGroup.clear();
        setGroupName(group);
        setSubGroupName(subGroup);
        setSiteName(record.toStringUtf8(2 * m_nameSize, m_nameSize));
        setSitePath(sitePath());
    } else {
        setGroupName(QString());
        setSubGroupName(QString());
        setSiteName(QString());
        setSitePath({QString(), QString(), QString()});
    }
    m_decoding = false;
}

void TavSiteItem::setName(QString &member, const QString &name,
                          void (TavSiteItem::*changed)(const QString &))
{
    if (name == member)
        return;
    member = name;
    if (!m_decoding)
        updateBytes();
    emit(this->*changed)(name);
    emit sitePathChanged();
}

void TavSiteItem::setGroupName(const QString &name)
{
    setName(m_groupName, name, &TavSiteItem::groupNameChanged);
}

void TavSiteItem::setSubGroupName(const QString &name)
{
    setName(m_subGroupName, name, &TavSiteItem::subGroupNameChanged);
}

void TavSiteItem::setSiteName(const QString &name)
{
    setName(m_siteName, name, &TavSiteItem::siteNameChanged);
}

void TavSiteItem::setNameSize(int size)
{
    if (size < 0 || size == m_nameSize)
        return;
    m_nameSize = size;
    updateValueFromBytes();
    updateBytes();
    emit nameSizeChanged(size);
}

void TavSiteItem::setReservedBytesCount(int count)
{
    if (count < 0 || count == m_reservedBytesCount)
        return;
    m_reservedBytesCount = count;
    if (!m_decoding)
        updateBytes();
    emit reservedBytesCountChanged(count);
}

void TavSiteItem::setSitePath(const QStringList &path)
{
    if (path.size() != 3 || path == sitePath())
        return;
    setGroupName(path.at(0));
    setSubGroupName(path.at(1));
    setSiteName(path.at(2));
}

void TavSiteItem::remove()
{
    setGroupName(QString());
    setSubGroupName(QString());
    setSiteName(QString());
    // Names that were empty already rebuild nothing: a record that failed its check (all zeros,
    // say) would otherwise go out as it is.
    updateBytes();
    write();
}
