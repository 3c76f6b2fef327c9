// SPDX-License-Identifier: MIT
// Whether tests that play another local user (the tests run as root, which may become "nobody") can let
// that user reach their folders at all: a root file system made private, as a chroot unpacked into a
// `mktemp -d` folder is, keeps every other user out whatever the folders' own modes say.
#pragma once

#include <sys/stat.h>

namespace brelmont::testing {

inline bool OtherUsersCanWalkTheRoot() {
    struct stat root {};
    return stat("/", &root) == 0 && (root.st_mode & S_IXOTH) != 0;
}

inline constexpr const char* kRootClosedToOtherUsers =
    "the root folder is closed to other users here, so no other user can reach the test's folders";

} // namespace brelmont::testing
