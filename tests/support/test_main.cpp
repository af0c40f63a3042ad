// Entry point of every test program: the platform values and optional functions are set up as
// the program's static objects set them up, then GoogleTest runs.
#include <gtest/gtest.h>

#include "app/optional_apis.h"
#include "app/platform_values.h"

#include <cstring>

#include "tests/support/child_process.h"

int main(int argc, char** argv)
{
    RecordPlatformValues();
    // A test may start its own program again to see what a fresh process records.
    if (argc > 1 && std::strcmp(argv[1], PRINT_PLATFORM_SWITCH) == 0)
        return EncodePlatformValues();
    OptionalApis optionalApis;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
