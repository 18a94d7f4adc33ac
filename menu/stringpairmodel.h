#ifndef STRINGPAIRMODEL_H
#define STRINGPAIRMODEL_H

#include <QAbstractListModel>
#include <QList>
#include <QPair>

// A list of key/value text pairs.
class StringPairModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { KeyRole = 32, ValueRole = 33 };
    Q_ENUM(Roles)

    explicit StringPairModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void append(const QString &key, const QString &value);
    void clear();

public slots:
    int indexOf(const QString &key) const;

private:
    QList<QPair<QString, QString>> m_pairs;
};

#endif // STRINGPAIRMODEL_H
