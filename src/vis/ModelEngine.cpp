#include "vis/ModelEngine.h"

namespace tessaranth {

void ModelEngine::renderModels() {}

} // namespace tessaranth
