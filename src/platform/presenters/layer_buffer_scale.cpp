#include "platform/presenters/layer_buffer_scale.h"

#include <QtGlobal>
#include <cmath>

LayerBufferScale layerBufferScale(QSize pixels, double devicePixelRatio, bool haveViewporter) {
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int whole = qRound(ratio);
    if (whole >= 1 && std::abs(ratio - whole) < 1e-9 && pixels.width() % whole == 0 &&
        pixels.height() % whole == 0)
        return {whole, false, double(whole)};
    if (haveViewporter)
        return {1, true, ratio};
    return {};
}
