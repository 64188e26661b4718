// The one export macro of the library. The library is built with hidden
// symbol visibility; only declarations marked ZIDEVUV10_API are exported.
#pragma once

#if defined(ZIDEVUV10_BUILDING)
#define ZIDEVUV10_API __attribute__((visibility("default")))
#else
#define ZIDEVUV10_API
#endif
