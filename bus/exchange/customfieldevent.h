#ifndef CUSTOMFIELDEVENT_H
#define CUSTOMFIELDEVENT_H

#include "dorrikbus_global.h"

#include <QObject>
#include <QString>

// The question for one custom cell of a CSV export: which custom field and row; the receiver
// answers by setting the value.
class DORRIKBUS_EXPORT CustomFieldEvent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int index READ index WRITE setIndex NOTIFY indexChanged)
    Q_PROPERTY(int rowIndex READ rowIndex WRITE setRowIndex NOTIFY rowIndexChanged)

public:
    explicit CustomFieldEvent(QObject *parent = nullptr);

    QString value() const { return m_value; }
    int index() const { return m_index; }
    int rowIndex() const { return m_rowIndex; }

public slots:
    void setValue(const QString &value);
    void setIndex(int index);
    void setRowIndex(int rowIndex);

signals:
    void valueChanged(const QString &value);
    void indexChanged(int index);
    void rowIndexChanged(int rowIndex);

private:
    QString m_value;
    int m_index = 0;
    int m_rowIndex = 0;
};

#endif
