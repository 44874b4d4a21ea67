// The result codes of the display layer: the values the engine compares surface and device
// results with. Success is 0; failures are negative when read as signed 32-bit numbers.
#pragma once

#include <cstdint>

namespace plat {

using HResult = int32_t;

inline constexpr HResult DD_OK = 0;
inline constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
inline constexpr HResult DDERR_INVALIDPARAMS = static_cast<HResult>(0x80070057u);
inline constexpr HResult DDERR_NOTINITIALIZED = static_cast<HResult>(0x800401F0u);
inline constexpr HResult DDERR_OUTOFMEMORY = static_cast<HResult>(0x8007000Eu);
inline constexpr HResult DDERR_INVALIDMODE = static_cast<HResult>(0x88760078u);
inline constexpr HResult DDERR_INVALIDPIXELFORMAT = static_cast<HResult>(0x88760091u);
inline constexpr HResult DDERR_INVALIDRECT = static_cast<HResult>(0x88760096u);
inline constexpr HResult DDERR_NOCOOPERATIVELEVELSET = static_cast<HResult>(0x887600D4u);
inline constexpr HResult DDERR_NOCOLORKEY = static_cast<HResult>(0x887600D7u);
inline constexpr HResult DDERR_NOEXCLUSIVEMODE = static_cast<HResult>(0x887600E1u);
inline constexpr HResult DDERR_NOTFOUND = static_cast<HResult>(0x887600FFu);
inline constexpr HResult DDERR_NOTFLIPPABLE = static_cast<HResult>(0x8876014Au);
inline constexpr HResult DDERR_SURFACEBUSY = static_cast<HResult>(0x887601AEu);
inline constexpr HResult DDERR_SURFACELOST = static_cast<HResult>(0x887601C2u);
inline constexpr HResult DDERR_BLTFASTCANTCLIP = static_cast<HResult>(0x8876021Cu);
inline constexpr HResult DDERR_NOTLOCKED = static_cast<HResult>(0x887602E6u);
inline constexpr HResult DDERR_NODC = static_cast<HResult>(0x8876024Fu);

inline constexpr bool Succeeded(HResult result) { return result >= 0; }
inline constexpr bool Failed(HResult result) { return result < 0; }

}  // namespace plat
