// A range of address space reserved once and made usable page by page, for memories that must
// never move (the script memory).
#pragma once

#include <cstddef>

namespace plat {

class AddressReservation {
 public:
  AddressReservation() = default;
  // Reserves `bytes` of address space, none of it accessible yet. IsValid() tells whether the
  // system granted it.
  explicit AddressReservation(std::size_t bytes);
  ~AddressReservation();

  AddressReservation(AddressReservation&& other) noexcept;
  AddressReservation& operator=(AddressReservation&& other) noexcept;
  AddressReservation(const AddressReservation&) = delete;
  AddressReservation& operator=(const AddressReservation&) = delete;

  bool IsValid() const { return base_ != nullptr; }
  std::byte* Base() const { return base_; }
  std::size_t Size() const { return size_; }

  // Makes the pages that hold [offset, offset + bytes) readable and writable; new pages read as
  // zero. False when the range leaves the reservation or the system refuses.
  bool Commit(std::size_t offset, std::size_t bytes);

  // Gives the physical pages wholly inside [offset, offset + bytes) back to the system; they stay
  // accessible and read as zero afterwards.
  void Discard(std::size_t offset, std::size_t bytes);

  static std::size_t PageSize();

 private:
  void Release();

  std::byte* base_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace plat
