#ifndef HTMLFILE_H
#define HTMLFILE_H

#include <QObject>
#include <QString>
#include <QUrl>

// An HTML file read for Qt's rich text: its text, decoded by the charset it declares, its title
// and its URL. QML cannot read a local file by itself without opening every file to scripts.
class HtmlFile : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(QString text READ text NOTIFY loaded)
    Q_PROPERTY(QString title READ title NOTIFY loaded)
    Q_PROPERTY(QString url READ url NOTIFY loaded)
    Q_PROPERTY(bool ok READ ok NOTIFY loaded)

public:
    explicit HtmlFile(QObject *parent = nullptr);

    QString source() const { return m_source; }
    void setSource(const QString &source);
    QString text() const { return m_text; }
    QString title() const { return m_title; }
    QString url() const { return m_url.toString(); }
    bool ok() const { return m_ok; }

signals:
    void sourceChanged();
    void loaded();

private:
    void load();

    QString m_source;
    QString m_text;
    QString m_title;
    QUrl m_url;
    bool m_ok = false;
};

#endif // HTMLFILE_H
