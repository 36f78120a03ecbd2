// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/analysis_session.h"

namespace evalia {

namespace {
// LA_Init ignores both of its texts.
constexpr const char* kInitText = "Evalia";
} // namespace

TAnalysisSession::TAnalysisSession(std::unique_ptr<TQuadrelLibrary> library)
    : library_(std::move(library)) {
    if (library_ && library_->IsBound())
        context_ = library_->Exports().LA_Init(kInitText, kInitText);
}

TAnalysisSession::~TAnalysisSession() {
    if (context_ != nullptr) library_->Exports().LA_Done(context_);
}

std::string TAnalysisSession::UnavailableReason() const {
    if (context_ != nullptr) return {};
    if (!library_) return "No analysis library is bound. Processing is disabled.";
    if (!library_->IsBound()) return library_->ErrorText();
    return "The analysis library could not create a context. Processing is disabled.";
}

std::int32_t TAnalysisSession::Execute(LaDibHandle dib) {
    if (context_ == nullptr) return LA_STATUS_NOT_AVAILABLE;
    return library_->Exports().LA_Execute(context_, dib);
}

std::int32_t TAnalysisSession::SkewAngle() const {
    std::int32_t angle = 0;
    if (context_ != nullptr)
        library_->Exports().LA_GetParameter(context_, LA_PARAM_SKEW_ANGLE, &angle);
    return angle;
}

zones::ZoneSource TAnalysisSession::Zones() const {
    zones::ZoneSource source;
    if (context_ == nullptr) return source;
    const QuadrelExports& la = library_->Exports();
    source.context = context_;
    source.count = la.LA_GetZonesCount;
    source.rect = la.LA_GetZoneRect;
    source.content = la.LA_GetZoneContent;
    return source;
}

} // namespace evalia
