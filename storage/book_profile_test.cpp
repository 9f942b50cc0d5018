#include "storage/book_profile.h"

#include <gtest/gtest.h>

#include "storage/database.h"
#include "storage/test_storage_env.h"

namespace ledgora {
namespace {

using testing::TStorageTest;

class BookProfile : public TStorageTest {};

TEST_F(BookProfile, RecentBooksKeepTheLastFourMostRecentFirst) {
  for (const char* name : {"a.VX", "b.VX", "c.VX", "d.VX", "e.VX"}) {
    TDatabase db(PathOf(name), port_);
  }
  EXPECT_EQ(RecentBooks(), (std::vector<std::string>{PathOf("e.VX"), PathOf("d.VX"), PathOf("c.VX"),
                                                     PathOf("b.VX")}));
  // Reopening the third moves it up; the first two move down; the fourth stays.
  TDatabase again(PathOf("C.vx"), port_);  // the same book, without regard to case
  EXPECT_EQ(RecentBooks(), (std::vector<std::string>{PathOf("C.vx"), PathOf("e.VX"), PathOf("d.VX"),
                                                     PathOf("b.VX")}));
  // A working-copy path does not enter the list.
  TDatabase working(PathOf("z.$VX"), port_);
  EXPECT_EQ(RecentBooks()[0], PathOf("C.vx"));
}

TEST_F(BookProfile, InUseMarkerIsWrittenByConstructionAndRemovedByTheCaller) {
  const std::string book = PathOf("Livre.VX");
  EXPECT_FALSE(HasInUseMarker(book));
  TDatabase db(book, port_);
  EXPECT_TRUE(HasInUseMarker(book));
  EXPECT_TRUE(RemoveInUseMarker(book));
  EXPECT_FALSE(HasInUseMarker(book));
}

}  // namespace
}  // namespace ledgora
