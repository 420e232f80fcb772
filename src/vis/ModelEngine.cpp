// SPDX-License-Identifier: GPL-2.0-or-later
#include "vis/ModelEngine.h"

#include "controllers/ControllerLSI.h"
#include "display/LCD.h"
#include "globals/Globals.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tessaranth {

namespace {

struct Vertex {
    float x;
    float y;
    float z;
};

constexpr Vertex cube[8] = {
    {-1, -1, 1}, {1, -1, 1}, {1, -1, -1}, {-1, -1, -1},
    {-1, 1, 1},  {1, 1, 1},  {1, 1, -1},  {-1, 1, -1},
};

// The square at y = -1, the square at y = 1, then the four vertical edges.
constexpr int32_t edges[12][2] = {
    {0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7},
};

constexpr float perspective = 1.0f / 90.0f;

// Scaled and spun about the vertical axis, then moved to the origin.
Vertex placed(const Vertex& v, float ox, float oy, float oz, float angle, float scale) {
    const float x = scale * v.x;
    const float z = scale * v.z;
    const float radius = std::sqrt(x * x + z * z);
    const float turn = std::atan2(x, z) + angle;
    return {ox + radius * std::sin(turn), oy + scale * v.y, oz + radius * std::cos(turn)};
}

} // namespace

ModelEngine::ModelEngine() : centerX(110), centerY(32), sendRows(64) {}

// Written for a text-layer display with the band of rows 64 .. 127 below the fields; where
// that band does not exist (page controllers, displays of 64 rows) nothing is drawn.
int ModelEngine::sendBytes() const {
    if (gLcd->isPageController()) return 0;
    const int rows = std::clamp(gLcd->height() - firstRow, 0, static_cast<int>(sendRows));
    return std::min(rows * gLcd->graphicRowBytes(), pixelBytes);
}

void ModelEngine::renderModels() {
    const int bytes = sendBytes();
    if (bytes <= 0) return;
    for (float frame = 0.0f; frame < static_cast<float>(animationFrames); frame += animationStep) {
        clearFrame();
        const float a = frame * 0.1f;
        const float b = a + std::numbers::pi_v<float>;
        drawModel(std::sin(a) * 50.0f, std::cos(a) * 30.0f, 0.0f, a, 20.0f);
        drawModel(std::sin(b) * 50.0f, std::cos(b) * 30.0f, 0.0f, a * 1.3f, 20.0f);
        gController->writeRow(0, firstRow, pixels, bytes);
        platform::sleepMillis(framePauseMillis);
    }
}

void ModelEngine::clearFrame() { std::fill_n(pixels, std::max(sendBytes(), 0), uint8_t{0}); }

void ModelEngine::drawModel(float ox, float oy, float oz, float angle, float scale) {
    for (const auto& edge : edges) {
        const Vertex p = placed(cube[edge[0]], ox, oy, oz, angle, scale);
        const Vertex q = placed(cube[edge[1]], ox, oy, oz, angle, scale);
        drawEdge(p.x, p.y, p.z, q.x, q.y, q.z);
    }
}

// Perspective projection of both ends, then a fixed-step walk that leaves out the first end
// and ends exactly on the second (each step is taken from the first end, not added up).
void ModelEngine::drawEdge(float x0, float y0, float z0, float x1, float y1, float z1) {
    const float k0 = z0 * perspective + 1.0f;
    const float k1 = z1 * perspective + 1.0f;
    const auto sx0 = static_cast<int32_t>(k0 * x0);
    const auto sy0 = static_cast<int32_t>(k0 * y0);
    const int32_t dx = static_cast<int32_t>(k1 * x1) - sx0;
    const int32_t dy = static_cast<int32_t>(k1 * y1) - sy0;
    const int32_t steps = std::abs(std::abs(dx) >= std::abs(dy) ? dx : dy);
    if (steps == 0) {
        plotPoint(sx0 + centerX, sy0 + centerY);
        return;
    }
    const auto startX = static_cast<float>(sx0 + centerX);
    const auto startY = static_cast<float>(sy0 + centerY);
    for (int32_t step = 1; step <= steps; ++step) {
        const float x = startX + static_cast<float>(dx * step) / static_cast<float>(steps);
        const float y = startY + static_cast<float>(dy * step) / static_cast<float>(steps);
        plotPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
}

void ModelEngine::plotPoint(int32_t x, int32_t y) {
    const int32_t rowBytes = gLcd->graphicRowBytes();
    if (x < 0 || y < 0 || x >= rowBytes * 6 || y >= gLcd->height()) return;
    const int64_t byte = static_cast<int64_t>(y) * rowBytes + x / 6;
    if (byte >= pixelBytes) return;
    pixels[byte] |= static_cast<uint8_t>(0x20 >> (x % 6));
}

} // namespace tessaranth
