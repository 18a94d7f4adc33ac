#include "qmlwarningrule.h"

#include <QDir>
#include <QFile>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The rule's own check, on small documents written where the menu keeps its own and elsewhere.
class tst_QmlWarningRule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void reports_data();
    void reports();

private:
    QStringList m_reports;
};

void tst_QmlWarningRule::initTestCase()
{
    // The broken documents' warnings are this test's input, not faults of the menu: they are
    // checked through the reporter and not printed, so no log shows them as the menu's.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QmlWarningRule::install();
    QmlWarningRule::setReporter([this](const QString &message) { m_reports << message; });
}

void tst_QmlWarningRule::cleanupTestCase()
{
    QmlWarningRule::setReporter({});
}

void tst_QmlWarningRule::reports_data()
{
    QTest::addColumn<bool>("throughEngine");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("reported"); // empty: nothing

    const QString menu = QStringLiteral("share/menu/qml/frames");
    const QByteArray typeError = "import QtQuick\nItem {\n    property var missing: null\n"
                                 "    width: missing.width\n}\n";
    const struct
    {
        const char *name;
        QString folder;
        QByteArray document;
        QString reported;
    } cases[] = {
        {"TypeError in a menu document", menu, typeError, "TypeError"},
        {"ReferenceError in a menu document", menu,
         "import QtQuick\nItem {\n    width: noSuchId.width\n}\n", "ReferenceError"},
        {"undefined given to a bool", menu,
         "import QtQuick\nItem {\n    property var none\n    property bool flag: none\n}\n",
         "Unable to assign [undefined] to bool"},
        {"binding loop", menu,
         "import QtQuick\nItem {\n    width: height + 1\n    height: width + 1\n}\n",
         "Binding loop detected"},
        {"clean menu document", menu,
         "import QtQuick\nItem {\n    property var missing: null\n"
         "    width: missing ? missing.width : 0\n}\n",
         QString()},
        {"TypeError in a document of the tests", QStringLiteral("tests/menu/qml"), typeError,
         QString()},
    };
    // The message handler sees what the engine prints; the engine's own signal is read where
    // another handler stands in front (Qt Quick Test).
    for (const bool throughEngine : {false, true}) {
        for (const auto &row : cases) {
            QTest::addRow("%s, %s", row.name, throughEngine ? "engine" : "message handler")
                << throughEngine << row.folder << row.document << row.reported;
        }
    }
}

void tst_QmlWarningRule::reports()
{
    QFETCH(bool, throughEngine);
    QFETCH(QString, folder);
    QFETCH(QByteArray, document);
    QFETCH(QString, reported);

    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(folder));
    const QString fileName = root.filePath(folder + QStringLiteral("/Broken.qml"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(document);
    file.close();

    m_reports.clear();
    QQmlEngine engine;
    if (throughEngine) {
        engine.setOutputWarningsToStandardError(false);
        QmlWarningRule::watch(&engine);
    }
    QQmlComponent component(&engine, QUrl::fromLocalFile(fileName));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    QCoreApplication::processEvents();

    if (reported.isEmpty()) {
        QCOMPARE(m_reports, QStringList());
    } else {
        QCOMPARE(m_reports.size(), 1);
        QVERIFY2(m_reports.first().contains(reported), qPrintable(m_reports.first()));
        QVERIFY2(m_reports.first().contains(QStringLiteral("/Broken.qml:")),
                 qPrintable(m_reports.first()));
    }
}

QTEST_MAIN(tst_QmlWarningRule)
#include "tst_qmlwarningrule.moc"
