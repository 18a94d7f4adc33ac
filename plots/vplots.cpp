#include "vplots.h"

#include "gridvaluesmodel.h"
#include "vbaselinefigure.h"
#include "vcurve.h"
#include "vfigure.h"
#include "vhorizontalline.h"
#include "vmarker.h"
#include "vplot.h"
#include "vpointsmodel.h"
#include "vverticalline.h"

#include <QQmlEngine>

void registerVPlotsTypes(const char *uri)
{
    const QString figureReason = QStringLiteral("you can't create this object directly");
    const QString modelReason = QStringLiteral("you shouldn't create this object directly");
    qmlRegisterType<VPlot>(uri, 1, 0, "VPlot");
    qmlRegisterType<VCurve>(uri, 1, 0, "VCurve");
    qmlRegisterUncreatableType<VFigure>(uri, 1, 0, "VFigure", figureReason);
    qmlRegisterUncreatableType<VBaseLineFigure>(uri, 1, 0, "VBaseLineFigure", figureReason);
    qmlRegisterType<VVerticalLine>(uri, 1, 0, "VVerticalLine");
    qmlRegisterType<VHorizontalLine>(uri, 1, 0, "VHorizontalLine");
    qmlRegisterType<VMarker>(uri, 1, 0, "VMarker");
    qmlRegisterUncreatableType<GridValuesModel>(uri, 1, 0, "GridValuesModel", modelReason);
    qmlRegisterUncreatableType<VPointsModel>(uri, 1, 0, "VPointsModel", modelReason);
}
