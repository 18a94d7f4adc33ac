#include "vfilesmodel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

VFilesModel::VFilesModel(QObject *parent)
    : QAbstractListModel(parent), m_directory(QDir::currentPath()), m_rootDir(QDir::rootPath())
{
    m_isRootDir = cleanAbsolute(m_directory) == cleanAbsolute(m_rootDir);
}

int VFilesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant VFilesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_entries.size())
        return QVariant();
    const QFileInfo &entry = m_entries.at(index.row());
    switch (role) {
    case FileNameRole:
        return entry.fileName();
    case BaseNameRole:
        return entry.baseName();
    case PathRole:
        return entry.absoluteFilePath();
    case DirPathRole:
        return entry.absolutePath();
    case CompleteBaseNameRole:
        return entry.completeBaseName();
    case IsDirRole:
        return entry.isDir();
    case SuffixRole:
        return entry.suffix();
    case CompleteSuffixRole:
        return entry.completeSuffix();
    case IsDotDotRole:
        return entry.fileName() == QLatin1String("..");
    case DirNameRole:
        return QDir(entry.absoluteFilePath()).dirName();
    case BaseNameTrRole:
        return translated(entry.baseName());
    case FileNameTrRole:
        return translated(entry.fileName());
    default:
        qCritical("unknown role");
        return QVariant();
    }
}

QHash<int, QByteArray> VFilesModel::roleNames() const
{
    return {{FileNameRole, "fileName"},
            {BaseNameRole, "baseName"},
            {PathRole, "path"},
            {DirPathRole, "dirPath"},
            {CompleteBaseNameRole, "completeBaseName"},
            {IsDirRole, "isDir"},
            {SuffixRole, "suffix"},
            {CompleteSuffixRole, "completeSuffix"},
            {IsDotDotRole, "isDotDot"},
            {DirNameRole, "dirName"},
            {BaseNameTrRole, "baseNameTr"},
            {FileNameTrRole, "fileNameTr"}};
}

void VFilesModel::setDirectory(const QString &directory)
{
    if (m_directory == directory)
        return;
    m_directory = directory;
    updateIsRootDir();
    refill();
    emit directoryChanged();
}

void VFilesModel::setShowDirs(bool show)
{
    if (m_showDirs == show)
        return;
    m_showDirs = show;
    refill();
    emit showDirsChanged();
}

void VFilesModel::setFileFilter(const QStringList &filter)
{
    if (m_fileFilter == filter)
        return;
    m_fileFilter = filter;
    refill();
    emit filterChanged();
}

void VFilesModel::setDirFilter(const QStringList &filter)
{
    if (m_dirFilter == filter)
        return;
    m_dirFilter = filter;
    emit dirFilterChanged();
}

void VFilesModel::setShowDotDot(bool show)
{
    if (m_showDotDot == show)
        return;
    m_showDotDot = show;
    refill();
    emit showDotDotChanged();
}

void VFilesModel::setRootDir(const QString &rootDir)
{
    if (m_rootDir == rootDir)
        return;
    if (!QFileInfo(rootDir).isDir())
        qCritical().noquote() << QStringLiteral("root dir '\"%1\"' doesn't exists").arg(rootDir);
    m_rootDir = rootDir;
    updateIsRootDir();
    refill();
    emit rootDirChanged();
}

QString VFilesModel::currentDir() const
{
    return QDir::currentPath();
}

int VFilesModel::indexOf(const QString &path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (int row = 0; row < m_entries.size(); ++row) {
        if (m_entries.at(row).absoluteFilePath() == absolute)
            return row;
    }
    return -1;
}

void VFilesModel::classBegin()
{
    m_complete = false;
}

void VFilesModel::componentComplete()
{
    m_complete = true;
    fill();
}

bool VFilesModel::cdUp()
{
    if (m_isRootDir)
        return false;
    QDir folder(m_directory);
    if (!folder.cdUp())
        return false;
    setDirectory(folder.absolutePath());
    return true;
}

void VFilesModel::setTranslateContext(const QString &context)
{
    const QByteArray bytes = context.toLatin1();
    if (m_translateContext == bytes)
        return;
    m_translateContext = bytes;
    refill();
    emit translateContextChanged(context);
}

void VFilesModel::fill()
{
    beginResetModel();
    m_entries.clear();
    const QDir folder(m_directory);
    if (insideRoot(m_directory) && folder.exists() && QFileInfo(m_rootDir).isDir()) {
        const QDir::SortFlags order = QDir::SortFlags::fromInt(int(m_sort));
        if (m_showDotDot && !folder.isRoot() &&
            cleanAbsolute(m_directory) != cleanAbsolute(m_rootDir))
            m_entries.append(QFileInfo(folder, QStringLiteral("..")));
        if (m_showDirs) {
            m_entries += folder.entryInfoList(
                m_dirFilter, QDir::Dirs | QDir::NoSymLinks | QDir::NoDotAndDotDot, order);
        }
        const QFileInfoList files = folder.entryInfoList(m_fileFilter, QDir::Files, order);
        // A link may point anywhere: only one whose target lies inside the root is listed.
        const QString root = QFileInfo(m_rootDir).canonicalFilePath() + QLatin1Char('/');
        for (const QFileInfo &file : files) {
            if (!file.isSymLink() || file.canonicalFilePath().startsWith(root))
                m_entries.append(file);
        }
    }
    endResetModel();
}

void VFilesModel::setSort(VFilesModel::SortType sort)
{
    if (m_sort == sort)
        return;
    m_sort = sort;
    refill();
    emit sortChanged(sort);
}

QString VFilesModel::cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool VFilesModel::insideRoot(const QString &path) const
{
    // Compared on cleaned paths and whole components: "/x/docs-private" and "/x/docs/../etc"
    // are outside "/x/docs".
    const QString folder = cleanAbsolute(path);
    QString root = cleanAbsolute(m_rootDir);
    if (folder == root)
        return true;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return folder.startsWith(root);
}

void VFilesModel::updateIsRootDir()
{
    const bool isRoot = cleanAbsolute(m_directory) == cleanAbsolute(m_rootDir);
    if (m_isRootDir == isRoot)
        return;
    m_isRootDir = isRoot;
    emit isRootDirChanged();
}

void VFilesModel::refill()
{
    if (m_complete)
        fill();
}

QString VFilesModel::translated(const QString &name) const
{
    // Names are looked up by their UTF-8 bytes, so a Cyrillic name without a translation
    // comes back unchanged.
    const QByteArray source = name.toUtf8();
    return QCoreApplication::translate(m_translateContext.constData(), source.constData());
}
