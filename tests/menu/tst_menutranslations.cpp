#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The translation sources of the source tree, as scripts/update-translations.sh leaves them.
const QString TsDir = QStringLiteral(DORRIK_MENU_TS_DIR);

QStringList placeholders(const QString &text)
{
    // "%1", "%L1", "%n": what arg() and the numerus forms fill in.
    static const QRegularExpression marker(QStringLiteral("%L?(\\d{1,2}|n)"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

QString edgeSpaces(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*"));
    static const QRegularExpression trailing(QStringLiteral("\\s*$"));
    return leading.match(text).captured() + QLatin1Char('|') + trailing.match(text).captured();
}

QString quoted(const QString &context, const QString &source)
{
    QString shown = source;
    shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return QStringLiteral("%1 \"%2\"").arg(context, shown);
}

// One line per message that the menu would show wrongly: left unfinished or empty, or a
// translation that lost a placeholder, a line break or the spaces a text is glued on with.
QStringList faultsOf(const QByteArray &ts)
{
    QStringList faults;
    QXmlStreamReader xml(ts);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("TS") || name == QLatin1String("context") ||
            name == QLatin1String("message"))
            continue;
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            const QString where = quoted(context, source);
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                faults << where + QStringLiteral(": no longer in the code");
            else if (type == QLatin1String("unfinished"))
                faults << where + QStringLiteral(": unfinished");
            else if (text.isEmpty())
                faults << where + QStringLiteral(": empty");
            else {
                if (placeholders(text) != placeholders(source))
                    faults << where + QStringLiteral(": placeholders differ");
                if (text.count(QLatin1Char('\n')) != source.count(QLatin1Char('\n')))
                    faults << where + QStringLiteral(": line breaks differ");
                if (edgeSpaces(text) != edgeSpaces(source))
                    faults << where + QStringLiteral(": leading or trailing spaces differ");
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        faults << QStringLiteral("not a translation file: ") + xml.errorString();
    return faults;
}

QByteArray oneMessage(const char *source, const char *translation)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE TS><TS version=\"2.1\" "
                      "language=\"ru\"><context><name>Frame</name><message><source>") +
           source + "</source>" + translation + "</message></context></TS>";
}

} // namespace

// The translation sources hold a finished translation of every message, with its placeholders,
// line breaks and edge spaces kept; the check itself is shown the faults it must name.
class tst_MenuTranslations : public QObject
{
    Q_OBJECT

private slots:
    void faultsNamed_data();
    void faultsNamed();
    void shippedFilesFinished_data();
    void shippedFilesFinished();
};

void tst_MenuTranslations::faultsNamed_data()
{
    QTest::addColumn<QByteArray>("ts");
    QTest::addColumn<QStringList>("faults");
    const QString at = QStringLiteral("Frame \"");
    QTest::newRow("finished") << oneMessage("%1 of %2\nrows",
                                            "<translation>%2 из %1\nстрок</translation>")
                              << QStringList{};
    QTest::newRow("new text after a refresh")
        << oneMessage("Archives", "<translation type=\"unfinished\"></translation>")
        << QStringList{at + "Archives\": unfinished"};
    QTest::newRow("changed text keeps the old guess unfinished")
        << oneMessage("Archive", "<translation type=\"unfinished\">Архивы</translation>")
        << QStringList{at + "Archive\": unfinished"};
    QTest::newRow("empty") << oneMessage("Site", "<translation></translation>")
                           << QStringList{at + "Site\": empty"};
    QTest::newRow("placeholder lost")
        << oneMessage("%1 already exists", "<translation>Уже существует</translation>")
        << QStringList{at + "%1 already exists\": placeholders differ"};
    QTest::newRow("placeholder doubled") << oneMessage("%1 s", "<translation>%1 %1 с</translation>")
                                         << QStringList{at + "%1 s\": placeholders differ"};
    QTest::newRow("line break lost")
        << oneMessage("Battery\n(without display)",
                      "<translation>Батарея (без дисплея)</translation>")
        << QStringList{at + "Battery\\n(without display)\": line breaks differ"};
    QTest::newRow("glued text lost its space")
        << oneMessage("Connection: ", "<translation>Связь:</translation>")
        << QStringList{at + "Connection: \": leading or trailing spaces differ"};
    QTest::newRow("vanished") << oneMessage("Old",
                                            "<translation type=\"vanished\">Старый</translation>")
                              << QStringList{at + "Old\": no longer in the code"};
    QTest::newRow("broken file") << QByteArray("<TS><context>")
                                 << QStringList{
                                        "not a translation file: Premature end of document."};
}

void tst_MenuTranslations::faultsNamed()
{
    QFETCH(QByteArray, ts);
    QFETCH(QStringList, faults);
    QCOMPARE(faultsOf(ts), faults);
}

void tst_MenuTranslations::shippedFilesFinished_data()
{
    QTest::addColumn<QString>("path");
    const QFileInfoList files =
        QDir(TsDir).entryInfoList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
    QVERIFY2(!files.isEmpty(), qPrintable("no translation sources in " + TsDir));
    for (const QFileInfo &file : files)
        QTest::newRow(qPrintable(file.fileName())) << file.absoluteFilePath();
}

void tst_MenuTranslations::shippedFilesFinished()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ts = file.readAll();
    QVERIFY2(ts.contains("<message>"), "the file holds no message");
    const QStringList faults = faultsOf(ts);
    QVERIFY2(faults.isEmpty(),
             qPrintable(QStringLiteral("%1 message(s) to translate or mend:\n").arg(faults.size()) +
                        faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(tst_MenuTranslations)
#include "tst_menutranslations.moc"
