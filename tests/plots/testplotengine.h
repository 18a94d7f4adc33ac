#ifndef TESTPLOTENGINE_H
#define TESTPLOTENGINE_H

#include "vplotengine.h"

#include <memory>
#include <vector>

// An engine that keeps the snapshots it is given and answers only when the test says so.
class TestPlotEngine : public VPlotEngine
{
public:
    void render(std::unique_ptr<VRenderSourceData> snapshot) override
    {
        snapshots.push_back(std::move(snapshot));
    }

    void answer(quint32 requestNumber, const QRectF &ranges)
    {
        setResult(std::make_unique<VRenderResultData>(QImage(4, 4, QImage::Format_ARGB32),
                                                      requestNumber, ranges));
    }

    const VRenderSourceData &last() const { return *snapshots.back(); }

    std::vector<std::unique_ptr<VRenderSourceData>> snapshots;
};

#endif
