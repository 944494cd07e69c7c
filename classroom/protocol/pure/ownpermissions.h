// The user's own permissions (code 16 body): records "key:value" joined by
// "|". A value other than 0 grants the permission; 0 or text that is not a
// number withdraws it. These keys are spelled apart from the keys of the
// administrators' permission sets (admin/pure/adminlists.h).
#pragma once

#include <QString>

#include <array>

constexpr int kOwnPermissionCount = 29;

// The keys in the order of the login's permission flags (permissionFlags()).
extern const std::array<const char *, kOwnPermissionCount> kOwnPermissionKeys;

// Index of the bat flag, the live broadcast permission.
constexpr int kOwnBat = 0;
constexpr int kOwnZowar = 1;

struct OwnPermissions
{
    // Per flag: -1 not named, 0 withdrawn, 1 granted. A later record with the
    // same key overrides an earlier one.
    std::array<int, kOwnPermissionCount> values;
    // True when at least one record named a key of the table.
    bool anyKey = false;
};

// Records without ":" and records of other keys are skipped.
OwnPermissions parseOwnPermissions(const QString &body);
