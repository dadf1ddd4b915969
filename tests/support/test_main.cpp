// Entry point of the Windows test programs. Wine sends a window that opens
// under the real pointer a real mouse move, which lights links, shows hints and
// sets pointers behind a test's back; a fresh X server starts with its pointer
// at the centre of the screen, right where every centred window opens. So the
// pointer is parked in a corner before each test.

#include <gtest/gtest.h>

#include "tests/support/pointer.h"

namespace {

class ParkPointerBeforeEachTest : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { varnex::testing::ParkPointer(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ParkPointerBeforeEachTest);
  return RUN_ALL_TESTS();
}
