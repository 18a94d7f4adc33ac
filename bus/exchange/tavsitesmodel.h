#ifndef TAVSITESMODEL_H
#define TAVSITESMODEL_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbusitembase.h"
#include "mydeclarativeparserstatus.h"

#include <QAbstractTableModel>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

// The instrument's sites table, decoded: slot -> (group, subgroup, site name), kept in step with
// a register item whose bytes are the whole table (maxSitesCount records of the site record
// layout, see TavSiteItem). As an item model it lists one level of the group tree, the current
// group; getTree() gives the whole tree as values. GUI thread only.
class DORRIKBUS_EXPORT TavSitesModel : public QAbstractTableModel, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(int maxNameSize READ maxNameSize NOTIFY maxNameSizeChanged)
    Q_PROPERTY(
        int maxSitesCount READ maxSitesCount WRITE setMaxSitesCount NOTIFY maxSitesCountChanged)
    Q_PROPERTY(int maxGroups READ maxGroups WRITE setMaxGroups NOTIFY maxGroupsChanged)
    Q_PROPERTY(ModbusItemBase *item READ item WRITE setItem NOTIFY itemChanged)
    Q_PROPERTY(QStringList groupPath READ groupPath WRITE setGroupPath NOTIFY groupPathChanged)
    Q_PROPERTY(int sitesCount READ sitesCount NOTIFY sitesCountChanged)
    Q_PROPERTY(QString groupName READ groupName NOTIFY groupNameChanged)
    Q_PROPERTY(int reservedBytesCount READ reservedBytesCount WRITE setReservedBytesCount NOTIFY
                   reservedBytesCountChanged)

public:
    enum ItemType { Group = 0, Site = 1 };
    Q_ENUM(ItemType)

    // Role 0 is also the display role.
    enum Role {
        NameRole = 0,
        TypeRole = 1,
        SizeRole = 2,
        PathRole = 3,
        VisiblePathRole = 4,
        SiteRole = 5,
        LevelRole = 6,
    };

    // A node of the browsing tree: a group (index -1; the root is the group without a name and
    // parent) or a site (its slot). A node owns its children.
    class DORRIKBUS_EXPORT SiteModelItem
    {
    public:
        SiteModelItem();
        SiteModelItem(const QString &name, SiteModelItem *parent, int index);
        ~SiteModelItem();
        SiteModelItem(const SiteModelItem &) = delete;
        SiteModelItem &operator=(const SiteModelItem &) = delete;

        const QString &name() const { return m_name; }
        int index() const { return m_index; }
        SiteModelItem *parent() const { return m_parent; }
        const QList<SiteModelItem *> &children() const { return m_children; }

        bool isGroup() const { return m_index == -1; }
        bool isSite() const { return m_index >= 0; }
        ItemType type() const { return isSite() ? Site : Group; }
        bool isTop() const { return isGroup() && !m_parent; }
        // 0 for the root, 1 on the top level.
        int level() const;
        // The ancestors' names from the top level down, the root left out.
        QStringList groupPath() const;
        // groupPath() and the node's own name, when it has one.
        QStringList visiblePath() const;
        SiteModelItem *getGroup(const QString &name) const;
        SiteModelItem *getOrCreateGroup(const QString &name);
        SiteModelItem *createSite(const QString &name, int index);
        int sitesCount() const;
        void clearAll();
        // Groups before sites, each ascending by the upper-cased name, at every level.
        void sort();

    private:
        QList<SiteModelItem *> m_children;
        QString m_name;
        int m_index = -1;
        SiteModelItem *m_parent = nullptr;
    };

    explicit TavSitesModel(QObject *parent = nullptr);
    ~TavSitesModel() override;

    int maxNameSize() const { return m_maxNameSize; }
    int maxSitesCount() const { return m_maxSitesCount; }
    int maxGroups() const { return m_maxGroups; }
    ModbusItemBase *item() const { return m_item; }
    QStringList groupPath() const { return m_groupPath; }
    int sitesCount() const { return m_sitesCount; }
    QString groupName() const { return m_groupName; }
    int reservedBytesCount() const { return m_reservedBytesCount; }
    // 6 * maxNameSize + reservedBytesCount + 2.
    int getRecordSize() const;
    // The table as the model last encoded or decoded it.
    const ModbusBytes &image() const { return m_image; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = NameRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    void componentComplete() override;

    Q_INVOKABLE QString getSiteName(int siteIndex) const;
    // Three names; three empty ones for a slot without a site.
    Q_INVOKABLE QStringList getSitePath(int siteIndex) const;
    // -1 when no site has that name.
    Q_INVOKABLE int getSiteIndex(const QString &name) const;
    // Slots in ascending order.
    Q_INVOKABLE QVariantList getSitesIndexes() const;
    Q_INVOKABLE QVariantList getSitesIndexes(const QStringList &path) const;
    Q_INVOKABLE QVariantList getSitesIndexes(const QString &group, const QString &subGroup) const;
    Q_INVOKABLE QStringList getGroups() const;
    Q_INVOKABLE QStringList getSubGroups() const;
    Q_INVOKABLE QVariantList getSubGroups(const QString &group) const;
    Q_INVOKABLE QStringList getSites() const;
    // Maps with "caption", "isGroup", "level" and "children" or "siteIndex"; levels from 0.
    Q_INVOKABLE QVariantList getTree() const;

public slots:
    // Adds, replaces or (with an empty site name) clears a slot. Refused: a slot outside
    // 0..maxSitesCount - 1, a path of other than three names, a new slot in a full table.
    void setSite(int siteIndex, const QStringList &sitePath, bool writeToDevice = true);
    void removeSite(int siteIndex, bool writeToDevice = true);
    // Every site whose path starts with path; the empty path removes all.
    void removeGroup(const QStringList &path, bool writeToDevice = true);
    // The last group of path, in every site under it. The new name is not checked against the
    // siblings: a sibling of that name merges with the group.
    void renameGroup(const QStringList &path, const QString &newName, bool writeToDevice = true);
    // Writes an empty table and reads it back; the model is empty at once.
    void removeAll();
    void readAll();
    void writeAll();
    void fill();
    // The lowest free slot, -1 when there is none.
    int getNewSiteIndex() const;
    int getSitesCount(const QStringList &path) const;
    int getFirstSiteIndex() const;
    // siteName, or the first free of "base n" counting on from a trailing number. Once n passes
    // maxSitesCount the last candidate is returned unchecked.
    QString getUniqueSiteName(const QString &siteName) const;
    void cd(const QString &groupName);
    void cdUp();
    void setMaxGroups(int count);
    // Negative counts are ignored. The table is not decoded again.
    void setMaxSitesCount(int count);
    void setItem(ModbusItemBase *item);
    // The path up to its first empty name is kept.
    void setGroupPath(const QStringList &path);
    // Negative counts are ignored. The table is not decoded again.
    void setReservedBytesCount(int count);

signals:
    void maxNameSizeChanged(int size);
    void maxSitesCountChanged(int count);
    void maxGroupsChanged(int count);
    void itemChanged(ModbusItemBase *item);
    void groupPathChanged(const QStringList &path);
    void sitesCountChanged(int count);
    void groupNameChanged(const QString &name);
    void reservedBytesCountChanged(int count);

private slots:
    void setMaxNameSize(int size);
    void setSitesCount(int count);
    void setGroupName(const QString &name);
    void onItemAfterRead();

private:
    void listToBytes();
    void bytesToList();
    bool addSiteInternal(const QStringList &path, int index);
    bool removeSiteInternal(int index);
    void internalListChanged(bool writeToDevice);
    void setItemBytes();
    void refreshSitesCount() { setSitesCount(int(m_sites.size())); }
    bool validSlot(int index) const { return index >= 0 && index < m_maxSitesCount; }
    bool siteNameUsed(const QString &name) const;
    SiteModelItem *currentGroup() const;
    SiteModelItem *nodeAt(const QModelIndex &index) const;
    static void normalize(QStringList &path);
    static bool startsWith(const QStringList &sitePath, const QStringList &path);

    // Slot -> group, subgroup, site name. Ordered, so every query and the tree list slots in
    // ascending order.
    QMap<quint16, QStringList> m_sites;
    ModbusBytes m_image;
    QPointer<ModbusItemBase> m_item;
    int m_maxNameSize = 20;
    int m_maxSitesCount = 20;
    int m_maxGroups = 100;
    int m_reservedBytesCount = 0;
    int m_sitesCount = 0;
    // Set while the model gives the item its own image: the item's change signal then carries
    // nothing new.
    bool m_updating = false;
    SiteModelItem m_root;
    QStringList m_groupPath;
    QString m_groupName;
};

#endif
