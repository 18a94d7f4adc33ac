#ifndef TAVSITEITEM_H
#define TAVSITEITEM_H

#include "modbusfile.h"

#include <QString>
#include <QStringList>

// One record of the instrument's sites table: group, subgroup and site name, each a UTF-8 field of
// nameSize bytes padded with zeros, then reservedBytesCount reserved bytes and the Modbus CRC of
// all that, low byte first. Setting a name rebuilds the record; bytes read from the instrument
// are decoded without being rebuilt, so reserved bytes survive until a name changes.
// The item's length must be the record size, 3 * nameSize + reservedBytesCount + 2.
class DORRIKBUS_EXPORT TavSiteItem : public ModbusFile
{
    Q_OBJECT
    Q_PROPERTY(QString groupName READ groupName WRITE setGroupName NOTIFY groupNameChanged)
    Q_PROPERTY(
        QString subGroupName READ subGroupName WRITE setSubGroupName NOTIFY subGroupNameChanged)
    Q_PROPERTY(QString siteName READ siteName WRITE setSiteName NOTIFY siteNameChanged)
    Q_PROPERTY(int nameSize READ nameSize WRITE setNameSize NOTIFY nameSizeChanged)
    Q_PROPERTY(QStringList sitePath READ sitePath WRITE setSitePath NOTIFY sitePathChanged)
    Q_PROPERTY(int reservedBytesCount READ reservedBytesCount WRITE setReservedBytesCount NOTIFY
                   reservedBytesCountChanged)

public:
    explicit TavSiteItem(QObject *parent = nullptr);
    ~TavSiteItem() override;

    QString groupName() const { return m_groupName; }
    QString subGroupName() const { return m_subGroupName; }
    QString siteName() const { return m_siteName; }
    int nameSize() const { return m_nameSize; }
    // Group, subgroup, site name.
    QStringList sitePath() const;
    int reservedBytesCount() const { return m_reservedBytesCount; }

    void updateValueFromBytes() override;

    // A record of these names: each cut at a whole character to nameSize bytes and padded with
    // zeros (one field per name), the reserved zeros, the CRC. The sites table encodes its
    // records the same way.
    static ModbusBytes encodeRecord(const QStringList &names, int nameSize, int reservedBytesCount);

public slots:
    void setGroupName(const QString &name);
    void setSubGroupName(const QString &name);
    void setSiteName(const QString &name);
    // Decodes the present bytes at the new width, then rebuilds the record. Negative sizes are
    // ignored.
    void setNameSize(int size);
    // Writes an empty record with a valid CRC: the instrument takes the slot as free.
    void remove();
    // Only a list of exactly three names.
    void setSitePath(const QStringList &path);
    // Negative counts are ignored.
    void setReservedBytesCount(int count);

signals:
    void groupNameChanged(const QString &name);
    void subGroupNameChanged(const QString &name);
    void siteNameChanged(const QString &name);
    void nameSizeChanged(int size);
    void sitePathChanged();
    void reservedBytesCountChanged(int count);

private:
    void setName(QString &member, const QString &name,
                 void (TavSiteItem::*changed)(const QString &));
    void updateBytes();
    void decodeRecord();

    QString m_groupName;
    QString m_subGroupName;
    QString m_siteName;
    int m_nameSize = 1;
    int m_reservedBytesCount = 36;
    // Set while new bytes are decoded: assigning the names then must not rebuild the record.
    bool m_decoding = false;
    // True while the item stores a record it built from its names.
    bool m_encoding = false;
};

#endif
