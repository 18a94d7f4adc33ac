#ifndef VPLOTTHREADEDENGINE_H
#define VPLOTTHREADEDENGINE_H

#include "vplotengine.h"

#include <functional>
#include <mutex>

// The render worker, living in a chart's render thread. At most one snapshot waits: a newer one
// replaces it before it starts, and a render that a newer snapshot overtakes stops at its next
// curve without a result.
//
// Shared with the GUI thread, under m_mutex: the pending snapshot, the stored result and the
// hook. Everything else is the render thread's.
class VPLotThreadedEngine : public VPlotEngine
{
    Q_OBJECT

public:
    explicit VPLotThreadedEngine(QObject *parent = nullptr);
    ~VPLotThreadedEngine() override;

    // Called from the GUI thread.
    void render(std::unique_ptr<VRenderSourceData> snapshot) override;
    std::unique_ptr<VRenderResultData> takeResult() override;
    void setResult(std::unique_ptr<VRenderResultData> result) override;
    bool hasNewerRequest() const override;

    // For tests: runs in the render thread before each curve, so a test can hold a render.
    void setBeforeCurveHook(std::function<void()> hook);

protected:
    void customEvent(QEvent *event) override;

private:
    mutable std::mutex m_mutex;
    std::unique_ptr<VRenderSourceData> m_pending;
    std::function<void()> m_beforeCurve;
};

#endif
