// Reads one file through the profile store, with the store's answers taken
// whole whatever their length, and tells a missing section from an empty one
// and a missing key from an empty value. The empty section name reaches the
// lines before the first header, which the profile functions do not answer:
// those come from the store's parsed file, by the same rules.
// Safe from any thread, as the profile store is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/profile_store.h"

namespace zidevuv10::cli {

// A section with what the formats print: its entries as the store lists
// them, and each key's value as a lookup answers it (the first of duplicate
// keys, quotes stripped).
struct SectionListing {
  std::string name;
  std::vector<std::string> entries;
  std::vector<std::pair<std::string, std::string>> values;
};

class ProfileReader {
 public:
  ProfileReader(store::ProfileStore& store, std::string storeName)
      : store_(store), file_(std::move(storeName)) {}

  // Every section header's name in file order (duplicates too).
  std::vector<std::string> sectionNames();
  bool hasSection(const std::string& section);
  std::vector<std::string> keys(const std::string& section);
  std::vector<std::string> entries(const std::string& section);
  std::optional<std::string> value(const std::string& section, const std::string& key);
  SectionListing listing(const std::string& section);

 private:
  // The file, for the lines before its first header; nullptr when missing.
  const store::Document* outside();

  store::ProfileStore& store_;
  std::string file_;
  std::shared_ptr<const store::Document> doc_;
};

}  // namespace zidevuv10::cli
