#include "app/shell/ShellLinks.h"

ShellLinks& Links()
{
    static ShellLinks links;
    return links;
}
