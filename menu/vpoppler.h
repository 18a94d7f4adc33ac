#ifndef VPOPPLER_H
#define VPOPPLER_H

#include <QImage>
#include <QPdfDocument>
#include <QQuickItem>
#include <QSizeF>
#include <QString>

// One page of a PDF file, drawn at `scale` pixels per point; the item's size follows the drawn
// page. Rendered here, in the GUI thread: Qt 6.4's PdfPageImage renders in the image reader's
// thread with the document of the GUI thread, and crashes when the viewer closes meanwhile.
class VPoppler : public QQuickItem
{
    Q_OBJECT
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)
    // From 1.
    Q_PROPERTY(int page READ page WRITE setPage NOTIFY pageChanged)
    Q_PROPERTY(int pagesCount READ pagesCount NOTIFY documentChanged)
    // The zoom: it stands in for the item's own drawing scale, which stays 1.
    Q_PROPERTY(qreal scale READ pageScale WRITE setPageScale NOTIFY pageScaleChanged)
    Q_PROPERTY(QString title READ title NOTIFY documentChanged)
    Q_PROPERTY(QString label READ label NOTIFY pageChanged)
    Q_PROPERTY(QString shortFileName READ shortFileName NOTIFY sourceChanged)
    Q_PROPERTY(QSizeF pagePointSize READ pagePointSize NOTIFY pageChanged)
    Q_PROPERTY(bool rendered READ rendered NOTIFY renderedChanged)

public:
    explicit VPoppler(QQuickItem *parent = nullptr);

    QString source() const { return m_source; }
    void setSource(const QString &source);
    int page() const { return m_page; }
    void setPage(int page);
    int pagesCount() const;
    qreal pageScale() const { return m_scale; }
    void setPageScale(qreal scale);
    QString title() const;
    QString label() const;
    QString shortFileName() const;
    QSizeF pagePointSize() const;
    bool rendered() const { return m_rendered; }

signals:
    void sourceChanged();
    void pageChanged();
    void documentChanged();
    void pageScaleChanged();
    void renderedChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;

private:
    void relayout();
    void setRendered(bool on);

    QPdfDocument m_document;
    QString m_source;
    int m_page = 1;
    qreal m_scale = 1;
    QImage m_image;
    bool m_imageChanged = false;
    bool m_rendered = false;
};

#endif // VPOPPLER_H
