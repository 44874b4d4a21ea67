#include "ui/fonts/font_list.h"

namespace {

bool Passes(const plat::InstalledFace& face, uint8_t flags, uint8_t char_set) {
  const std::string& name = face.face_name;
  if (!name.empty() && name.front() == '$') return false;
  if ((flags & CFontList::kTrueTypeOnly) != 0 && !face.scalable) return false;
  if ((flags & CFontList::kFixedPitchOnly) != 0 && !face.fixed_pitch) return false;
  if ((flags & CFontList::kNoVerticalFaces) != 0 && !name.empty() && name.front() == '@') return false;
  return (flags & CFontList::kCharSetOnly) == 0 || face.char_set == char_set;
}

// A face's record as a font enumeration gives it: the settings of the face at its default size.
LogicalFont RecordOf(const plat::InstalledFace& face) {
  LogicalFont record;
  record.face_name = face.face_name;
  record.char_set = face.char_set;
  record.pitch_and_family = face.fixed_pitch ? CFontList::kFixedPitch : 0;
  return record;
}

}  // namespace

uint32_t EnumerateFonts(CFontList& list, uint8_t flags, uint8_t char_set,
                        const std::vector<plat::InstalledFace>& installed) {
  list.faces.clear();
  list.flags = flags;
  list.char_set = char_set;
  for (const plat::InstalledFace& face : installed) {
    if (Passes(face, flags, char_set)) list.faces.push_back(RecordOf(face));
  }
  return static_cast<uint32_t>(list.faces.size());
}

uint32_t EnumerateFonts(CFontList& list, uint8_t flags, uint8_t char_set) {
  return EnumerateFonts(list, flags, char_set, plat::ListInstalledFaces());
}
