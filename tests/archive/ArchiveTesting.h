#pragma once

#include "archive/CountArchive.h"

#include <gtest/gtest.h>

#include <variant>

namespace orva::test {

// The result of an archive call that must work; a failure names the database's reason.
template <typename T> T ok(ArchiveResult<T> r) {
    if (const auto* e = std::get_if<ArchiveError>(&r)) {
        ADD_FAILURE() << "archive error: " << e->detail;
        return T{};
    }
    return std::get<T>(std::move(r));
}

inline const DateTime kNoon{{2026, 12, 7}, 12, 0, 0};
inline const ArchiveQuery kAll{"", {1900, 1, 1}, {2100, 12, 31}};

} // namespace orva::test
