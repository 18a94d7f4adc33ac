#include "menustartup.h"

#include <QFontDatabase>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QtTest>

#include <memory>

// What the start-up registers and what the program's resources hold.
class tst_MenuStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MenuStartup::registerTypes(); }

    void registered_data();
    void registered();
    void resources_data();
    void resources();
    void emptyPage();

private:
    QQmlEngine m_engine;
};

void tst_MenuStartup::registered_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error");

    const auto row = [](const char *module, const char *type, const char *error) {
        QTest::newRow(type) << QByteArray("import ") + module + " 1.0\n" + type + " {}\n"
                            << QString::fromLatin1(error);
    };
    row("Menu", "ScreenManager", "");
    row("Menu", "VSettings", "");
    row("Menu", "WheelArea", "");
    row("Menu", "VFilesModel", "");
    row("Menu", "StringPairModel", "");
    row("Menu", "MenuContext", "Element is not creatable.");
    row("VPlots", "VCurve", "");
    row("VPlots", "VFigure", "you can't create this object directly");
    row("SeaBattle", "GameCore", "");
    row("SeaBattle", "Game", "you must not create 'Game' object");
}

void tst_MenuStartup::registered()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    QQmlComponent component(&m_engine);
    component.setData(document, QUrl());
    const std::unique_ptr<QObject> object(component.create());
    if (error.isEmpty()) {
        QVERIFY2(object, qPrintable(component.errorString()));
    } else {
        QVERIFY(!object);
        QVERIFY2(component.errorString().contains(error), qPrintable(component.errorString()));
    }
}

void tst_MenuStartup::resources_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("main document") << ":/share/menu/qml/Starter.qml";
    QTest::newRow("blank page") << ":/share/menu/qml/Empty.qml";
    QTest::newRow("font") << ":/share/menu/fonts/DejaVuSans.ttf";
    QTest::newRow("bold font") << ":/share/menu/fonts/DejaVuSans-Bold.ttf";
    QTest::newRow("icon") << ":/icon.ico";
}

void tst_MenuStartup::resources()
{
    QFETCH(QString, path);
    QVERIFY(QFileInfo::exists(path));
    if (path.endsWith(QLatin1String(".ttf"))) {
        const int id = QFontDatabase::addApplicationFont(path);
        QVERIFY(id >= 0);
        QVERIFY(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("DejaVu Sans")));
    } else if (path.endsWith(QLatin1String(".ico"))) {
        const QImage icon(path);
        QCOMPARE(icon.size(), QSize(64, 64));
    }
}

void tst_MenuStartup::emptyPage()
{
    QQmlComponent component(&m_engine, QUrl(QStringLiteral("qrc:/share/menu/qml/Empty.qml")));
    const std::unique_ptr<QObject> page(component.create());
    QVERIFY2(page, qPrintable(component.errorString()));
    auto *item = qobject_cast<QQuickItem *>(page.get());
    QVERIFY(item);
    QCOMPARE(item->size(), QSizeF(640, 480));
    QCOMPARE(item->property("color").value<QColor>(), QColor(Qt::white));
    QVERIFY(item->childItems().isEmpty());
}

QTEST_MAIN(tst_MenuStartup)
#include "tst_menustartup.moc"
