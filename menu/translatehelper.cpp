#include "translatehelper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

TranslateHelper::TranslateHelper(const QString &prefix, QObject *parent)
    : TranslateHelper(prefix, QCoreApplication::applicationDirPath(), parent)
{}

TranslateHelper::TranslateHelper(const QString &prefix, const QString &programDir, QObject *parent)
    : QObject(parent), m_prefix(prefix), m_programDir(programDir)
{
    findFiles();
    fillLanguageNames();
}

TranslateHelper::~TranslateHelper()
{
    for (QTranslator *translator : {m_menuTranslator, m_qtTranslator, m_libraryTranslator}) {
        if (translator)
            QCoreApplication::removeTranslator(translator);
    }
}

QString TranslateHelper::translationsDir() const
{
    const QString beside =
        m_programDir + QLatin1String("/share/") + m_prefix + QLatin1String("/i18n");
    if (QFileInfo(beside).isDir())
        return beside;
    return m_programDir + QLatin1String("/../share/") + m_prefix + QLatin1String("/i18n");
}

QString TranslateHelper::languageSuffix(const QString &fileName)
{
    const qsizetype underscore = fileName.indexOf(QLatin1Char('_'));
    const qsizetype qm = fileName.indexOf(QLatin1String(".qm"), underscore + 1);
    if (underscore < 0 || qm < 0)
        return fileName;
    return fileName.mid(underscore + 1, qm - underscore - 1);
}

QString TranslateHelper::languageName(const QString &fileName) const
{
    const QString suffix = languageSuffix(fileName);
    return m_languageNames.value(suffix, suffix);
}

QString TranslateHelper::languageName(int index) const
{
    if (index <= 0 || index > m_files.size())
        return QStringLiteral("English");
    return languageName(m_files.at(index - 1));
}

QStringList TranslateHelper::languageNames() const
{
    QStringList names;
    for (const QString &file : m_files)
        names.append(languageName(file));
    return names;
}

QString TranslateHelper::languageNameBySuffix(const QString &suffix) const
{
    return m_languageNames.value(suffix, QStringLiteral("English"));
}

QString TranslateHelper::suffixByLanguageName(const QString &name) const
{
    for (auto it = m_languageNames.cbegin(); it != m_languageNames.cend(); ++it) {
        if (it.value() == name)
            return it.key();
    }
    return QStringLiteral("en");
}

QStringList TranslateHelper::languageNamesInDir(const QString &path) const
{
    QStringList names;
    const QStringList entries =
        QDir(path).entryList({QStringLiteral("*_??*.*")}, QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const qsizetype underscore = entry.lastIndexOf(QLatin1Char('_'));
        const qsizetype dot = entry.indexOf(QLatin1Char('.'), underscore + 1);
        if (underscore < 0 || dot < 0)
            continue;
        names.append(languageNameBySuffix(entry.mid(underscore + 1, dot - underscore - 1)));
    }
    return names;
}

bool TranslateHelper::loadTranslation(int index)
{
    unloadTranslations();
    if (index >= 0 && index < m_files.size()) {
        const QString file = m_files.at(index);
        const QString suffix = languageSuffix(file);
        const QDir folder(translationsDir());
        qWarning().noquote() << QStringLiteral("loading translation \"%1\" ...").arg(file);
        m_menuTranslator =
            loadOne(QFileInfo(file).completeBaseName(), "Menu translations have loaded",
                    QLatin1String("Warning: can't load menu translation ") +
                        QFileInfo(folder, file).absoluteFilePath());
        m_qtTranslator = loadOne(QLatin1String("qt_") + suffix, "Qt translations have loaded",
                                 QStringLiteral("Warning: Can't load Qt translation"));
        m_libraryTranslator =
            loadOne(QLatin1String("dorrikbus_") + suffix, "DorrikBus translations loaded",
                    QStringLiteral("Warning: Can't load DorrikBus translation"));
    }
    fillLanguageNames();
    return true;
}

void TranslateHelper::unloadTranslations()
{
    for (QTranslator **translator : {&m_menuTranslator, &m_qtTranslator, &m_libraryTranslator}) {
        if (!*translator)
            continue;
        QCoreApplication::removeTranslator(*translator);
        (*translator)->deleteLater();
        *translator = nullptr;
    }
}

void TranslateHelper::findFiles()
{
    const QStringList patterns =
        (m_prefix + QLatin1String("_*.qm")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    m_files = QDir(translationsDir()).entryList(patterns, QDir::Files, QDir::Name);
}

void TranslateHelper::fillLanguageNames()
{
    m_languageNames.clear();
    m_languageNames.insert(QStringLiteral("ru"), QStringLiteral("Русский"));
    m_languageNames.insert(QStringLiteral("en"), QStringLiteral("English"));
}

QTranslator *TranslateHelper::loadOne(const QString &fileName, const char *loaded,
                                      const QString &failed)
{
    auto *translator = new QTranslator(this);
    if (translator->load(fileName, translationsDir())) {
        qWarning("%s", loaded);
        QCoreApplication::installTranslator(translator);
        return translator;
    }
    qWarning().noquote() << failed;
    delete translator;
    return nullptr;
}
