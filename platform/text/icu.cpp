#include "text/icu.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace zidevuv10::text {

namespace {

#define ZIDEVUV10_TEXT_OF(x) #x
#define ZIDEVUV10_NAME_OF(x) ZIDEVUV10_TEXT_OF(x)

// ICU's headers rename every function to its versioned name (u_foldCase
// to u_foldCase_72), so the expanded name is the symbol to look up.
constexpr const char* kLibrary = "libicuuc.so." ZIDEVUV10_NAME_OF(U_ICU_VERSION_MAJOR_NUM);

[[noreturn]] void fail(const std::string& what) {
  const char* why = dlerror();
  throw std::runtime_error(what + ": " + (why ? why : "unknown error"));
}

template <typename F>
void resolve(void* library, const char* name, F& out) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) fail(std::string("ICU function ") + name);
  out = reinterpret_cast<F>(symbol);
}

IcuFunctions load() {
  // Never closed: the functions stay valid for the process's lifetime.
  void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) fail(std::string("loading ") + kLibrary);
  IcuFunctions f{};
  resolve(library, ZIDEVUV10_NAME_OF(u_foldCase), f.foldCase);
  resolve(library, ZIDEVUV10_NAME_OF(u_toupper), f.toUpper);
  resolve(library, ZIDEVUV10_NAME_OF(u_tolower), f.toLower);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_open), f.open);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_close), f.close);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_toUChars), f.toUChars);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_fromUChars), f.fromUChars);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_setFromUCallBack), f.setFromUCallBack);
  resolve(library, ZIDEVUV10_NAME_OF(ucnv_reset), f.reset);
  resolve(library, ZIDEVUV10_NAME_OF(UCNV_FROM_U_CALLBACK_STOP), f.stopOnUnmappable);
  return f;
}

#undef ZIDEVUV10_NAME_OF
#undef ZIDEVUV10_TEXT_OF

}  // namespace

const IcuFunctions& icu() {
  static const IcuFunctions functions = load();
  return functions;
}

}  // namespace zidevuv10::text
