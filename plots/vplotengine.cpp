#include "vplotengine.h"

VPlotEngine::VPlotEngine(QObject *parent) : QObject(parent) {}

VPlotEngine::~VPlotEngine() = default;

std::unique_ptr<VRenderResultData> VPlotEngine::takeResult()
{
    return std::move(m_result);
}

void VPlotEngine::setResult(std::unique_ptr<VRenderResultData> result)
{
    m_result = std::move(result);
    emit rendered();
}

bool VPlotEngine::hasNewerRequest() const
{
    return false;
}
