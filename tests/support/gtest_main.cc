#include "support/gtest.h"
#include "support/wintest.h"
#include <stdio.h>

int main(int argc, char** argv)
{
    // Output goes through a pipe under ctest; keep it in order with Wine's own.
    setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    UnansweredBoxGuard guard;
    return RUN_ALL_TESTS();
}
