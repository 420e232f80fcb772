#include "vis/Analyzer.h"

namespace tessaranth {

void Analyzer::renderAnalyzer(const VisModule*) {}
void Analyzer::clearAnalyzerText() {}
void Analyzer::clearAnalyzerGraphics() {}
void Analyzer::renderScope(const VisModule*) {}
void Analyzer::clearScopeText() {}
void Analyzer::clearScopeGraphics() {}
void Analyzer::renderVUMeter(const VisModule*) {}
void Analyzer::clearVUMeter() {}

} // namespace tessaranth
