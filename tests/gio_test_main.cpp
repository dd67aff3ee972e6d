#include <gtest/gtest.h>

#include "fake_desktop.h"
#include "test_files.h"

// GIO settles on its XDG folders when first used: the private desktop is exported before any
// test runs and stays until the last has finished.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const tolvane::testing::TempFolder root;
    tolvane::testing::FakeDesktop::create(root.path());
    return RUN_ALL_TESTS();
}
