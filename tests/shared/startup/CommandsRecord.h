#pragma once
// Start-up's record is the whole program's: a case that fills it empties it
// again, so that no case reads what another left there.
#include "Commands.h"

#include <string>

namespace peerkin::test {

inline void ClearCommandsRecord()
{
    for (std::wstring* field : { &Commands::AppPath, &Commands::AppName, &Commands::ExeName, &Commands::IniFile,
             &Commands::WinIni, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir, &Commands::CmdLine,
             &Commands::NewLine })
        field->clear();
}

} // namespace peerkin::test
