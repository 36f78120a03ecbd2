// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/parameters.h"

#include "library/context.h"
#include "library/la_api.h"
#include "library/pipe.h"

#include <cmath>

namespace quadrel {

namespace {

// The field that stores an integer parameter, or null for ids without one.
template <class Context>
auto integerField(Context& context, std::int32_t id) -> decltype(&context.param100) {
    switch (id) {
    case LA_PARAM_LINES_MIN_SEED_LENGTH:
        return &context.param100;
    case LA_PARAM_LINES_MAX_THICKNESS:
        return &context.param101;
    case LA_PARAM_LINES_DIRECTIONS:
        return &context.param102;
    case LA_PARAM_REMOVAL_MIN_SEED_LENGTH:
        return &context.param200;
    case LA_PARAM_REMOVAL_MAX_THICKNESS:
        return &context.param201;
    case LA_PARAM_REMOVAL_DIRECTIONS:
        return &context.param202;
    case LA_PARAM_REMOVAL_RESERVED:
        return &context.param203;
    case LA_PARAM_INVERSE_MIN_WIDTH:
        return &context.param300;
    case LA_PARAM_INVERSE_RESERVED:
        return &context.param301;
    case LA_PARAM_NOISE_AND_PICTURES:
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
    } else if (id == LA_PARAM_PIPE) {
        if (value == 0 || pipeExists(value)) context.pipe = value;
    }
    return LA_STATUS_OK;
}

std::int32_t getParameter(const LaContext& context, std::int32_t id, std::int32_t& value) {
    if (const std::int32_t* field = integerField(context, id)) {
        value = *field;
    } else if (id == LA_PARAM_PIPE) {
        value = pipeExists(context.pipe) ? context.pipe : 0;
    } else if (id == LA_PARAM_SKEW_ANGLE) {
        if (context.skewValid != 1) {
            value = 0;
            return LA_STATUS_NOT_AVAILABLE;
        }
        value = hundredthsOfDegree(context.skewAngle);
    }
    return LA_STATUS_OK;
}

void setDefaultPipeParameters(LaContext& context) {
    context.param100 = LA_DEFAULT_LINES_MIN_SEED_LENGTH;
    context.param101 = LA_DEFAULT_LINES_MAX_THICKNESS;
    context.param102 = LA_DEFAULT_LINES_DIRECTIONS;
    context.param400 = LA_DEFAULT_NOISE_AND_PICTURES;
    context.param300 = LA_DEFAULT_INVERSE_MIN_WIDTH;
    context.param301 = LA_DEFAULT_INVERSE_RESERVED;
    context.param200 = LA_DEFAULT_REMOVAL_MIN_SEED_LENGTH;
    context.param201 = LA_DEFAULT_REMOVAL_MAX_THICKNESS;
    context.param202 = LA_DEFAULT_REMOVAL_DIRECTIONS;
    context.param203 = LA_DEFAULT_REMOVAL_RESERVED;
}

} // namespace quadrel
