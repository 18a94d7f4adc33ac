#ifndef VPLOTENGINE_H
#define VPLOTENGINE_H

#include "vrenderresultdata.h"
#include "vrendersourcedata.h"

#include <QObject>

#include <memory>

// What a chart renders through: it hands over snapshots and takes back results after
// rendered(). Ownership passes with each call.
class VPlotEngine : public QObject
{
    Q_OBJECT

public:
    explicit VPlotEngine(QObject *parent = nullptr);
    ~VPlotEngine() override;

    virtual void render(std::unique_ptr<VRenderSourceData> snapshot) = 0;
    // The stored result, forgotten here; none when there is none.
    virtual std::unique_ptr<VRenderResultData> takeResult();
    // Replaces the stored result and emits rendered(), also for none.
    virtual void setResult(std::unique_ptr<VRenderResultData> result);
    virtual bool hasNewerRequest() const;

signals:
    void rendered();

protected:
    std::unique_ptr<VRenderResultData> m_result;
};

#endif
