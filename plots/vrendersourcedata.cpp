#include "vrendersourcedata.h"

VRenderSourceData::VRenderSourceData() = default;

VRenderSourceData::~VRenderSourceData() = default;
