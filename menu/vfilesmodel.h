#ifndef VFILESMODEL_H
#define VFILESMODEL_H

#include <QAbstractListModel>
#include <QFileInfo>
#include <QQmlParserStatus>
#include <QStringList>

// The entries of one folder for QML list views, confined to a root folder, with names
// translated in a translation context.
class VFilesModel : public QAbstractListModel, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QString directory READ directory WRITE setDirectory NOTIFY directoryChanged)
    Q_PROPERTY(bool showDirs READ showDirs WRITE setShowDirs NOTIFY showDirsChanged)
    Q_PROPERTY(QStringList fileFilter READ fileFilter WRITE setFileFilter NOTIFY filterChanged)
    Q_PROPERTY(QStringList dirFilter READ dirFilter WRITE setDirFilter NOTIFY dirFilterChanged)
    Q_PROPERTY(bool showDotDot READ showDotDot WRITE setShowDotDot NOTIFY showDotDotChanged)
    Q_PROPERTY(QString rootDir READ rootDir WRITE setRootDir NOTIFY rootDirChanged)
    Q_PROPERTY(bool isRootDir READ isRootDir NOTIFY isRootDirChanged)
    Q_PROPERTY(QString currentDir READ currentDir)
    Q_PROPERTY(QString translateContext READ translateContext WRITE setTranslateContext NOTIFY
                   translateContextChanged)
    Q_PROPERTY(SortType sort READ sort WRITE setSort NOTIFY sortChanged)
public:
    enum SortType { SortByName = 0, SortByTime = 1 };
    Q_ENUM(SortType)

    enum Roles {
        FileNameRole = 33,
        BaseNameRole,
        PathRole,
        DirPathRole,
        CompleteBaseNameRole,
        IsDirRole,
        SuffixRole,
        CompleteSuffixRole,
        IsDotDotRole,
        DirNameRole,
        BaseNameTrRole,
        FileNameTrRole
    };

    explicit VFilesModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString directory() const { return m_directory; }
    void setDirectory(const QString &directory);
    bool showDirs() const { return m_showDirs; }
    void setShowDirs(bool show);
    QStringList fileFilter() const { return m_fileFilter; }
    void setFileFilter(const QStringList &filter);
    QStringList dirFilter() const { return m_dirFilter; }
    void setDirFilter(const QStringList &filter);
    bool showDotDot() const { return m_showDotDot; }
    void setShowDotDot(bool show);
    QString rootDir() const { return m_rootDir; }
    void setRootDir(const QString &rootDir);
    bool isRootDir() const { return m_isRootDir; }
    QString currentDir() const;
    QString translateContext() const { return QString::fromLatin1(m_translateContext); }
    SortType sort() const { return m_sort; }

    Q_INVOKABLE int indexOf(const QString &path) const;

    void classBegin() override;
    void componentComplete() override;

public slots:
    bool cdUp();
    void setTranslateContext(const QString &context);
    void fill();
    void setSort(VFilesModel::SortType sort);

signals:
    void directoryChanged();
    void showDirsChanged();
    void filterChanged();
    void dirFilterChanged();
    void showDotDotChanged();
    void rootDirChanged();
    void isRootDirChanged();
    void translateContextChanged(const QString &context);
    void sortChanged(VFilesModel::SortType sort);

private:
    static QString cleanAbsolute(const QString &path);
    bool insideRoot(const QString &path) const;
    void updateIsRootDir();
    void refill();
    QString translated(const QString &name) const;

    QList<QFileInfo> m_entries;
    QString m_directory;
    bool m_showDirs = true;
    QStringList m_fileFilter{QStringLiteral("*")};
    QStringList m_dirFilter{QStringLiteral("*")};
    bool m_showDotDot = false;
    QString m_rootDir;
    bool m_complete = true;
    bool m_isRootDir = false;
    QByteArray m_translateContext = "VFilesModel";
    SortType m_sort = SortByName;
};

#endif // VFILESMODEL_H
