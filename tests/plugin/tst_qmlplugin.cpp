#include <QQmlEngine>
#include <QtQuickTest>

// The module is imported from the build tree, where the program finds it beside itself.
class ImportFromBuildTree : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
    }
};

QUICK_TEST_MAIN_WITH_SETUP(tst_qmlplugin, ImportFromBuildTree)
#include "tst_qmlplugin.moc"
