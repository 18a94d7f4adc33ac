#include "customfieldevent.h"

CustomFieldEvent::CustomFieldEvent(QObject *parent) : QObject(parent) {}

void CustomFieldEvent::setValue(const QString &value)
{
    if (m_value == value)
        return;
    m_value = value;
    emit valueChanged(m_value);
}

void CustomFieldEvent::setIndex(int index)
{
    if (m_index == index)
        return;
    m_index = index;
    emit indexChanged(m_index);
}

void CustomFieldEvent::setRowIndex(int rowIndex)
{
    if (m_rowIndex == rowIndex)
        return;
    m_rowIndex = rowIndex;
    emit rowIndexChanged(m_rowIndex);
}
