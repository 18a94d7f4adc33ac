#include "vfilesmodel.h"

#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// Compiled from tests/menu/i18n by the build.
const QString Fixtures = QStringLiteral(DORRIK_TRANSLATION_FIXTURES);

QStringList column(const VFilesModel &model, int role)
{
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row)
        values.append(model.index(row).data(role).toString());
    return values;
}

} // namespace

// The folder model on a small tree: what it lists, in which order, and where it stops.
class tst_VFilesModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void confinedToTheRoot_data();
    void confinedToTheRoot();
    void dotDotAndCdUp();
    void foldersBeforeFiles();
    void xmlNewestFirst();
    void translatedNames();
    void unknownRole();
    void linksOutOfTheRootNotListed();

private:
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    void makeFile(const QString &relative, int ageSeconds);
    void listing(VFilesModel &model, const QString &directory);

    QTemporaryDir m_dir;
};

void tst_VFilesModel::makeFile(const QString &relative, int ageSeconds)
{
    QFile file(path(relative));
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    // Written out first: a later flush would stamp the file with the present time.
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
}

void tst_VFilesModel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    makeFile(QStringLiteral("docs/a.xml"), 3000);
    makeFile(QStringLiteral("docs/b.xml"), 10);
    makeFile(QStringLiteral("docs/c.xml"), 600);
    makeFile(QStringLiteral("docs/notes.txt"), 5);
    makeFile(QStringLiteral("docs/manual.pdf"), 100);
    makeFile(QStringLiteral("docs/Руководство.pdf"), 100);
    makeFile(QStringLiteral("docs/Инструкция.pdf"), 100);
    makeFile(QStringLiteral("docs/sub1/inner.xml"), 100);
    QVERIFY(QDir().mkpath(path(QStringLiteral("docs/sub2"))));
    makeFile(QStringLiteral("docs-private/secret.xml"), 100);
    makeFile(QStringLiteral("etc/passwd.xml"), 100);
}

void tst_VFilesModel::listing(VFilesModel &model, const QString &directory)
{
    model.classBegin();
    model.setRootDir(path(QStringLiteral("docs")));
    model.setDirectory(directory);
    model.componentComplete();
}

void tst_VFilesModel::confinedToTheRoot_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<int>("rows");
    QTest::newRow("a sibling whose name begins like the root") << "docs-private" << 0;
    QTest::newRow("a path through the root that leaves it") << "docs/../etc" << 0;
    QTest::newRow("the root") << "docs" << 9;
    QTest::newRow("below the root") << "docs/sub1" << 1;
    QTest::newRow("below the root, not cleaned") << "docs/sub2/../sub1" << 1;
    QTest::newRow("missing folder") << "docs/none" << 0;
}

void tst_VFilesModel::confinedToTheRoot()
{
    QFETCH(QString, directory);
    QFETCH(int, rows);
    VFilesModel model;
    listing(model, path(directory));
    QCOMPARE(model.rowCount(), rows);
}

void tst_VFilesModel::dotDotAndCdUp()
{
    VFilesModel model;
    model.classBegin();
    model.setShowDotDot(true);
    listing(model, path(QStringLiteral("docs")));
    QVERIFY(model.isRootDir());
    QVERIFY(!column(model, VFilesModel::FileNameRole).contains(".."));
    QVERIFY(!model.cdUp());
    QCOMPARE(model.directory(), path(QStringLiteral("docs")));

    QSignalSpy rootChanged(&model, &VFilesModel::isRootDirChanged);
    model.setDirectory(path(QStringLiteral("docs/sub1")));
    QVERIFY(!model.isRootDir());
    QCOMPARE(rootChanged.count(), 1);
    QCOMPARE(column(model, VFilesModel::FileNameRole), (QStringList{"..", "inner.xml"}));
    QVERIFY(model.index(0).data(VFilesModel::IsDotDotRole).toBool());
    QVERIFY(!model.index(1).data(VFilesModel::IsDotDotRole).toBool());

    QVERIFY(model.cdUp());
    QCOMPARE(model.directory(), path(QStringLiteral("docs")));
    QVERIFY(model.isRootDir());
    const int row = model.indexOf(path(QStringLiteral("docs/sub1")));
    QVERIFY(row >= 0);
    QCOMPARE(model.index(row).data(VFilesModel::FileNameRole).toString(), "sub1");
    QCOMPARE(model.indexOf(path(QStringLiteral("docs/none"))), -1);
}

void tst_VFilesModel::foldersBeforeFiles()
{
    VFilesModel model;
    listing(model, path(QStringLiteral("docs")));
    const QStringList names = column(model, VFilesModel::FileNameRole);
    QCOMPARE(names.mid(0, 2), (QStringList{"sub1", "sub2"}));
    QVERIFY(model.index(0).data(VFilesModel::IsDirRole).toBool());
    QVERIFY(!model.index(2).data(VFilesModel::IsDirRole).toBool());
    QCOMPARE(model.index(0).data(VFilesModel::PathRole).toString(), path("docs/sub1"));
    QCOMPARE(model.index(0).data(VFilesModel::DirPathRole).toString(), path("docs"));
    QCOMPARE(model.index(0).data(VFilesModel::DirNameRole).toString(), "sub1");

    const int pdf = int(names.indexOf("manual.pdf"));
    QCOMPARE(model.index(pdf).data(VFilesModel::BaseNameRole).toString(), "manual");
    QCOMPARE(model.index(pdf).data(VFilesModel::SuffixRole).toString(), "pdf");

    // A new folder filter waits for the next listing.
    model.setDirFilter({QStringLiteral("sub2")});
    QCOMPARE(column(model, VFilesModel::FileNameRole).mid(0, 2), (QStringList{"sub1", "sub2"}));
    model.fill();
    QCOMPARE(column(model, VFilesModel::FileNameRole).mid(0, 2), (QStringList{"sub2", "a.xml"}));
}

void tst_VFilesModel::xmlNewestFirst()
{
    VFilesModel model;
    model.classBegin();
    model.setShowDirs(false);
    model.setFileFilter({QStringLiteral("*.xml")});
    model.setSort(VFilesModel::SortByTime);
    listing(model, path(QStringLiteral("docs")));
    QCOMPARE(column(model, VFilesModel::FileNameRole), (QStringList{"b.xml", "c.xml", "a.xml"}));

    model.setSort(VFilesModel::SortByName);
    QCOMPARE(column(model, VFilesModel::FileNameRole), (QStringList{"a.xml", "b.xml", "c.xml"}));
}

void tst_VFilesModel::translatedNames()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("files_de"), Fixtures));
    QVERIFY(QCoreApplication::installTranslator(&translator));

    VFilesModel model;
    listing(model, path(QStringLiteral("docs")));
    const QStringList names = column(model, VFilesModel::FileNameRole);
    const auto tr = [&](const QString &name, int role) {
        return model.index(int(names.indexOf(name))).data(role).toString();
    };
    QCOMPARE(tr("manual.pdf", VFilesModel::FileNameTrRole), "Handbuch.pdf");
    QCOMPARE(tr("manual.pdf", VFilesModel::BaseNameTrRole), "Handbuch");
    QCOMPARE(tr("Руководство.pdf", VFilesModel::FileNameTrRole), "Anleitung.pdf");
    QCOMPARE(tr("Инструкция.pdf", VFilesModel::FileNameTrRole), "Инструкция.pdf");
    QCOMPARE(tr("notes.txt", VFilesModel::FileNameTrRole), "notes.txt");

    model.setTranslateContext(QStringLiteral("Other"));
    QCOMPARE(tr("manual.pdf", VFilesModel::FileNameTrRole), "manual.pdf");
    QCoreApplication::removeTranslator(&translator);
}

void tst_VFilesModel::unknownRole()
{
    VFilesModel model;
    listing(model, path(QStringLiteral("docs")));
    QTest::ignoreMessage(QtCriticalMsg, "unknown role");
    QVERIFY(!model.index(0).data(Qt::DisplayRole).isValid());
    QVERIFY(!model.index(model.rowCount()).data(VFilesModel::FileNameRole).isValid());

    const QString missing = path(QStringLiteral("gone"));
    QTest::ignoreMessage(
        QtCriticalMsg, qPrintable(QStringLiteral("root dir '\"%1\"' doesn't exists").arg(missing)));
    model.setRootDir(missing);
    QCOMPARE(model.rootDir(), missing);
    QCOMPARE(model.rowCount(), 0);
}

void tst_VFilesModel::linksOutOfTheRootNotListed()
{
    makeFile(QStringLiteral("linked/own.xml"), 100);
    QVERIFY(QFile::link(path(QStringLiteral("linked/own.xml")),
                        path(QStringLiteral("linked/alias.xml"))));
    QVERIFY(QFile::link(path(QStringLiteral("etc/passwd.xml")),
                        path(QStringLiteral("linked/outside.xml"))));
    QVERIFY(QFile::link(path(QStringLiteral("etc")), path(QStringLiteral("linked/etcdir"))));
    VFilesModel model;
    model.classBegin();
    model.setRootDir(path(QStringLiteral("linked")));
    model.setDirectory(path(QStringLiteral("linked")));
    model.componentComplete();
    // The link to a folder outside is no folder entry either.
    QCOMPARE(column(model, VFilesModel::FileNameRole), (QStringList{"alias.xml", "own.xml"}));
}

QTEST_GUILESS_MAIN(tst_VFilesModel)
#include "tst_vfilesmodel.moc"
