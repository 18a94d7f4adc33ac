#include "vpoppler.h"

#include <QFileInfo>
#include <QPainter>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QUrl>

namespace {

// A page drawn larger than this many pixels is not drawn: the zoom's bound on the desktop (5)
// keeps an A4 page well below it.
constexpr qint64 MaxPagePixels = 40'000'000;

} // namespace

VPoppler::VPoppler(QQuickItem *parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

void VPoppler::setSource(const QString &source)
{
    if (m_source == source)
        return;
    m_source = source;
    const QUrl url(source);
    const QString path = url.isLocalFile() ? url.toLocalFile() : source;
    m_document.close();
    if (!path.isEmpty())
        m_document.load(path);
    emit sourceChanged();
    emit documentChanged();
    // A page beyond the new document's last shows its last.
    if (pagesCount() > 0 && m_page > pagesCount())
        m_page = pagesCount();
    emit pageChanged();
    relayout();
}

void VPoppler::setPage(int page)
{
    if (pagesCount() > 0)
        page = qBound(1, page, pagesCount());
    else
        page = qMax(1, page);
    if (m_page == page)
        return;
    m_page = page;
    emit pageChanged();
    relayout();
}

int VPoppler::pagesCount() const
{
    return m_document.status() == QPdfDocument::Status::Ready ? m_document.pageCount() : 0;
}

void VPoppler::setPageScale(qreal scale)
{
    if (!(scale > 0) || qFuzzyCompare(m_scale, scale))
        return;
    m_scale = scale;
    emit pageScaleChanged();
    relayout();
}

QString VPoppler::title() const
{
    return pagesCount() > 0 ? m_document.metaData(QPdfDocument::MetaDataField::Title).toString()
                            : QString();
}

// The page's own label when the document names its pages, else its number.
QString VPoppler::label() const
{
    if (pagesCount() <= 0)
        return QString();
    const QString text = const_cast<QPdfDocument &>(m_document).pageLabel(m_page - 1);
    return text.isEmpty() ? QString::number(m_page) : text;
}

QString VPoppler::shortFileName() const
{
    const QUrl url(m_source);
    return QFileInfo(url.isLocalFile() ? url.toLocalFile() : m_source).fileName();
}

QSizeF VPoppler::pagePointSize() const
{
    return pagesCount() > 0 ? m_document.pagePointSize(m_page - 1) : QSizeF(0, 0);
}

void VPoppler::relayout()
{
    const QSizeF points = pagePointSize();
    const QSize pixels(qRound(points.width() * m_scale), qRound(points.height() * m_scale));
    setSize(pixels);
    if (pixels.isEmpty() || qint64(pixels.width()) * pixels.height() > MaxPagePixels) {
        m_image = QImage();
    } else {
        m_image = m_document.render(m_page - 1, pixels);
        if (!m_image.isNull() && m_image.hasAlphaChannel()) {
            // Pages without a background of their own are white paper.
            QImage paper(m_image.size(), QImage::Format_RGB32);
            paper.fill(Qt::white);
            QPainter(&paper).drawImage(0, 0, m_image);
            m_image = paper;
        }
    }
    m_imageChanged = true;
    setRendered(!m_image.isNull());
    update();
}

void VPoppler::setRendered(bool on)
{
    if (m_rendered == on)
        return;
    m_rendered = on;
    emit renderedChanged();
}

QSGNode *VPoppler::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (m_image.isNull() || !window()) {
        delete node;
        return nullptr;
    }
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        m_imageChanged = true;
    }
    if (m_imageChanged) {
        node->setTexture(window()->createTextureFromImage(m_image));
        m_imageChanged = false;
    }
    node->setRect(boundingRect());
    node->setFiltering(QSGTexture::Linear);
    return node;
}
