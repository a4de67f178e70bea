#include "PrintingApplication.h"

#include <gtest/gtest.h>

// The PDF writer measures and draws text, which needs the application object
// the program itself makes for --pdf.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const auto application = sumlark::pdf::startPrintingApplication(argc, argv);
    return RUN_ALL_TESTS();
}
