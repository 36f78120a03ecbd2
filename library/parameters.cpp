#include "library/parameters.h"

#include "library/context.h"
#include "library/pipe.h"
#include "library/status.h"

#include <cmath>

namespace quadrel {

namespace {

// The field that stores an integer parameter, or null for ids without one.
template <class Context>
auto integerField(Context& context, std::int32_t id) -> decltype(&context.param100) {
    switch (id) {
    case kParamLinesMinLength:
        return &context.param100;
    case kParamLinesThickness:
        return &context.param101;
    case kParamLinesDirections:
        return &context.param102;
    case kParamRemovalMinLength:
        return &context.param200;
    case kParamRemovalThickness:
        return &context.param201;
    case kParamRemovalDirections:
        return &context.param202;
    case kParamRemovalUnused:
        return &context.param203;
    case kParamInverseBand:
        return &context.param300;
    case kParamInverseUnused:
        return &context.param301;
    case kParamNoiseAndPictures:
        return &context.param400;
    default:
        return nullptr;
    }
}

// Hundredths of a degree, truncated toward zero; clamped to the 32-bit range
// so that a wild angle cannot make the conversion undefined.
std::int32_t hundredthsOfDegree(double angle) {
    const double scaled = std::trunc(angle * 100.0);
    if (!(scaled == scaled)) return 0; // NaN
    if (scaled >= 2147483647.0) return 2147483647;
    if (scaled <= -2147483648.0) return -2147483647 - 1;
    return std::int32_t(scaled);
}

} // namespace

std::int32_t setParameter(LaContext& context, std::int32_t id, std::int32_t value) {
    if (std::int32_t* field = integerField(context, id)) {
        *field = value;
    } else if (id == kParamPipe) {
        if (value == 0 || pipeExists(value)) context.pipe = value;
    }
    return kOk;
}

std::int32_t getParameter(const LaContext& context, std::int32_t id, std::int32_t& value) {
    if (const std::int32_t* field = integerField(context, id)) {
        value = *field;
    } else if (id == kParamPipe) {
        value = pipeExists(context.pipe) ? context.pipe : 0;
    } else if (id == kParamSkewAngle) {
        if (context.skewValid != 1) {
            value = 0;
            return kNotImportable;
        }
        value = hundredthsOfDegree(context.skewAngle);
    }
    return kOk;
}

void setDefaultPipeParameters(LaContext& context) {
    context.param100 = 80;
    context.param101 = 120;
    context.param102 = 3;
    context.param400 = 9;
    context.param300 = 80;
    context.param301 = 120;
    context.param200 = 80;
    context.param201 = 120;
    context.param202 = 3;
    context.param203 = 7;
}

} // namespace quadrel
