#include "deparser.h"

Deparser::Deparser(QObject *parent) : ErrObject(parent) {}

Deparser::~Deparser() = default;
