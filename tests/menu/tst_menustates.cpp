#include "mainmenustate.h"
#include "menucontext.h"
#include "menustartup.h"
#include "menutesthome.h"
#include "qmlapplicationviewer.h"
#include "vlog.h"

#include <QGuiApplication>
#include <QPointer>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

QUrl document(const char *name)
{
    return QUrl::fromLocalFile(QStringLiteral(DORRIK_MENU_TEST_QML "/") + QLatin1String(name));
}

// Whatever the code writes to the process's standard output while `work` runs.
template <typename F> QByteArray capturedStdout(F work)
{
    QTemporaryFile file;
    if (!file.open())
        return "can't capture";
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(file.handle(), STDOUT_FILENO);
    work();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

} // namespace

// The main menu state and its view: what the document sees, how the view is shown, how it ends.
class tst_MenuStates : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        useMenuTestHome();
    }

private slots:
    void initTestCase();
    void cleanup();

    void documentSeesTheContext();
    void shown_data();
    void shown();
    void quitEndsTheRun();
    void leavingShowsEmptyAndDeletesTheView();

private:
    std::unique_ptr<MenuContext> create(const QStringList &arguments = {})
    {
        return std::make_unique<MenuContext>(menuTestHome()->filePath(QStringLiteral("bin")),
                                             QStringList{"tavrin"} + arguments);
    }
};

void tst_MenuStates::initTestCase()
{
    // A closed view must not end an event loop of the test harness.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void tst_MenuStates::cleanup()
{
    QSettings().clear();
}

void tst_MenuStates::documentSeesTheContext()
{
    const auto context = create({"-set", "deviceAddress=5"});
    context->setState(new MainMenuState(document("ContextDocument.qml")));
    QmlApplicationViewer *viewer = context->viewer();
    QVERIFY(viewer);
    QQuickItem *root = viewer->rootObject();
    QVERIFY(root);
    QCOMPARE(root->property("publishedContext").value<QObject *>(), context.get());
    QCOMPARE(root->property("publishedLog").value<QObject *>(), context->log());
    QCOMPARE(root->property("unqualifiedAddress").toInt(), 5);

    // The root follows the view's size.
    viewer->resize(700, 520);
    QTRY_COMPARE_WITH_TIMEOUT(root->width(), 700.0, 2000);
    QCOMPARE(root->height(), 520.0);
}

void tst_MenuStates::shown_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("fullscreen");
    QTest::newRow("windowed") << QStringList{} << false;
    QTest::newRow("-set fullscreen") << QStringList{"-set", "fullscreen"} << true;
}

void tst_MenuStates::shown()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fullscreen);
    const auto context = create(arguments);
    context->setState(new MainMenuState(document("ContextDocument.qml")));
    QmlApplicationViewer *viewer = context->viewer();
    QVERIFY(viewer);
    QCOMPARE(viewer->minimumSize(), QSize(640, 480));
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->flags().testFlag(Qt::FramelessWindowHint), fullscreen);
    QCOMPARE(viewer->windowStates().testFlag(Qt::WindowFullScreen), fullscreen);
}

void tst_MenuStates::quitEndsTheRun()
{
    const auto context = create();
    int code = -1;
    QGuiApplication::setQuitOnLastWindowClosed(true);
    const QByteArray out = capturedStdout([&] {
        code = MenuStartup::run(*context, {"tavrin", "-v"},
                                new MainMenuState(document("QuitDocument.qml")));
    });
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QCOMPARE(code, 0);
    // The test's own log shares the output: the program's text is last, with no line end.
    QVERIFY2(out.endsWith("\nMenu stopped") && out.count("Menu stopped") == 1, out.constData());
    QVERIFY(context->verbose());
    QVERIFY(context->viewer());
    QVERIFY(!context->viewer()->isVisible());
}

void tst_MenuStates::leavingShowsEmptyAndDeletesTheView()
{
    const auto context = create();
    context->setState(new MainMenuState(document("ContextDocument.qml")));
    QPointer<QmlApplicationViewer> viewer = context->viewer();
    QVERIFY(viewer);
    QPointer<QQuickItem> document = viewer->rootObject();
    QList<QUrl> shown;
    bool viewAliveWhenDocumentWent = false;
    connect(viewer, &QQuickView::statusChanged, this, [&](QQuickView::Status status) {
        if (status == QQuickView::Ready)
            shown << viewer->source();
    });
    connect(document, &QObject::destroyed, this,
            [&] { viewAliveWhenDocumentWent = !viewer.isNull() && context->viewer(); });

    context->exitCurrentState();
    QCOMPARE(shown, QList<QUrl>{QUrl(QStringLiteral("qrc:/share/menu/qml/Empty.qml"))});
    QVERIFY(viewAliveWhenDocumentWent);
    QVERIFY(viewer.isNull());
    QCOMPARE(context->viewer(), nullptr);
}

QTEST_MAIN(tst_MenuStates)
#include "tst_menustates.moc"
