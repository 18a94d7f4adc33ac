#ifndef QMLDORRIKBUSPLUGIN_H
#define QMLDORRIKBUSPLUGIN_H

#include <QQmlExtensionPlugin>

// Makes the bus library's classes known to QML as the module "DorrikBus" 1.0. Holds no logic
// of its own.
class QmlDorrikBusPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QQmlExtensionInterface_iid)

public:
    explicit QmlDorrikBusPlugin(QObject *parent = nullptr);

    void registerTypes(const char *uri) override;
};

#endif
