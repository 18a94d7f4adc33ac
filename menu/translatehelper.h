#ifndef TRANSLATEHELPER_H
#define TRANSLATEHELPER_H

#include <QMap>
#include <QObject>
#include <QStringList>

class QTranslator;

// Finds the menu's translation files and installs the three translators of one language:
// the menu's, Qt's and the library's.
class TranslateHelper : public QObject
{
    Q_OBJECT
public:
    explicit TranslateHelper(const QString &prefix, QObject *parent = nullptr);
    // `programDir` stands for the program's folder (tests give their own).
    TranslateHelper(const QString &prefix, const QString &programDir, QObject *parent = nullptr);
    ~TranslateHelper() override;

    QString translationsDir() const;
    QStringList translationFiles() const { return m_files; }

    static QString languageSuffix(const QString &fileName);
    QString languageName(const QString &fileName) const;
    QString languageName(int index) const;
    QStringList languageNames() const;
    QString languageNameBySuffix(const QString &suffix) const;
    QString suffixByLanguageName(const QString &name) const;
    QStringList languageNamesInDir(const QString &path) const;

public slots:
    bool loadTranslation(int index);
    void unloadTranslations();

private:
    void findFiles();
    void fillLanguageNames();
    QTranslator *loadOne(const QString &fileName, const char *loaded, const QString &failed);

    QString m_prefix;
    QString m_programDir;
    QStringList m_files;
    QTranslator *m_menuTranslator = nullptr;
    QMap<QString, QString> m_languageNames;
    QTranslator *m_qtTranslator = nullptr;
    QTranslator *m_libraryTranslator = nullptr;
};

#endif // TRANSLATEHELPER_H
