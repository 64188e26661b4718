// The resources compiled into the library: a string table, a picture and a
// data resource, looked up as the host runtime does.
#include <cstring>
#include <memory>
#include <string_view>

#include "dispatch/typed_slot.h"
#include "runtime/runtime.h"
#include "text/ascii_case.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

namespace {

struct StringResource {
  int32_t id;
  std::u16string_view text;
};
constexpr StringResource kStrings[] = {
    {101, u"VEZEzoro10"},
    {102, u"Initialization file library"},
    {103, u"1.0"},
};

// A 2 x 2 pixel, 24-bit bitmap: the library's picture resource 101.
constexpr unsigned char kBitmap101[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,     // file header
    40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,  // info header
    0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0,  // bottom row, padded to 4 bytes
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0,  // top row
};

struct PictureResource {
  int32_t id;
  int16_t kind;  // 0 bitmap, 1 icon, 2 cursor
  int32_t widthPixels;
  int32_t heightPixels;
  std::string_view bytes;
};
const PictureResource kPictures[] = {
    {101, 0, 2, 2, std::string_view(reinterpret_cast<const char*>(kBitmap101), sizeof kBitmap101)},
};

struct DataResource {
  int32_t id;
  std::u16string_view type;  // a named type; numbered types are standard kinds
  std::string_view bytes;
};
const DataResource kData[] = {
    {101, u"CUSTOM", "zidevuv10 resource data"},
};

// Picture object: handle, kind (1 bitmap, 3 icon) and size in HiMetric units.
class Picture final : public Object {
 public:
  Picture(int32_t handle, int16_t type, int32_t width, int32_t height)
      : handle_(handle), type_(type), width_(width), height_(height) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Picture"; }
  int32_t Handle() const { return handle_; }
  int16_t Type() const { return type_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

 private:
  int32_t handle_;
  int16_t type_;
  int32_t width_;
  int32_t height_;
};

const ClassInfo kPicture{
    u"Picture",
    u"",
    u"",
    {
        propGet<&Picture::Handle>(u"Handle", 0),
        propGet<&Picture::Type>(u"Type", 3),
        propGet<&Picture::Width>(u"Width", 4),
        propGet<&Picture::Height>(u"Height", 5),
    }};

const ClassInfo* Picture::classInfo() const { return &kPicture; }

// Resource identifiers are numbers; text that is a number names that number.
int32_t resourceId(const Variant& id) {
  if (id.type() == VarType::Object || id.type() == VarType::Array) raiseError(err::kTypeMismatch);
  return id.toInt32();
}

// HiMetric units (0.01 mm) of a size in pixels at 96 pixels per inch.
int32_t hiMetric(int32_t pixels) { return pixels * 2540 / 96; }

}  // namespace

Text loadResString(const Variant& id) {
  const int32_t n = resourceId(id);
  for (const auto& s : kStrings) {
    if (s.id == n) return Text(std::u16string(s.text));
  }
  raiseError(err::kResourceNotFound);
}

ObjectRef loadResPicture(const Variant& id, int16_t kind) {
  if (kind < 0 || kind > 2) raiseError(err::kInvalidCall);
  const int32_t n = resourceId(id);
  for (const auto& p : kPictures) {
    if (p.id == n && p.kind == kind) {
      const int16_t type = kind == 0 ? 1 : 3;
      return ObjectRef(new Picture(0x10000 + p.id, type, hiMetric(p.widthPixels),
                                   hiMetric(p.heightPixels)));
    }
  }
  raiseError(err::kResourceNotFound);
}

Variant loadResData(const Variant& id, const Variant& type) {
  const int32_t n = resourceId(id);
  // Types are named by text, or by number for the standard kinds (none of
  // which the library holds as data).
  if (type.type() != VarType::String) {
    const int32_t kind = type.toInt32();
    if (kind < 1 || kind > 24) raiseError(err::kInvalidCall);
    raiseError(err::kResourceNotFound);
  }
  const std::u16string wanted = text::asciiUppered(type.toText().str());
  for (const auto& d : kData) {
    if (d.id == n && d.type == wanted) {
      auto bytes = std::make_shared<SafeArray>(SafeArray::ElementType::Byte);
      bytes->redim({{0, static_cast<int32_t>(d.bytes.size()) - 1}}, false);
      for (std::size_t i = 0; i < d.bytes.size(); ++i) {
        bytes->at(static_cast<int32_t>(i)) = Variant(static_cast<uint8_t>(d.bytes[i]));
      }
      return Variant(bytes);
    }
  }
  raiseError(err::kResourceNotFound);
}

}  // namespace zidevuv10::frame
