// A client of the installed library: creates the addressed-entry class by
// ProgID, writes a value through its typed interface into a file in a new
// temporary folder, and reads it back three ways (late bound by name, the C
// profile function, the file's text). Prints the value and the version;
// exits 1 on any mismatch or error.
#include <stdlib.h>  // mkdtemp

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "zidevuv10/addressed.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/version.h"

namespace {

namespace fs = std::filesystem;
using namespace zidevuv10;

int failures = 0;

void expectEqual(const char* what, const std::string& got, const std::string& want) {
  if (got == want) return;
  std::fprintf(stderr, "client: %s is \"%s\", expected \"%s\"\n", what, got.c_str(), want.c_str());
  ++failures;
}

// Writes section Client, key greeting through the typed interface and
// checks every way of reading it back.
void roundTrip(const std::string& file) {
  const std::string value = "hello from the installed package";
  const ObjectRef object = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB");
  const Ref<_clsOrviInifINIFilesObjB> entry = objectAs<_clsOrviInifINIFilesObjB>(object);
  Text path = Text::fromUtf8(file);
  Text section = u"Client";
  Text key = u"greeting";
  Text text = Text::fromUtf8(value);
  entry->let_Path(path);
  entry->let_Section(section);
  entry->let_Key(key);
  entry->let_Value(text);
  if (entry->get_Success() == kFalse) {
    std::fprintf(stderr, "client: the write to %s failed (return code %d)\n", file.c_str(),
                 entry->get_LastReturnCode());
    ++failures;
    return;
  }

  const std::string lateBound = callByName(object, u"Value", InvokeKind::PropertyGet).toText().utf8();
  expectEqual("Value read by name", lateBound, value);

  char buffer[256];
  const uint32_t length =
      GetPrivateProfileStringA("Client", "greeting", "(absent)", buffer, sizeof buffer, file.c_str());
  expectEqual("GetPrivateProfileStringA", std::string(buffer, length), value);

  std::ifstream in(file, std::ios::binary);
  const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  expectEqual("the file", contents, "[Client]\ngreeting=" + value + "\n");

  std::printf("[Client] greeting=%s\n", lateBound.c_str());
}

}  // namespace

int main() {
  std::printf("zidevuv10 %s (package files: %s)\n", ZIDEVUV10_VERSION_STRING, ZIDEVUV10_PACKAGE_VERSION);
  expectEqual("version.h's version", ZIDEVUV10_VERSION_STRING, ZIDEVUV10_PACKAGE_VERSION);

  std::string folderName = (fs::temp_directory_path() / "zidevuv10-client-XXXXXX").string();
  if (mkdtemp(folderName.data()) == nullptr) {
    std::perror("client: mkdtemp");
    return 1;
  }
  const fs::path folder(folderName);
  try {
    roundTrip((folder / "client.ini").string());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "client: %s\n", e.what());
    ++failures;
  }
  std::error_code removal;
  fs::remove_all(folder, removal);
  if (removal) {
    std::fprintf(stderr, "client: cannot remove %s: %s\n", folder.c_str(), removal.message().c_str());
    ++failures;
  }
  if (failures != 0) return 1;
  std::printf("client: all checks passed\n");
  return 0;
}
