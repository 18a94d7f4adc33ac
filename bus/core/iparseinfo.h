#ifndef IPARSEINFO_H
#define IPARSEINFO_H

#include "dorrikbus_global.h"

#include <QString>

// What a caller tells a parser about the bytes it waits for.
class DORRIKBUS_EXPORT IParseInfo
{
public:
    virtual ~IParseInfo() = default;
    virtual QString toString(bool oneLine = false) const = 0;
};

#endif
