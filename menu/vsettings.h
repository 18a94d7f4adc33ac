#ifndef VSETTINGS_H
#define VSETTINGS_H

#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QQmlParserStatus>

#include <memory>

class QSettings;

// Persists the properties that a QML declaration adds to it, each under its own name.
class VSettings : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(bool wasLoaded READ wasLoaded WRITE setWasLoaded NOTIFY wasLoadedChanged)
    Q_PROPERTY(bool loadOnCreate READ loadOnCreate WRITE setLoadOnCreate NOTIFY loadOnCreateChanged)
    Q_PROPERTY(
        bool saveOnDestroy READ saveOnDestroy WRITE setSaveOnDestroy NOTIFY saveOnDestroyChanged)
    Q_PROPERTY(bool liveSave READ liveSave WRITE setLiveSave NOTIFY liveSaveChanged)
    Q_PROPERTY(QString organizationName READ organizationName WRITE setOrganizationName NOTIFY
                   organizationNameChanged)
    Q_PROPERTY(QString applicationName READ applicationName WRITE setApplicationName NOTIFY
                   applicationNameChanged)
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(bool clearOnSave READ clearOnSave WRITE setClearOnSave NOTIFY clearOnSaveChanged)
public:
    explicit VSettings(QObject *parent = nullptr);
    ~VSettings() override;

    bool wasLoaded() const { return m_wasLoaded; }
    bool loadOnCreate() const { return m_loadOnCreate; }
    void setLoadOnCreate(bool load);
    bool saveOnDestroy() const { return m_saveOnDestroy; }
    void setSaveOnDestroy(bool save);
    bool liveSave() const { return m_liveSave; }
    void setLiveSave(bool live);
    QString organizationName() const { return m_organizationName; }
    void setOrganizationName(const QString &name);
    QString applicationName() const { return m_applicationName; }
    void setApplicationName(const QString &name);
    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name);
    bool clearOnSave() const { return m_clearOnSave; }
    void setClearOnSave(bool clear);

    void classBegin() override;
    void componentComplete() override;

public slots:
    void load();
    void postLoad();
    void save();
    void postSave();
    void clear();
    void setWasLoaded(bool loaded);
    void onPropChanged();

signals:
    void wasLoadedChanged(bool loaded);
    void loadOnCreateChanged();
    void saveOnDestroyChanged();
    void liveSaveChanged();
    void organizationNameChanged();
    void applicationNameChanged();
    void fileNameChanged();
    void clearOnSaveChanged();
    void loaded();
    void saved();
    void cleared();

protected:
    void customEvent(QEvent *event) override;

private:
    std::unique_ptr<QSettings> openStore() const;
    void collectProperties();
    void connectProperties(bool connectThem);
    void identityChanged();

    bool m_loadOnCreate = true;
    bool m_saveOnDestroy = true;
    bool m_liveSave = true;
    QList<QMetaProperty> m_properties;
    bool m_inConstruction = false;
    QString m_organizationName;
    QString m_applicationName;
    QString m_fileName;
    bool m_clearOnSave = true;
    bool m_wasLoaded = false;
};

#endif // VSETTINGS_H
