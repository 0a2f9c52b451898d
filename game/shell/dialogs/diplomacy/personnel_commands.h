// The four commands of the personnel phase: prisoner treatment, prisoner exchange, guest
// invitation and hostage treatment. The window refuses the captive and hostage commands first
// when the player's house holds none ("現在、当家には捕虜がいません", "現在、当家には人質がいません").
#pragma once

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class MainWindowFace;

void RegisterPersonnelCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd::shell
