#ifndef VFIGURE_H
#define VFIGURE_H

#include "vfigurerenderdata.h"

#include <QObject>

#include <memory>

// A figure drawn over a chart's curves. Abstract: QML creates only its line kinds.
class VFigure : public QObject
{
    Q_OBJECT

public:
    int kind() const { return m_kind; }
    virtual std::unique_ptr<VFigureRenderData> createRenderData() const = 0;

protected:
    VFigure(int kind, QObject *parent);

private:
    int m_kind;
};

#endif
