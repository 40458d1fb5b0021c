#pragma once

#include <QString>

namespace store
{

// The embedded Firebird engine keeps lock tables and sort files in folders
// named by FIREBIRD_LOCK and FIREBIRD_TMP. Debian's default, /tmp/firebird,
// belongs to whoever created it first, so an ordinary user may find it
// unusable after root ran the engine. We use a private folder of the user
// instead. Two engines that still disagree on the folder cannot damage a
// file: each engine locks the database file it opens exclusively, and the
// second one gets a clear error.
class EmbeddedEngine
{
public:
    // Creates the folder if needed and sets both variables; must run before
    // the first connection of the process. Throws DatabaseError when the
    // folder is unusable (not ours, or not writable).
    static void prepare();

    // The folder prepare() uses: <runtime or temp folder>/qev-firebird-<uid>.
    static QString folder();
};

} // namespace store
