#pragma once

#include "DialogProvider.h"
#include "catalogue/GameTables.h"

namespace brimble {

// The application: owns the naming table and the game database for the whole run, and runs
// the one window modally; the program ends when the window closes.
class CompilationApp {
public:
    explicit CompilationApp(DialogProvider& dialogs) : m_dialogs(dialogs) {}

    // Builds the window (its start-up sequence loads settings, tables and the saved list),
    // runs it until it closes and returns.
    void Run();

    NameTable& Names() { return m_names; }
    GameDatabase& Database() { return m_database; }

private:
    NameTable m_names;
    GameDatabase m_database;
    DialogProvider& m_dialogs;
};

} // namespace brimble
