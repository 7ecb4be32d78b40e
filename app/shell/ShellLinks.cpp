#include "app/shell/ShellLinks.h"

ShellLinks& Links()
{
    static ShellLinks links;
    return links;
}

bool LinkedBuildsHeld() { return Links().buildHolds > 0; }

ShellBuildHold::ShellBuildHold() { ++Links().buildHolds; }
ShellBuildHold::~ShellBuildHold() { --Links().buildHolds; }
