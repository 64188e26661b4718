// Objects the script host itself provides: Err, the error being handled,
// and ScriptHost.Window, a window whose placement the library's classes can
// save and restore. Both are reached late-bound like the library's classes.
#pragma once

#include <memory>
#include <ostream>

#include "zidevuv10/object.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::script {

// Where host objects print; closed (null) once the run is over, since an
// object may outlive the run in the library's per-thread state.
struct OutputSink {
  std::ostream* out = nullptr;
};

class ScriptErr final : public Object {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"ErrObject"; }

  void set(const AutomationError& error);
  void clear();
  int32_t number() const { return number_; }

  int32_t number_ = 0;
  Text description_ = Text::empty();
  Text source_ = Text::empty();
};

class ScriptWindow final : public Object {
 public:
  explicit ScriptWindow(std::shared_ptr<OutputSink> sink) : sink_(std::move(sink)) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"Window"; }

  // Writes one line of the window's report, if the run is still going.
  void report(const std::string& line) const;

  float left_ = 1000, top_ = 1000, width_ = 6000, height_ = 4000;
  int16_t windowState_ = 0;
  bool failMove_ = false;

 private:
  std::shared_ptr<OutputSink> sink_;
};

// The ProgID scripts create the window with.
inline constexpr std::u16string_view kWindowProgId = u"ScriptHost.Window";

}  // namespace zidevuv10::script
