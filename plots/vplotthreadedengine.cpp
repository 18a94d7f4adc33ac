#include "vplotthreadedengine.h"

#include "datarenderevent.h"
#include "vplotrenderer.h"

#include <QCoreApplication>

VPLotThreadedEngine::VPLotThreadedEngine(QObject *parent) : VPlotEngine(parent) {}

VPLotThreadedEngine::~VPLotThreadedEngine()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending.reset();
    m_result.reset();
}

void VPLotThreadedEngine::render(std::unique_ptr<VRenderSourceData> snapshot)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = std::move(snapshot);
    }
    QCoreApplication::postEvent(this, new DataRenderEvent);
}

std::unique_ptr<VRenderResultData> VPLotThreadedEngine::takeResult()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return VPlotEngine::takeResult();
}

void VPLotThreadedEngine::setResult(std::unique_ptr<VRenderResultData> result)
{
    // rendered() reaches the GUI thread queued, so emitting under the lock holds it across
    // nothing.
    std::lock_guard<std::mutex> lock(m_mutex);
    VPlotEngine::setResult(std::move(result));
}

bool VPLotThreadedEngine::hasNewerRequest() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending != nullptr;
}

void VPLotThreadedEngine::setBeforeCurveHook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_beforeCurve = std::move(hook);
}

void VPLotThreadedEngine::customEvent(QEvent *event)
{
    if (event->type() != DataRenderEvent::Type) {
        VPlotEngine::customEvent(event);
        return;
    }
    QCoreApplication::removePostedEvents(this, DataRenderEvent::Type);

    std::unique_ptr<VRenderSourceData> snapshot;
    std::function<void()> beforeCurve;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        snapshot = std::move(m_pending);
        beforeCurve = m_beforeCurve;
    }
    if (!snapshot)
        return;

    bool aborted = false;
    const QImage image = VPlotRenderer::render(
        *snapshot,
        [this, &beforeCurve] {
            if (beforeCurve)
                beforeCurve();
            return hasNewerRequest();
        },
        &aborted);
    if (aborted)
        return;
    const QRectF ranges(snapshot->xMin, snapshot->yMin, snapshot->xMax - snapshot->xMin,
                        snapshot->yMax - snapshot->yMin);
    setResult(std::make_unique<VRenderResultData>(image, snapshot->requestNumber, ranges));
}
