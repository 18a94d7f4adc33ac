#include "htmlfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>

namespace {

// Files larger than this are not documents of ours: read no further than a sane page.
constexpr qint64 MaxHtmlBytes = 8 * 1024 * 1024;

} // namespace

HtmlFile::HtmlFile(QObject *parent) : QObject(parent) {}

void HtmlFile::setSource(const QString &source)
{
    if (m_source == source)
        return;
    m_source = source;
    emit sourceChanged();
    load();
}

void HtmlFile::load()
{
    m_text.clear();
    m_title.clear();
    m_ok = false;
    const QUrl given(m_source);
    const QString path = given.isLocalFile() ? given.toLocalFile() : m_source;
    m_url = path.isEmpty() ? QUrl() : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());

    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(MaxHtmlBytes);
        QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
        m_text = decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes);
        QTextDocument document;
        document.setHtml(m_text);
        m_title = document.metaInformation(QTextDocument::DocumentTitle).simplified();
        m_ok = true;
    }
    emit loaded();
}
