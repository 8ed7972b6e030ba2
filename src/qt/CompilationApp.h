#pragma once

#include "DialogProvider.h"
#include "catalogue/GameTables.h"

namespace brimble {

// The application: owns the naming table and the game database for the whole run, and runs
// the one window modally; the program ends when the window closes.
class CompilationApp {
public:
    // Names the application "brimble", the caption of messages shown without one, whatever
    // name the executable was started under.
    explicit CompilationApp(DialogProvider& dialogs);

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
