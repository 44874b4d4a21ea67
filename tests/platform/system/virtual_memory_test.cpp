#include "platform/system/virtual_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

using plat::AddressReservation;

TEST(AddressReservation, ReservesLargeRangesAndCommitsPagesOnRequest) {
  AddressReservation reservation((std::size_t{1} << 32) + 0x10000);
  ASSERT_TRUE(reservation.IsValid());
  EXPECT_GE(reservation.Size(), (std::size_t{1} << 32) + 0x10000);
  ASSERT_TRUE(reservation.Commit(0x10000, 100));
  std::byte* page = reservation.Base() + 0x10000;
  EXPECT_EQ(page[0], std::byte{0});
  std::memset(page, 0x5A, AddressReservation::PageSize());  // the whole page became usable
  ASSERT_TRUE(reservation.Commit(0xFFFF0000, 0x10000));  // the top of the range as well
  reservation.Base()[0xFFFFFFFF] = std::byte{1};

  EXPECT_FALSE(reservation.Commit(reservation.Size(), 1));
  EXPECT_FALSE(reservation.Commit(0, reservation.Size() + 1));
}

TEST(AddressReservation, DiscardedPagesReadAsZeroAndStayUsable) {
  AddressReservation reservation(1 << 20);
  const std::size_t page = AddressReservation::PageSize();
  ASSERT_TRUE(reservation.Commit(0, 4 * page));
  std::memset(reservation.Base(), 0x77, 4 * page);
  reservation.Discard(page / 2, 2 * page);  // only the one whole page inside is given back
  EXPECT_EQ(reservation.Base()[page - 1], std::byte{0x77});
  EXPECT_EQ(reservation.Base()[page], std::byte{0});
  EXPECT_EQ(reservation.Base()[2 * page - 1], std::byte{0});
  EXPECT_EQ(reservation.Base()[2 * page], std::byte{0x77});
  reservation.Base()[page] = std::byte{3};
  EXPECT_EQ(reservation.Base()[page], std::byte{3});
}

TEST(AddressReservation, MovesOwnership) {
  AddressReservation first(1 << 16);
  std::byte* base = first.Base();
  AddressReservation second(std::move(first));
  EXPECT_FALSE(first.IsValid());
  EXPECT_EQ(second.Base(), base);
  AddressReservation empty;
  EXPECT_FALSE(empty.IsValid());
  EXPECT_FALSE(empty.Commit(0, 1));
  empty = std::move(second);
  EXPECT_EQ(empty.Base(), base);
}

}  // namespace
