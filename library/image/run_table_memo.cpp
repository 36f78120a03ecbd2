// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/run_table_memo.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quadrel {

namespace {

thread_local RunTableMemo* gCurrentMemo = nullptr;

std::size_t bytesPerRow(const LaBitmap& bitmap) {
    return (std::size_t(bitmap.width) + 7) / 8;
}

} // namespace

RunTableMemo::RunTableMemo() : outer_(gCurrentMemo) {
    gCurrentMemo = this;
}

RunTableMemo::~RunTableMemo() {
    gCurrentMemo = outer_;
}

bool RunTableMemo::Entry::holds(const LaBitmap& bitmap) const {
    if (width != bitmap.width || height != bitmap.height || blackIsZero != bitmap.blackIsZero ||
        !bitmap.hasPixels())
        return false;
    const std::size_t n = bytesPerRow(bitmap);
    if (rows.size() != n * std::size_t(bitmap.height)) return false;
    for (std::int32_t r = 0; r < bitmap.height; ++r)
        if (std::memcmp(rows.data() + std::size_t(r) * n, bitmap.row(r), n) != 0) return false;
    return true;
}

RunTableMemo::Entry RunTableMemo::entryOf(const LaBitmap& bitmap) {
    Entry entry;
    entry.width = bitmap.width;
    entry.height = bitmap.height;
    entry.blackIsZero = bitmap.blackIsZero;
    const std::size_t n = bytesPerRow(bitmap);
    entry.rows.resize(n * std::size_t(bitmap.height));
    for (std::int32_t r = 0; r < bitmap.height; ++r)
        std::memcpy(entry.rows.data() + std::size_t(r) * n, bitmap.row(r), n);
    return entry;
}

RunTableMemo::Entry* RunTableMemo::entryFor(const LaBitmap& bitmap) {
    for (Entry& entry : entries_)
        if (entry.holds(bitmap)) return &entry;
    return nullptr;
}

void RunTableMemo::makeRoom() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.empty(); });
    if (entries_.size() < kPages) return;
    const auto smallest =
        std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.rows.size() < b.rows.size();
        });
    entries_.erase(smallest);
}

std::optional<RunTable> RunTableMemo::take(const LaBitmap& bitmap, RunAxis axis) {
    RunTableMemo* memo = gCurrentMemo;
    Entry* entry = memo ? memo->entryFor(bitmap) : nullptr;
    if (!entry || !entry->tables[int(axis)]) return std::nullopt;
    std::optional<RunTable> table = std::move(entry->tables[int(axis)]);
    entry->tables[int(axis)].reset();
    return table;
}

const RunTable* RunTableMemo::find(const LaBitmap& bitmap, RunAxis axis) {
    RunTableMemo* memo = gCurrentMemo;
    Entry* entry = memo ? memo->entryFor(bitmap) : nullptr;
    return entry && entry->tables[int(axis)] ? &*entry->tables[int(axis)] : nullptr;
}

void RunTableMemo::keep(const LaBitmap& bitmap, RunAxis axis, RunTable&& table) {
    RunTableMemo* memo = gCurrentMemo;
    if (!memo || !bitmap.hasPixels()) return;
    Entry* entry = memo->entryFor(bitmap);
    if (!entry) {
        memo->makeRoom();
        try {
            memo->entries_.push_back(entryOf(bitmap));
        } catch (const std::bad_alloc&) {
            return;
        }
        entry = &memo->entries_.back();
    }
    entry->tables[int(axis)] = std::move(table);
}

void RunTableMemo::keepOnly(const LaBitmap& bitmap) {
    if (RunTableMemo* memo = gCurrentMemo)
        std::erase_if(memo->entries_, [&](const Entry& entry) { return !entry.holds(bitmap); });
}

} // namespace quadrel
