#pragma once
// Spell-checking tests must not read the machine's personal word lists: Enchant's configuration
// folder points into a temporary folder for the whole test program. Call it from a namespace-scope
// initialiser so that it runs before any checker starts.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace quillet::testing {

inline QString isolateEnchantConfiguration() {
    static QTemporaryDir folder;
    qputenv("ENCHANT_CONFIG_DIR", folder.path().toUtf8());
    return folder.path();
}

} // namespace quillet::testing
