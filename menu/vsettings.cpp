#include "vsettings.h"

#include "vsettingsloadevent.h"
#include "vsettingssaveevent.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJSValue>
#include <QMetaMethod>
#include <QSettings>

VSettings::VSettings(QObject *parent)
    : QObject(parent), m_organizationName(QCoreApplication::organizationName()),
      m_applicationName(QCoreApplication::applicationName())
{}

VSettings::~VSettings()
{
    if (m_saveOnDestroy)
        save();
}

void VSettings::setLoadOnCreate(bool load)
{
    if (m_loadOnCreate == load)
        return;
    m_loadOnCreate = load;
    emit loadOnCreateChanged();
}

void VSettings::setSaveOnDestroy(bool save)
{
    if (m_saveOnDestroy == save)
        return;
    m_saveOnDestroy = save;
    emit saveOnDestroyChanged();
}

void VSettings::setLiveSave(bool live)
{
    if (m_liveSave == live)
        return;
    m_liveSave = live;
    if (!m_inConstruction)
        connectProperties(live);
    emit liveSaveChanged();
}

void VSettings::setOrganizationName(const QString &name)
{
    if (m_organizationName == name)
        return;
    m_organizationName = name;
    identityChanged();
    emit organizationNameChanged();
}

void VSettings::setApplicationName(const QString &name)
{
    if (m_applicationName == name)
        return;
    m_applicationName = name;
    identityChanged();
    emit applicationNameChanged();
}

void VSettings::setFileName(const QString &name)
{
    if (m_fileName == name)
        return;
    m_fileName = name;
    identityChanged();
    emit fileNameChanged();
}

void VSettings::setClearOnSave(bool clear)
{
    if (m_clearOnSave == clear)
        return;
    m_clearOnSave = clear;
    emit clearOnSaveChanged();
}

void VSettings::classBegin()
{
    m_inConstruction = true;
}

void VSettings::componentComplete()
{
    m_inConstruction = false;
    collectProperties();
    if (m_loadOnCreate)
        load();
    // Connected after loading, so that loading does not save.
    if (m_liveSave)
        connectProperties(true);
}

namespace {

// A typed list of QML (list<int>) is kept as a plain list: the store writes QList<int> under its
// type name, which a later start cannot read back before that type is registered.
QVariant toStored(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QList<int>>())
        return value;
    QVariantList list;
    for (int entry : value.value<QList<int>>())
        list << entry;
    return list;
}

// The stored plain list (a list of texts once read from the file) as the property's type.
QVariant fromStored(const QVariant &value, QMetaType type)
{
    if (type != QMetaType::fromType<QList<int>>() || !value.canConvert<QVariantList>())
        return value;
    QList<int> list;
    for (const QVariant &entry : value.toList())
        list << entry.toInt();
    return QVariant::fromValue(list);
}

} // namespace

void VSettings::load()
{
    const std::unique_ptr<QSettings> store = openStore();
    if (!store)
        return;
    for (const QMetaProperty &property : std::as_const(m_properties)) {
        if (!property.isWritable() || !store->contains(QString::fromLatin1(property.name())))
            continue;
        const QVariant value =
            store->value(QString::fromLatin1(property.name()), property.read(this));
        // A value the store cannot read back (a type written by an older version) leaves the
        // property at its default.
        if (!value.isValid())
            continue;
        property.write(this, fromStored(value, property.metaType()));
    }
    store->sync();
    setWasLoaded(true);
    emit loaded();
}

void VSettings::postLoad()
{
    QCoreApplication::postEvent(this, new VSettingsLoadEvent, Qt::LowEventPriority);
}

void VSettings::save()
{
    const std::unique_ptr<QSettings> store = openStore();
    if (!store)
        return;
    for (const QMetaProperty &property : std::as_const(m_properties)) {
        QVariant value = property.read(this);
        // A QML "var" property holds a script value, which the store cannot write: keep the
        // plain value (a list stays a list). While the element is destroyed its script values
        // are already gone and read as nothing: the stored value is kept then.
        if (value.metaType() == QMetaType::fromType<QJSValue>())
            value = value.value<QJSValue>().toVariant();
        value = toStored(value);
        if (!value.isValid())
            continue;
        store->setValue(QString::fromLatin1(property.name()), value);
    }
    store->sync();
    // A store that could not be written keeps the old values: nothing was saved.
    if (store->status() != QSettings::NoError) {
        qWarning().noquote() << "can't write settings to" << store->fileName();
        return;
    }
    setWasLoaded(true);
    emit saved();
}

void VSettings::postSave()
{
    QCoreApplication::postEvent(this, new VSettingsSaveEvent, Qt::LowEventPriority);
}

void VSettings::clear()
{
    const std::unique_ptr<QSettings> store = openStore();
    if (!store)
        return;
    store->clear();
    store->sync();
    emit cleared();
}

void VSettings::setWasLoaded(bool loaded)
{
    if (m_wasLoaded == loaded)
        return;
    m_wasLoaded = loaded;
    emit wasLoadedChanged(loaded);
}

void VSettings::onPropChanged()
{
    if (m_liveSave && !m_inConstruction)
        postSave();
}

void VSettings::customEvent(QEvent *event)
{
    if (event->type() == VSettingsLoadEvent::Type) {
        QCoreApplication::removePostedEvents(this, VSettingsLoadEvent::Type);
        event->accept();
        load();
    } else if (event->type() == VSettingsSaveEvent::Type) {
        QCoreApplication::removePostedEvents(this, VSettingsSaveEvent::Type);
        event->accept();
        save();
    } else {
        QObject::customEvent(event);
    }
}

std::unique_ptr<QSettings> VSettings::openStore() const
{
    if (!m_fileName.isEmpty())
        return std::make_unique<QSettings>(m_fileName, QString());
    if (!m_organizationName.isEmpty() && !m_applicationName.isEmpty())
        return std::make_unique<QSettings>(m_organizationName, m_applicationName);
    qWarning("you must define organizaionName and applicationName to load/save settings");
    return nullptr;
}

void VSettings::collectProperties()
{
    // What a QML declaration adds lives on the most derived meta-object level; without
    // additions the element's own properties are the persisted ones.
    const QMetaObject *meta = metaObject();
    m_properties.clear();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isReadable())
            m_properties.append(property);
    }
}

void VSettings::connectProperties(bool connectThem)
{
    const QMetaMethod slot =
        staticMetaObject.method(staticMetaObject.indexOfSlot("onPropChanged()"));
    for (const QMetaProperty &property : std::as_const(m_properties)) {
        if (!property.hasNotifySignal())
            continue;
        if (connectThem)
            connect(this, property.notifySignal(), this, slot, Qt::UniqueConnection);
        else
            disconnect(this, property.notifySignal(), this, slot);
    }
}

void VSettings::identityChanged()
{
    if (m_liveSave && !m_inConstruction)
        save();
}
