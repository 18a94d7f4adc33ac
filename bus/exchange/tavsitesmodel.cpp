#include "tavsitesmodel.h"

#include "modbuscrc.h"
#include "tavsiteitem.h"

#include <QSet>

#include <algorithm>

// Browsing order compares upper-cased names by UTF-16 units, not by locale.
static bool siteNodeLess(const TavSitesModel::SiteModelItem *a,
                         const TavSitesModel::SiteModelItem *b)
{
    if (a->isGroup() != b->isGroup())
        return a->isGroup();
    return a->name().toUpper() < b->name().toUpper();
}

TavSitesModel::SiteModelItem::SiteModelItem() = default;

TavSitesModel::SiteModelItem::SiteModelItem(const QString &name, SiteModelItem *parent, int index)
    : m_name(name), m_index(index), m_parent(parent)
{}

TavSitesModel::SiteModelItem::~SiteModelItem()
{
    clearAll();
}

int TavSitesModel::SiteModelItem::level() const
{
    int n = 0;
    for (const SiteModelItem *node = m_parent; node; node = node->m_parent)
        ++n;
    return n;
}

QStringList TavSitesModel::SiteModelItem::groupPath() const
{
    QStringList path;
    for (const SiteModelItem *node = m_parent; node && node->m_parent; node = node->m_parent)
        path.prepend(node->m_name);
    return path;
}

QStringList TavSitesModel::SiteModelItem::visiblePath() const
{
    QStringList path = groupPath();
    if (!m_name.isEmpty())
        path.append(m_name);
    return path;
}

TavSitesModel::SiteModelItem *TavSitesModel::SiteModelItem::getGroup(const QString &name) const
{
    for (SiteModelItem *child : m_children) {
        if (child->isGroup() && child->m_name == name)
            return child;
    }
    return nullptr;
}

TavSitesModel::SiteModelItem *TavSitesModel::SiteModelItem::getOrCreateGroup(const QString &name)
{
    if (SiteModelItem *group = getGroup(name))
        return group;
    m_children.append(new SiteModelItem(name, this, -1));
    return m_children.last();
}

TavSitesModel::SiteModelItem *TavSitesModel::SiteModelItem::createSite(const QString &name,
                                                                       int index)
{
    m_children.append(new SiteModelItem(name, this, index));
    return m_children.last();
}

int TavSitesModel::SiteModelItem::sitesCount() const
{
    return int(std::count_if(m_children.cbegin(), m_children.cend(),
                             [](const SiteModelItem *child) { return child->isSite(); }));
}

void TavSitesModel::SiteModelItem::clearAll()
{
    qDeleteAll(m_children);
    m_children.clear();
}

void TavSitesModel::SiteModelItem::sort()
{
    for (SiteModelItem *child : std::as_const(m_children))
        child->sort();
    std::stable_sort(m_children.begin(), m_children.end(), siteNodeLess);
}

TavSitesModel::TavSitesModel(QObject *parent) : QAbstractTableModel(parent) {}

TavSitesModel::~TavSitesModel() = default;

int TavSitesModel::getRecordSize() const
{
    return 6 * m_maxNameSize + m_reservedBytesCount + 2;
}

void TavSitesModel::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
    fill();
}

// Table and image.

void TavSitesModel::normalize(QStringList &path)
{
    bool emptied = false;
    for (qsizetype i = 0; i + 1 < path.size(); ++i) {
        if (emptied)
            path[i].clear();
        else if (path.at(i).isEmpty())
            emptied = true;
    }
}

bool TavSitesModel::startsWith(const QStringList &sitePath, const QStringList &path)
{
    if (sitePath.size() < path.size())
        return false;
    return std::equal(path.cbegin(), path.cend(), sitePath.cbegin());
}

void TavSitesModel::listToBytes()
{
    const int recordSize = getRecordSize();
    ModbusBytes image;
    image.reserve(qMax(0, m_maxSitesCount) * recordSize);
    for (int i = 0; i < m_maxSitesCount; ++i) {
        const auto entry = m_sites.constFind(quint16(i));
        if (entry == m_sites.cend())
            image << ModbusBytes::fromSize(recordSize, 0);
        else
            image << TavSiteItem::encodeRecord(*entry, 2 * m_maxNameSize, m_reservedBytesCount);
    }
    m_image = image;
}

void TavSitesModel::bytesToList()
{
    m_sites.clear();
    const int recordSize = getRecordSize();
    const int nameSize = 2 * m_maxNameSize;
    if (m_image.size() == qsizetype(m_maxSitesCount) * recordSize) {
        for (int i = 0; i < m_maxSitesCount; ++i) {
            const int at = i * recordSize;
            const int crcAt = at + recordSize - 2;
            if (qChecksumModbus(m_image, unsigned(recordSize - 2), unsigned(at)) !=
                m_image.toUInt16(crcAt))
                continue;
            QStringList path{m_image.toStringUtf8(at, nameSize),
                             m_image.toStringUtf8(at + nameSize, nameSize),
                             m_image.toStringUtf8(at + 2 * nameSize, nameSize)};
            normalize(path);
            if (!path.last().isEmpty())
                addSiteInternal(path, i);
        }
    }
    refreshSitesCount();
}

bool TavSitesModel::addSiteInternal(const QStringList &path, int index)
{
    // A slot the table does not have would be counted now and lost at the next encoding.
    if (!validSlot(index) || index > 0xFFFF || m_sites.contains(quint16(index)))
        return false;
    m_sites.insert(quint16(index), path);
    refreshSitesCount();
    return true;
}

bool TavSitesModel::removeSiteInternal(int index)
{
    if (index < 0 || index > 0xFFFF || !m_sites.remove(quint16(index)))
        return false;
    refreshSitesCount();
    return true;
}

void TavSitesModel::setItemBytes()
{
    if (!m_item)
        return;
    m_updating = true;
    m_item->setBytes(m_image, ModbusItemBase::ExternalChange);
    m_updating = false;
}

void TavSitesModel::internalListChanged(bool writeToDevice)
{
    refreshSitesCount();
    if (!writeToDevice) {
        listToBytes();
        setItemBytes();
        fill();
        return;
    }
    writeAll();
    readAll();
    // The table as the instrument will hold it: cut names and normalised paths.
    bytesToList();
    fill();
}

void TavSitesModel::onItemAfterRead()
{
    if (m_updating || !m_item)
        return;
    m_image = m_item->bytes();
    bytesToList();
    fill();
}

// Editing.

void TavSitesModel::setSite(int siteIndex, const QStringList &sitePath, bool writeToDevice)
{
    if (!validSlot(siteIndex)) {
        qWarning().noquote()
            << tr("setSite: no slot %1 in a table of %2").arg(siteIndex).arg(m_maxSitesCount);
        return;
    }
    // Records are encoded field by field: another count of names would shift every later one.
    if (sitePath.size() != 3) {
        qWarning().noquote()
            << tr("setSite: a site path has three names, not %1").arg(sitePath.size());
        return;
    }
    const quint16 slot = quint16(siteIndex);
    if (!m_sites.contains(slot) && m_sitesCount >= m_maxSitesCount)
        return;
    if (sitePath.last().isEmpty()) {
        removeSiteInternal(siteIndex);
    } else {
        QStringList path = sitePath;
        normalize(path);
        if (m_sites.contains(slot))
            m_sites[slot] = path;
        else
            addSiteInternal(path, siteIndex);
    }
    internalListChanged(writeToDevice);
}

void TavSitesModel::removeSite(int siteIndex, bool writeToDevice)
{
    if (removeSiteInternal(siteIndex))
        internalListChanged(writeToDevice);
}

void TavSitesModel::removeGroup(const QStringList &path, bool writeToDevice)
{
    for (auto it = m_sites.begin(); it != m_sites.end();) {
        if (startsWith(*it, path))
            it = m_sites.erase(it);
        else
            ++it;
    }
    internalListChanged(writeToDevice);
}

void TavSitesModel::renameGroup(const QStringList &path, const QString &newName, bool writeToDevice)
{
    // The empty path names no group: every site would match with nothing to rename.
    if (path.isEmpty() || path.last() == newName)
        return;
    const qsizetype at = path.size() - 1;
    int changed = 0;
    for (QStringList &sitePath : m_sites) {
        if (!startsWith(sitePath, path))
            continue;
        sitePath[at] = newName;
        // A group renamed to the empty name takes its subgroups with it, as decoding would.
        normalize(sitePath);
        ++changed;
    }
    if (changed > 0)
        internalListChanged(writeToDevice);
}

void TavSitesModel::removeAll()
{
    m_image = ModbusBytes::fromSize(qMax(0, m_maxSitesCount) * getRecordSize(), 0);
    if (m_item) {
        setItemBytes();
        m_item->write();
    }
    bytesToList();
    fill();
    readAll();
}

void TavSitesModel::readAll()
{
    if (m_item)
        m_item->read();
}

void TavSitesModel::writeAll()
{
    listToBytes();
    if (m_item) {
        setItemBytes();
        m_item->write();
    }
}

// Queries.

QStringList TavSitesModel::getSitePath(int siteIndex) const
{
    QStringList path;
    if (siteIndex >= 0 && siteIndex <= 0xFFFF)
        path = m_sites.value(quint16(siteIndex));
    if (path.isEmpty())
        path.append(QString());
    while (path.size() < 3)
        path.prepend(QString());
    return path;
}

QString TavSitesModel::getSiteName(int siteIndex) const
{
    return getSitePath(siteIndex).last();
}

int TavSitesModel::getSiteIndex(const QString &name) const
{
    for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
        if (it->last() == name)
            return it.key();
    }
    return -1;
}

int TavSitesModel::getNewSiteIndex() const
{
    for (int i = 0; i < m_maxSitesCount && i <= 0xFFFF; ++i) {
        if (!m_sites.contains(quint16(i)))
            return i;
    }
    return -1;
}

int TavSitesModel::getFirstSiteIndex() const
{
    return m_sites.isEmpty() ? -1 : int(m_sites.firstKey());
}

QVariantList TavSitesModel::getSitesIndexes() const
{
    return getSitesIndexes(QStringList());
}

QVariantList TavSitesModel::getSitesIndexes(const QStringList &path) const
{
    QVariantList indexes;
    for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
        if (startsWith(*it, path))
            indexes.append(int(it.key()));
    }
    return indexes;
}

QVariantList TavSitesModel::getSitesIndexes(const QString &group, const QString &subGroup) const
{
    return getSitesIndexes(QStringList{group, subGroup});
}

int TavSitesModel::getSitesCount(const QStringList &path) const
{
    return int(getSitesIndexes(path).size());
}

// Distinct and ascending by UTF-16 units.
static QStringList sortedDistinct(const QSet<QString> &names)
{
    QStringList list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end());
    return list;
}

QStringList TavSitesModel::getGroups() const
{
    QSet<QString> groups;
    for (const QStringList &path : m_sites) {
        if (!path.first().isEmpty())
            groups.insert(path.first());
    }
    return sortedDistinct(groups);
}

QStringList TavSitesModel::getSubGroups() const
{
    QSet<QString> subGroups;
    for (const QStringList &path : m_sites) {
        if (path.size() == 3 && !path.at(1).isEmpty())
            subGroups.insert(path.at(1));
    }
    return sortedDistinct(subGroups);
}

QVariantList TavSitesModel::getSubGroups(const QString &group) const
{
    QSet<QString> subGroups;
    for (const QStringList &path : m_sites) {
        if (path.size() == 3 && path.first() == group && !path.at(1).isEmpty())
            subGroups.insert(path.at(1));
    }
    QVariantList list;
    for (const QString &name : sortedDistinct(subGroups))
        list.append(name);
    return list;
}

QStringList TavSitesModel::getSites() const
{
    QSet<QString> names;
    for (const QStringList &path : m_sites)
        names.insert(path.last());
    return sortedDistinct(names);
}

bool TavSitesModel::siteNameUsed(const QString &name) const
{
    return std::any_of(m_sites.cbegin(), m_sites.cend(), [&name](const QStringList &path) {
        return path.size() == 3 && path.last() == name;
    });
}

// base + suffix, the base shortened by whole characters until the UTF-8 form fits `maxBytes`:
// the record keeps only that much, and a cut suffix would give the name that was to be avoided.
static QString fittedName(QString base, const QString &suffix, int maxBytes)
{
    const int suffixBytes = int(suffix.toUtf8().size());
    while (!base.isEmpty() && int(base.toUtf8().size()) + suffixBytes > maxBytes) {
        base.chop(1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
    }
    return base + suffix;
}

QString TavSitesModel::getUniqueSiteName(const QString &siteName) const
{
    const int maxBytes = 2 * m_maxNameSize;
    QString candidate = siteName;
    QString base = siteName;
    qint64 n = 2;
    const qsizetype space = siteName.lastIndexOf(QLatin1Char(' '));
    if (space >= 2) {
        bool ok = false;
        const int v = siteName.mid(space + 1).toInt(&ok, 10);
        if (ok) {
            n = qint64(v) + 1;
            base = siteName.left(space);
            candidate = fittedName(base, QLatin1Char(' ') + QString::number(v), maxBytes);
        }
    }
    while (n <= m_maxSitesCount) {
        if (!siteNameUsed(candidate))
            return candidate;
        candidate = fittedName(base, QLatin1Char(' ') + QString::number(n), maxBytes);
        ++n;
    }
    return candidate;
}

// Properties.

void TavSitesModel::setMaxNameSize(int size)
{
    if (size < 0 || size == m_maxNameSize)
        return;
    m_maxNameSize = size;
    emit maxNameSizeChanged(size);
}

void TavSitesModel::setMaxSitesCount(int count)
{
    if (count < 0 || count == m_maxSitesCount)
        return;
    m_maxSitesCount = count;
    emit maxSitesCountChanged(count);
}

void TavSitesModel::setMaxGroups(int count)
{
    if (count == m_maxGroups)
        return;
    m_maxGroups = count;
    emit maxGroupsChanged(count);
}

void TavSitesModel::setReservedBytesCount(int count)
{
    if (count < 0 || count == m_reservedBytesCount)
        return;
    m_reservedBytesCount = count;
    emit reservedBytesCountChanged(count);
}

void TavSitesModel::setSitesCount(int count)
{
    if (count == m_sitesCount)
        return;
    m_sitesCount = count;
    emit sitesCountChanged(count);
}

void TavSitesModel::setGroupName(const QString &name)
{
    if (name == m_groupName)
        return;
    m_groupName = name;
    emit groupNameChanged(name);
}

void TavSitesModel::setItem(ModbusItemBase *item)
{
    if (item == m_item)
        return;
    if (m_item)
        disconnect(m_item, nullptr, this, nullptr);
    m_item = item;
    if (item) {
        connect(item, &ModbusItemBase::bytesChanged, this, &TavSitesModel::onItemAfterRead);
        m_image = item->bytes();
        bytesToList();
        if (!initializing())
            fill();
    }
    emit itemChanged(item);
}

// The browsing tree.

TavSitesModel::SiteModelItem *TavSitesModel::currentGroup() const
{
    auto *node = const_cast<SiteModelItem *>(&m_root);
    for (const QString &name : m_groupPath) {
        SiteModelItem *group = node->getGroup(name);
        if (!group)
            break;
        node = group;
    }
    return node;
}

void TavSitesModel::fill()
{
    beginResetModel();
    m_root.clearAll();
    for (auto it = m_sites.cbegin(); it != m_sites.cend(); ++it) {
        SiteModelItem *node = &m_root;
        const QStringList &path = *it;
        for (qsizetype i = 0; i + 1 < path.size(); ++i) {
            if (!path.at(i).isEmpty())
                node = node->getOrCreateGroup(path.at(i));
        }
        node->createSite(path.last(), it.key());
    }
    m_root.sort();
    endResetModel();
    setGroupPath(currentGroup()->visiblePath());
}

void TavSitesModel::setGroupPath(const QStringList &path)
{
    if (path == m_groupPath)
        return;
    const qsizetype firstEmpty = path.indexOf(QString());
    m_groupPath = firstEmpty < 0 ? path : path.first(firstEmpty);
    if (!initializing()) {
        beginResetModel();
        endResetModel();
    }
    emit groupPathChanged(path);
    setGroupName(m_groupPath.isEmpty() ? QString() : m_groupPath.last());
}

void TavSitesModel::cd(const QString &groupName)
{
    if (currentGroup()->getGroup(groupName))
        setGroupPath(m_groupPath + QStringList{groupName});
}

void TavSitesModel::cdUp()
{
    if (!m_groupPath.isEmpty())
        setGroupPath(m_groupPath.first(m_groupPath.size() - 1));
}

int TavSitesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(currentGroup()->children().size());
}

int TavSitesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

TavSitesModel::SiteModelItem *TavSitesModel::nodeAt(const QModelIndex &index) const
{
    if (index.row() < 0 || index.column() < 0 || index.model() != this)
        return nullptr;
    const QList<SiteModelItem *> &rows = currentGroup()->children();
    return index.row() < rows.size() ? rows.at(index.row()) : nullptr;
}

QVariant TavSitesModel::data(const QModelIndex &index, int role) const
{
    const SiteModelItem *node = nodeAt(index);
    if (!node)
        return QVariant();
    if (role < 0)
        role = index.column();
    switch (role) {
    case NameRole:
        return node->name();
    case TypeRole:
        return int(node->type());
    case SizeRole:
        return int(node->children().size());
    case PathRole:
        if (node->isSite() && node->index() <= 0xFFFF) {
            const auto entry = m_sites.constFind(quint16(node->index()));
            if (entry != m_sites.cend())
                return *entry;
        }
        return node->visiblePath();
    case VisiblePathRole:
        return node->visiblePath();
    case SiteRole:
        return node->index();
    case LevelRole:
        return node->level();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> TavSitesModel::roleNames() const
{
    return {{NameRole, QByteArrayLiteral("name")},
            {TypeRole, QByteArrayLiteral("type")},
            {SizeRole, QByteArrayLiteral("size")},
            {PathRole, QByteArrayLiteral("path")},
            {VisiblePathRole, QByteArrayLiteral("visiblePath")},
            {SiteRole, QByteArrayLiteral("site")},
            {LevelRole, QByteArrayLiteral("level")}};
}

// The whole tree as values.

static QVariantMap siteValue(const QString &caption, int level, int slot)
{
    return {{QStringLiteral("caption"), caption},
            {QStringLiteral("isGroup"), false},
            {QStringLiteral("level"), level},
            {QStringLiteral("siteIndex"), slot}};
}

static QVariantMap groupValue(const QString &caption, int level, const QVariantList &children)
{
    return {{QStringLiteral("caption"), caption},
            {QStringLiteral("isGroup"), true},
            {QStringLiteral("level"), level},
            {QStringLiteral("children"), children}};
}

// Groups before sites, then ascending by caption, case-sensitive.
static bool treeValueLess(const QVariant &a, const QVariant &b)
{
    if (a.typeId() != QMetaType::QVariantMap || b.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap left = a.toMap();
    const QVariantMap right = b.toMap();
    const bool leftGroup = left.value(QStringLiteral("isGroup")).toBool();
    const bool rightGroup = right.value(QStringLiteral("isGroup")).toBool();
    if (leftGroup != rightGroup)
        return leftGroup;
    return left.value(QStringLiteral("caption")).toString() <
           right.value(QStringLiteral("caption")).toString();
}

QVariantList TavSitesModel::getTree() const
{
    QVariantList tree;
    for (const QString &group : getGroups()) {
        QVariantList children;
        for (const QVariant &subGroupValue : getSubGroups(group)) {
            const QString subGroup = subGroupValue.toString();
            QVariantList sites;
            for (const QVariant &slot : getSitesIndexes(group, subGroup))
                sites.append(siteValue(getSiteName(slot.toInt()), 2, slot.toInt()));
            children.append(groupValue(subGroup, 1, sites));
        }
        for (const QVariant &slot : getSitesIndexes(group, QString()))
            children.append(siteValue(getSiteName(slot.toInt()), 1, slot.toInt()));
        tree.append(groupValue(group, 0, children));
    }
    for (const QVariant &slot : getSitesIndexes(QStringList{QString()}))
        tree.append(siteValue(getSiteName(slot.toInt()), 0, slot.toInt()));
    std::stable_sort(tree.begin(), tree.end(), treeValueLess);
    return tree;
}
