#include "scene/motions/motion_path_text.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "base/text/tokenizer.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class PathTextReader {
 public:
  PathTextReader(const char* text, const PathTextFrame& frame, PathText& out)
      : cursor_(text), frame_(frame), out_(out) {}

  uint32_t Run() {
    out_ = PathText{};
    out_.centre_x = frame_.width / 2;
    out_.centre_y = frame_.height / 2;
    point_.x = frame_.start_x;
    point_.y = frame_.start_y;
    point_.alpha = frame_.start_alpha;
    out_.records.push_back(point_);
    while (*cursor_ != '\0') {
      if (const uint32_t status = ReadUnit(); status != 0) return status;
    }
    EndPoint();
    return out_.records.size() < 2 ? kPathUnknownCommand : 0;
  }

 private:
  uint32_t ReadUnit() {
    const char c = *cursor_;
    if (c < ' ' || c > 'z') return kPathUnknownCommand;
    if (c == ' ') {
      ++cursor_;
      EndPoint();
      return 0;
    }
    if (IsDigit(c)) {
      EndPoint();
      const std::optional<int64_t> time = ReadDigits();
      if (!time || *time > std::numeric_limits<int32_t>::max()) return kPathBadNumber;
      AddCommand(kPathTime, static_cast<int32_t>(*time));
      return 0;
    }
    ++cursor_;
    switch (c) {
      case '!':
        return ReadOutside();
      case 'l':
      case 'r':
      case 'c':
        point_.x = AcrossX(c);
        break;
      case 'u':
        point_.y = 0;
        break;
      case 'd':
        point_.y = frame_.area_height - frame_.height;
        break;
      case 'i':
        point_.x = frame_.start_x;
        point_.y = frame_.start_y;
        break;
      case '<':
      case '>':
      case '^':
      case '_':
      case '[':
      case ']':
      case '-':
      case '+':
        return Move(c);
      case 'O':
      case '$':
      case '%':
        return SetValue(c);
      case 'P':
      case 'p':
        return ReadPhases();
      case 'R':
      case 'Z':
        return ReadTransform(c);
      default:
        return ReadCommand(c);
    }
    pending_ = true;
    return 0;
  }

  int32_t AcrossX(char c) const {
    if (c == 'l') return 0;
    if (c == 'r') return frame_.area_width - frame_.width;
    return (frame_.area_width - frame_.width) / 2;
  }

  uint32_t ReadOutside() {
    const char c = *cursor_;
    switch (c) {
      case 'l':
        point_.x = -frame_.width;
        break;
      case 'r':
        point_.x = frame_.area_width;
        break;
      case 'u':
        point_.y = -frame_.height;
        break;
      case 'd':
        point_.y = frame_.area_height;
        break;
      case 'c':
        point_.x = AcrossX('c');
        point_.y = (frame_.area_height - frame_.height) / 2;
        break;
      case 'i':
        point_.x = frame_.start_x;
        point_.y = frame_.start_y;
        point_.alpha = frame_.start_alpha;
        point_.zoom = 1.0;
        point_.angle = 0.0;
        break;
      default:
        return kPathBadCommand;
    }
    ++cursor_;
    pending_ = true;
    return 0;
  }

  uint32_t Move(char c) {
    const bool coarse = c == '<' || c == '>' || c == '^' || c == '_';
    const bool backwards = c == '<' || c == '^' || c == '[' || c == '-';
    const bool across = c == '<' || c == '>' || c == '[' || c == ']';
    const std::optional<int64_t> count = ReadCount(1);
    if (!count) return kPathBadNumber;
    const int64_t distance = (coarse ? step_l_ : step_m_) * *count * (backwards ? -1 : 1);
    int32_t& coordinate = across ? point_.x : point_.y;
    const std::optional<int32_t> moved = Fit(coordinate + distance);
    if (!moved) return kPathBadNumber;
    coordinate = *moved;
    pending_ = true;
    return 0;
  }

  uint32_t SetValue(char c) {
    const std::optional<int64_t> count = ReadCount(c == 'O' ? 255 : 1);
    if (!count) return kPathBadNumber;
    if (c == 'O') {
      point_.alpha = static_cast<uint8_t>(std::min<int64_t>(*count, 255));
    } else {
      const std::optional<int32_t> swing = Fit(step_l_ * *count);
      if (!swing) return kPathBadNumber;
      (c == '$' ? point_.swing_x : point_.swing_y) = *swing;
    }
    pending_ = true;
    return 0;
  }

  uint32_t ReadPhases() {
    const std::optional<int32_t> x = ReadSigned();
    if (!x) return kPathBadNumber;
    point_.phase_x = *x;
    if (*cursor_ == ',') {
      ++cursor_;
      const std::optional<int64_t> y = ReadDigits();
      if (!y || *y > std::numeric_limits<int32_t>::max()) return kPathBadNumber;
      point_.phase_y = static_cast<int32_t>(*y);
    }
    pending_ = true;
    return 0;
  }

  uint32_t ReadTransform(char c) {
    const std::optional<double> value = ReadReal(c == 'R');
    if (!value) return kPathBadNumber;
    if (c == 'R') {
      point_.angle = *value;
    } else {
      point_.zoom = *value == 0.0 ? 1.0 : *value;
    }
    pending_ = true;
    return 0;
  }

  uint32_t ReadCommand(char c) {
    EndPoint();
    switch (c) {
      case 'A':
        return ReadEasing();
      case 'F':
      case 'B':
        out_.direction = c == 'F' ? 1 : 2;
        AddCommand(c == 'F' ? kPathToFront : kPathToBack, 0).flag = out_.direction;
        return 0;
      case 'S':
        out_.spline = true;
        AddCommand(kPathCurvesOn, 0);
        return 0;
      case 'N':
        AddCommand(kPathCurvesOff, 0);
        return 0;
      case 'M':
      case 'L':
        return ReadStep(c);
      case 'o':
      case 'z':
        return ReadCentre(c);
      default:
        return kPathUnknownCommand;
    }
  }

  uint32_t ReadEasing() {
    MotionPathRecord& easing = AddCommand(kPathEasing, 0);
    if (!StartsNumber(*cursor_)) return 0;
    const std::optional<double> power = ReadReal(true);
    if (!power) return kPathBadNumber;
    easing.flag = 1;
    easing.real = *power;
    return 0;
  }

  uint32_t ReadStep(char c) {
    const std::optional<int64_t> step = ReadCount(c == 'M' ? kDefaultStepM : kDefaultStepL);
    if (!step || *step > std::numeric_limits<int32_t>::max()) return kPathBadNumber;
    (c == 'M' ? step_m_ : step_l_) = *step;
    AddCommand(c == 'M' ? kPathStepM : kPathStepL, static_cast<int32_t>(*step));
    return 0;
  }

  uint32_t ReadCentre(char c) {
    const bool in_area = c == 'z';
    int64_t x = in_area ? frame_.area_width / 2 : 0;
    int64_t y = in_area ? frame_.area_height / 2 : 0;
    if (StartsNumber(*cursor_)) {
      const std::optional<int32_t> value = ReadSigned();
      if (!value) return kPathBadNumber;
      x = *value;
    }
    if (*cursor_ == ',') {
      ++cursor_;
      if (StartsNumber(*cursor_)) {
        const std::optional<int32_t> value = ReadSigned();
        if (!value) return kPathBadNumber;
        y = *value;
      }
    }
    if (in_area) {
      x -= point_.x;
      y -= point_.y;
    }
    const std::optional<int32_t> centre_x = Fit(x);
    const std::optional<int32_t> centre_y = Fit(y);
    if (!centre_x || !centre_y) return kPathBadNumber;
    MotionPathRecord& centre = AddCommand(kPathCentre, *centre_x);
    centre.y = *centre_y;
    out_.centre_x = *centre_x;
    out_.centre_y = *centre_y;
    return 0;
  }

  // The point run so far becomes a key frame; swings and phases end with it.
  void EndPoint() {
    if (!pending_) return;
    pending_ = false;
    point_.key_index = key_frames_++;
    out_.records.push_back(point_);
    point_.swing_x = point_.swing_y = point_.phase_x = point_.phase_y = 0;
  }

  MotionPathRecord& AddCommand(uint8_t kind, int32_t value) {
    MotionPathRecord command;
    command.kind = kind;
    command.x = value;
    return out_.records.emplace_back(command);
  }

  static bool StartsNumber(char c) { return IsDigit(c) || c == '-' || c == '+' || c == '.'; }

  static std::optional<int32_t> Fit(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) return {};
    return static_cast<int32_t>(value);
  }

  // Decimal digits; none, or more than fit in 32 bits, give nothing.
  std::optional<int64_t> ReadDigits() {
    if (!IsDigit(*cursor_)) return {};
    int64_t value = 0;
    while (IsDigit(*cursor_)) {
      value = value * 10 + (*cursor_++ - '0');
      if (value > std::numeric_limits<uint32_t>::max()) return {};
    }
    return value;
  }

  // Digits when they follow, else the fallback.
  std::optional<int64_t> ReadCount(int64_t fallback) { return IsDigit(*cursor_) ? ReadDigits() : fallback; }

  std::optional<int32_t> ReadSigned() {
    const bool negative = *cursor_ == '-';
    if (*cursor_ == '-' || *cursor_ == '+') ++cursor_;
    const std::optional<int64_t> digits = ReadDigits();
    if (!digits) return {};
    return Fit(negative ? -*digits : *digits);
  }

  // Digits with an optional decimal point and fraction, after a sign when `signed_number`.
  std::optional<double> ReadReal(bool signed_number) {
    const bool negative = signed_number && *cursor_ == '-';
    if (signed_number && (*cursor_ == '-' || *cursor_ == '+')) ++cursor_;
    const char* start = cursor_;
    bool digits = false;
    while (IsDigit(*cursor_)) {
      digits = true;
      ++cursor_;
    }
    if (*cursor_ == '.') {
      ++cursor_;
      while (IsDigit(*cursor_)) {
        digits = true;
        ++cursor_;
      }
    }
    if (!digits) return {};
    const double value = DecimalTextToDouble(std::string_view(start, static_cast<size_t>(cursor_ - start)));
    return negative ? -value : value;
  }

  const char* cursor_;
  const PathTextFrame& frame_;
  PathText& out_;
  MotionPathRecord point_;
  bool pending_ = false;
  int32_t key_frames_ = 1;
  int64_t step_l_ = kDefaultStepL;
  int64_t step_m_ = kDefaultStepM;
};

}  // namespace

uint32_t ParsePathText(const char* text, const PathTextFrame& frame, PathText& out) {
  if (text == nullptr) return kPathNoText;
  return PathTextReader(text, frame, out).Run();
}
