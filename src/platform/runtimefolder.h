#pragma once

#include <QString>

// The user's private folder for sockets and lock files, which no other user can enter or
// create names in. Linux: $XDG_RUNTIME_DIR when it is a folder owned by us with mode 0700;
// otherwise a folder "lumora-<uid>" in the temporary folder, made with mode 0700 and checked
// (owned by us, not a link, nobody else may enter) before it is used. Windows: the per-user
// temporary folder.
class RuntimeFolder
{
public:
    // The folder, or an empty string (and a warning) when no private folder can be had, for
    // instance because another user made "lumora-<uid>" first.
    static QString path();
};
