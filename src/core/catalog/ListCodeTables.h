#pragma once

#include <cstdint>
#include <span>

// The camera codes of list entries whose code is not their position. Plain data, shared by
// the windows' lists and the command-line front end.
struct ListCodeTable {
    std::span<const int> controlIds;        // the lists that share these codes
    std::span<const std::int32_t> codes;    // code of entry 0, 1, ...
};

std::span<const ListCodeTable> ListCodeTables();
