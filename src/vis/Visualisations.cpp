// SPDX-License-Identifier: GPL-2.0-or-later
#include "vis/Visualisations.h"

#include "globals/Globals.h"
#include "settings/Settings.h"
#include "vis/Analyzer.h"
#include "vis/ModelEngine.h"

namespace tessaranth {

namespace {

const Visualisation entries[] = {
    {[](const Settings& s) { return s.showAnalyzer() != 0; },
     [](const VisModule* m) { gAnalyzer->renderAnalyzer(m); },
     [](const Settings& s) { s.blockAnalyzer() ? gAnalyzer->clearAnalyzerText() : gAnalyzer->clearAnalyzerGraphics(); },
     [] {
         gAnalyzer->clearAnalyzerGraphics();
         gAnalyzer->clearAnalyzerText();
     }},
    {[](const Settings& s) { return s.showScope() != 0; }, [](const VisModule* m) { gAnalyzer->renderScope(m); },
     [](const Settings& s) { s.blockScope() ? gAnalyzer->clearScopeText() : gAnalyzer->clearScopeGraphics(); },
     [] {
         gAnalyzer->clearScopeGraphics();
         gAnalyzer->clearScopeText();
     }},
    // The models move on their own; they stay as they are when playback stops, and run once
    // more when the plug-in stops.
    {[](const Settings& s) { return s.showModelEngine() != 0; },
     [](const VisModule*) { gModelEngine->renderModels(); }, [](const Settings&) {},
     [] { gModelEngine->renderModels(); }},
    {[](const Settings& s) { return s.showVUMeter() != 0; },
     [](const VisModule* m) { gAnalyzer->renderVUMeter(m); }, [](const Settings&) { gAnalyzer->drawVUMeter(0, 0); },
     [] { gAnalyzer->clearVUMeter(); }},
};

} // namespace

std::span<const Visualisation> visualisations() { return entries; }

} // namespace tessaranth
