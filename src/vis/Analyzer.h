// The working state of the spectrum analyzer, the oscilloscope and the VU meter.
#pragma once

#include "tessaranth/plugin_abi.h"

namespace tessaranth {

class Analyzer {
public:
    void renderAnalyzer(const VisModule* module);
    void clearAnalyzerText();
    void clearAnalyzerGraphics();
    void renderScope(const VisModule* module);
    void clearScopeText();
    void clearScopeGraphics();
    void renderVUMeter(const VisModule* module);
    void clearVUMeter();
};

} // namespace tessaranth
