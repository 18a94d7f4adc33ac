#ifndef MODBUSITEMREADER_H
#define MODBUSITEMREADER_H

#include "dorrikbus_global.h"
#include "mydeclarativeparserstatus.h"

#include <QObject>

class ModbusItemBase;

// Keeps one item's interval reading on while the reader is active: a widget puts a reader inside
// itself and binds active to its visibility, so a register is polled only while it is shown.
// While active, with an item and a complete component, the reader holds exactly one
// beginReading() on its item, released by one endReading().
class DORRIKBUS_EXPORT ModbusItemReader : public QObject, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_MOC_INCLUDE("modbusitembase.h")
    Q_PROPERTY(ModbusItemBase *item READ item WRITE setItem NOTIFY itemChanged)
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)

public:
    explicit ModbusItemReader(QObject *parent = nullptr);
    ~ModbusItemReader() override;

    ModbusItemBase *item() const { return m_item; }
    bool active() const { return m_active; }

    void componentComplete() override;

public slots:
    void setItem(ModbusItemBase *item);
    void setActive(bool active);

signals:
    void itemChanged(ModbusItemBase *item);
    void activeChanged(bool active);

private slots:
    void onItemDestroyed();

private:
    bool holds() const { return m_active && m_item && !initializing(); }

    ModbusItemBase *m_item = nullptr;
    bool m_active = true;
};

#endif
