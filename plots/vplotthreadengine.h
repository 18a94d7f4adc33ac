#ifndef VPLOTTHREADENGINE_H
#define VPLOTTHREADENGINE_H

#include "vplotengine.h"

class QThread;
class VPLotThreadedEngine;

// A chart's render engine: passes snapshots to a worker in a thread of its own at low priority
// and hands the worker's results on in the GUI thread.
class VPlotThreadEngine : public VPlotEngine
{
    Q_OBJECT

public:
    explicit VPlotThreadEngine(QObject *parent = nullptr);
    // Returns only once the render thread has ended.
    ~VPlotThreadEngine() override;

    void render(std::unique_ptr<VRenderSourceData> snapshot) override;

    VPLotThreadedEngine *worker() const { return m_worker; }

public slots:
    void onRenderedFromThread();

private:
    QThread *m_thread;
    // Lives in m_thread and is deleted there.
    VPLotThreadedEngine *m_worker;
};

#endif
