#include "mydeclarativeparserstatus.h"

MyDeclarativeParserStatus::MyDeclarativeParserStatus() = default;

MyDeclarativeParserStatus::~MyDeclarativeParserStatus() = default;

void MyDeclarativeParserStatus::classBegin()
{
    m_initializing = true;
}

void MyDeclarativeParserStatus::componentComplete()
{
    m_initializing = false;
}
