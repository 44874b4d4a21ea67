#include "effects/sprite/sp_tanime_definition.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "base/files/file.h"
#include "base/numbers/script_bound.h"
#include "base/text/tokenizer.h"
#include "platform/encoding/sjis_text.h"
#include "scene/drawables/draw_layer.h"
#include "scene/motions/motion_path_text.h"

namespace {

// A line holds at most this many bytes.
constexpr std::uint32_t kLineBuffer = 1025;
constexpr std::size_t kMaxImagePath = 259;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool EndsWord(char c) { return c == '\0' || IsBlank(c) || c == ',' || c == '(' || c == ')'; }

// The comma-separated fields of a line, blanks around them dropped; an empty field is absent.
class Fields {
 public:
  explicit Fields(const char* text) {
    for (;;) {
      const char* end = std::strchr(text, ',');
      std::string field(text, end != nullptr ? static_cast<std::size_t>(end - text) : std::strlen(text));
      const std::size_t first = field.find_first_not_of(" \t");
      fields_.push_back(first == std::string::npos ? std::string() : field.substr(first, field.find_last_not_of(" \t") - first + 1));
      if (end == nullptr) break;
      text = end + 1;
    }
  }

  bool Has(std::size_t index) const { return index < fields_.size() && !fields_[index].empty(); }
  std::optional<std::int32_t> Int(std::size_t index) const {
    std::int32_t value = 0;
    if (!Has(index) || CTokenizer(fields_[index].c_str()).ReadInteger(value) != CTokenizer::kOk) return {};
    return value;
  }
  std::optional<double> Real(std::size_t index) const {
    double value = 0;
    if (!Has(index) || CTokenizer(fields_[index].c_str()).ReadReal(value) != CTokenizer::kOk) return {};
    return value;
  }

 private:
  std::vector<std::string> fields_;
};

class DefinitionReader {
 public:
  DefinitionReader(CDrawLayer& layer, std::int32_t x_offset, std::int32_t y_offset, std::uint32_t priority,
                   std::vector<std::unique_ptr<CSpTanimeCellDef>>& cells)
      : layer_(layer), x_offset_(x_offset), y_offset_(y_offset), priority_(priority), cells_(cells) {}

  std::int32_t Read(CFile& file, const std::string& folder, std::uint32_t& line_number) {
    char line[kLineBuffer];
    for (;;) {
      if (file.ReadLine(line, kLineBuffer) == 0) {
        // A line that does not fit is no end of the file.
        if (file.ReadLine(nullptr, 0) > 1) return kCellMalformed;
        break;
      }
      ++line_number;
      if (const std::int32_t status = ReadLine(line, folder); status != 0) return status;
    }
    if (cells_.empty()) return kCellMalformed;
    return 0;
  }

 private:
  // Where the cell's key frames stand so far.
  struct State {
    std::int32_t base_x = 0;
    std::int32_t base_y = 0;
    MotionPathRecord point;
    std::int32_t centre_x = 0;
    std::int32_t centre_y = 0;
  };

  std::int32_t ReadLine(const char* line, const std::string& folder) {
    while (IsBlank(*line)) ++line;
    if (*line == '\0' || (line[0] == '/' && line[1] == '/')) return 0;
    if (*line == '*') return StartCell(line + 1, folder);
    const char letter = *line;
    const bool command = std::strchr("abcfstl", letter) != nullptr;
    if (cells_.empty()) {
      if (letter == 'l') return 0;
      return command ? kCellCommandBeforeCell : kCellLineBeforeCell;
    }
    if (!command) return AddKeyFrame(Fields(line));
    while (!EndsWord(*line)) ++line;
    const Fields fields(line);
    if (letter == 'l') {
      for (std::size_t i = 0; i < swing_.size(); ++i) swing_[i] = fields.Int(i).value_or(0);
      return 0;
    }
    if (cells_.back()->key_frames == 0) return kCellCommandBeforeKeyFrame;
    return AddCommand(letter, fields);
  }

  std::int32_t StartCell(const char* name, const std::string& folder) {
    const char* end = name;
    while (!EndsWord(*end)) ++end;
    const std::string path = folder + std::string(name, end);
    if (path.size() > kMaxImagePath) return kCellMalformed;
    auto cell = std::unique_ptr<CSpTanimeCellDef>(new (std::nothrow) CSpTanimeCellDef);
    if (cell == nullptr) return kCellMalformed;
    cell->image.reset(new (std::nothrow) CImage);
    if (cell->image == nullptr || cell->image->LoadFile32(path.c_str(), nullptr, 0, 0) != 0) return kCellNoImage;
    cell->sprite.reset(new (std::nothrow) CSprite);
    if (cell->sprite == nullptr || cell->sprite->SetImage(cell->image.get(), nullptr, 0, 0) != 0) return kCellMalformed;
    if (layer_.GetOwnList().Insert(cell->sprite.get(), priority_--, 0) != 0) return kCellMalformed;
    const CImage& image = *cell->image;
    state_ = State{};
    state_.base_x = ClampedSum(static_cast<std::int32_t>(image.GetUserWord0()), x_offset_);
    state_.base_y = ClampedSum(static_cast<std::int32_t>(image.GetUserWord1()), y_offset_);
    state_.point.x = state_.base_x;
    state_.point.y = state_.base_y;
    state_.centre_x = image.GetWidth() / 2;
    state_.centre_y = image.GetHeight() / 2;
    swing_ = {};
    cells_.push_back(std::move(cell));
    return 0;
  }

  std::int32_t AddKeyFrame(const Fields& fields) {
    CSpTanimeCellDef& cell = *cells_.back();
    MotionPathRecord& point = state_.point;
    if (const auto x = fields.Int(0)) point.x = ClampedSum(state_.base_x, *x);
    if (const auto y = fields.Int(1)) point.y = ClampedSum(state_.base_y, *y);
    if (const auto alpha = fields.Int(2)) point.alpha = static_cast<std::uint8_t>(*alpha);
    if (fields.Has(3)) {
      const double zoom = fields.Real(3).value_or(0.0);
      point.zoom = zoom == 0.0 ? 1.0 : zoom;
      cell.use.zoom = true;
      cell.use.largest_zoom = std::max(cell.use.largest_zoom, point.zoom);
    }
    if (fields.Has(4)) {
      point.angle = fields.Real(4).value_or(0.0);
      cell.use.rotation = true;
    }
    point.swing_x = swing_[0];
    point.swing_y = swing_[1];
    point.phase_x = swing_[2];
    point.phase_y = swing_[3];
    swing_ = {};
    point.key_index = cell.key_frames++;
    cell.commands.push_back(point);
    if (point.key_index == 0) {
      CSprite& sprite = *cell.sprite;
      sprite.SetPosition(point.x, point.y);
      sprite.SetAnchor(-1, state_.centre_x, state_.centre_y);
      sprite.SetOpacity(point.alpha);
    }
    return 0;
  }

  std::int32_t AddCommand(char letter, const Fields& fields) {
    CSpTanimeCellDef& cell = *cells_.back();
    MotionPathRecord command;
    switch (letter) {
      case 'a':
        command.kind = kPathEasing;
        if (const auto power = fields.Real(0)) {
          command.flag = 1;
          command.real = *power;
        }
        break;
      case 'b':
        command.kind = kPathToBack;
        break;
      case 'f':
        command.kind = kPathToFront;
        break;
      case 'c':
        command.kind = kPathCentre;
        state_.centre_x = command.x = fields.Int(0).value_or(state_.centre_x);
        state_.centre_y = command.y = fields.Int(1).value_or(state_.centre_y);
        break;
      case 's': {
        const bool on = fields.Int(0).value_or(1) != 0;
        command.kind = on ? kPathCurvesOn : kPathCurvesOff;
        cell.smooth = cell.smooth || on;
        break;
      }
      default: {
        const auto time = fields.Int(0);
        if (!time) return kCellTimeWithoutNumber;
        if (*time == 0) return kCellZeroTime;
        command.kind = kPathTime;
        command.x = *time;
        break;
      }
    }
    cell.commands.push_back(command);
    return 0;
  }

  CDrawLayer& layer_;
  std::int32_t x_offset_;
  std::int32_t y_offset_;
  std::uint32_t priority_;
  std::vector<std::unique_ptr<CSpTanimeCellDef>>& cells_;
  State state_;
  std::array<std::int32_t, 4> swing_{};
};

}  // namespace

std::int32_t LoadDefinition(const char* file_name, CDrawLayer* layer, std::int32_t x_offset, std::int32_t y_offset,
                            std::uint32_t priority, std::vector<std::unique_ptr<CSpTanimeCellDef>>& cells,
                            std::uint32_t* line_out) {
  cells.clear();
  if (layer == nullptr) return kCellNoLayer;
  CFile file;
  if (file_name == nullptr || file.Load(file_name) != 0) return kCellNoFile;
  // The cells' pictures lie in the definition's folder, found as the definition file was.
  const std::string_view name(file_name);
  const std::string folder(name.substr(0, plat::LastComponentStart(name, plat::SjisReading::kCodePage)));
  std::uint32_t line_number = 0;
  const std::int32_t status = DefinitionReader(*layer, x_offset, y_offset, priority, cells).Read(file, folder, line_number);
  if (status != 0) {
    cells.clear();
    if (line_out != nullptr) *line_out = line_number;
  }
  return status;
}
