// The wallpaper tests run against real settings stores and buses, so before
// anything else every user folder points into a temporary tree and no session
// variable of the real user is left: nothing the tests do can reach the real
// desktop.
#include "support/temp_folder.h"
#include "support/test_bus.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const tarvenia::testing::TempFolder root;
    tarvenia::testing::UsePrivateUserFolders(root.Root());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
