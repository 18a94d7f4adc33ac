#ifndef VPLOTS_H
#define VPLOTS_H

// Registers the chart types under the module uri, version 1.0. The program passes "VPlots".
void registerVPlotsTypes(const char *uri);

#endif
