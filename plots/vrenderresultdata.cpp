#include "vrenderresultdata.h"

VRenderResultData::VRenderResultData(const QImage &image, quint32 requestNumber,
                                     const QRectF &ranges)
    : m_image(image), m_requestNumber(requestNumber), m_ranges(ranges)
{}
