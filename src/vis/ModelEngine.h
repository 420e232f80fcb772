// The rotating wire-frame model.
#pragma once

namespace tessaranth {

class ModelEngine {
public:
    void renderModels();
};

} // namespace tessaranth
