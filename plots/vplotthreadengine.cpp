#include "vplotthreadengine.h"

#include "vplotthreadedengine.h"

#include <QThread>

VPlotThreadEngine::VPlotThreadEngine(QObject *parent)
    : VPlotEngine(parent), m_thread(new QThread), m_worker(new VPLotThreadedEngine)
{
    m_thread->setObjectName(QStringLiteral("VPlot render"));
    // Queued: the worker emits in the render thread, this object lives in the GUI thread.
    connect(m_worker, &VPlotEngine::rendered, this, &VPlotThreadEngine::onRenderedFromThread);
    m_worker->moveToThread(m_thread);
    m_thread->start(QThread::LowPriority);
}

VPlotThreadEngine::~VPlotThreadEngine()
{
    // The thread sends the pending deferred deletion as it finishes, so the worker goes in its
    // own thread after the render in progress, if any, has ended.
    m_worker->deleteLater();
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void VPlotThreadEngine::render(std::unique_ptr<VRenderSourceData> snapshot)
{
    m_worker->render(std::move(snapshot));
}

void VPlotThreadEngine::onRenderedFromThread()
{
    // A result that an earlier call took leaves none: the chart then keeps its picture.
    setResult(m_worker->takeResult());
}
