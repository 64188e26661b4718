// The ICU functions the library calls, loaded the first time text needs
// them (case folding beyond ASCII, Windows-1252 files) rather than at
// start-up: loading ICU costs more than a whole one-lookup process
// otherwise would. The headers are ICU's own, so the types and the
// versioned names come from the ICU the library was built against.
//
// Loaded once per process; the table is read-only afterwards and safe from
// any thread.
#pragma once

#include <unicode/uchar.h>
#include <unicode/ucnv.h>

namespace zidevuv10::text {

struct IcuFunctions {
  decltype(&u_foldCase) foldCase;
  decltype(&u_toupper) toUpper;
  decltype(&u_tolower) toLower;
  decltype(&ucnv_open) open;
  decltype(&ucnv_close) close;
  decltype(&ucnv_toUChars) toUChars;
  decltype(&ucnv_fromUChars) fromUChars;
  decltype(&ucnv_setFromUCallBack) setFromUCallBack;
  decltype(&ucnv_reset) reset;
  UConverterFromUCallback stopOnUnmappable;  // UCNV_FROM_U_CALLBACK_STOP
};

// ICU's functions; std::runtime_error naming the library and the loader's
// message when ICU cannot be loaded.
const IcuFunctions& icu();

}  // namespace zidevuv10::text
