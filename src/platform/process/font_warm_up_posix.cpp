#include "platform/process/font_warm_up.h"

#include <fontconfig/fontconfig.h>

// fontconfig is safe to call from any thread: a reader that comes while the configuration
// is still being read reads it too, and one of the two readings is kept.
FontWarmUp::FontWarmUp() : thread_([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp() {
    thread_.join();
}
