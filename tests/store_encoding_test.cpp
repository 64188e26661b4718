// File encodings as the store reads and writes them: UTF-8 with and without
// a mark, UTF-16 in both byte orders, legacy Windows-1252 files, and bytes
// that are no valid text at all. A write must keep the file's encoding, mark
// and line ends and leave every byte it does not change as it was.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/test_files.h"
#include "zidevuv10/profile.h"

using namespace std::string_literals;
using zidevuv10::testing::readFile;
using zidevuv10::testing::TempDir;
using zidevuv10::testing::writeFile;

namespace {

std::string get(const char* section, const char* key, const std::string& file) {
  char buf[512];
  const uint32_t n = GetPrivateProfileStringA(section, key, "<default>", buf, sizeof buf,
                                              file.c_str());
  return std::string(buf, n);
}

int32_t put(const char* section, const char* key, const char* value, const std::string& file) {
  return WritePrivateProfileStringA(section, key, value, file.c_str());
}

std::string sectionNames(const std::string& file) {
  char buf[256];
  const uint32_t n = GetPrivateProfileSectionNamesA(buf, sizeof buf, file.c_str());
  return std::string(buf, n);
}

// UTF-16 bytes of the text, without a mark.
std::string utf16(std::u16string_view s, bool littleEndian) {
  std::string out;
  for (const char16_t c : s) {
    const char hi = static_cast<char>((c >> 8) & 0xFF);
    const char lo = static_cast<char>(c & 0xFF);
    out += littleEndian ? lo : hi;
    out += littleEndian ? hi : lo;
  }
  return out;
}

std::string utf16le(std::u16string_view s) { return "\xFF\xFE"s + utf16(s, true); }
std::string utf16be(std::u16string_view s) { return "\xFE\xFF"s + utf16(s, false); }

}  // namespace

TEST(StoreEncoding, Utf8MarkIsSkippedOnReadAndKeptOnWrite) {
  TempDir dir;
  const std::string f = dir.file("bom.ini");
  writeFile(f, "\xEF\xBB\xBF[App]\nkey=v\n");
  // The header on the first line is found.
  EXPECT_EQ(get("App", "key", f), "v");
  EXPECT_EQ(sectionNames(f), "App"s + '\0');

  ASSERT_NE(put("App", "key2", "w", f), 0);
  EXPECT_EQ(readFile(f), "\xEF\xBB\xBF[App]\nkey=v\nkey2=w\n");
  ASSERT_NE(put("App", "key", "x", f), 0);
  EXPECT_EQ(readFile(f), "\xEF\xBB\xBF[App]\nkey=x\nkey2=w\n");
  ASSERT_NE(put("App", nullptr, nullptr, f), 0);
  EXPECT_EQ(readFile(f), "\xEF\xBB\xBF");

  // A file holding only the mark.
  const std::string g = dir.file("mark_only.ini");
  writeFile(g, "\xEF\xBB\xBF");
  ASSERT_NE(put("A", "k", "v", g), 0);
  EXPECT_EQ(readFile(g), "\xEF\xBB\xBF[A]\nk=v\n");
}

TEST(StoreEncoding, Utf16LittleEndianIsReadAndWrittenBackAsUtf16) {
  TempDir dir;
  const std::string f = dir.file("le.ini");
  const std::u16string head = u"; caf\u00e9 notes\r\n  [App]  \r\n";
  const std::u16string tail = u"; \u03a9 comment\r\n\r\n[B]\r\nx = \u03a9\U0001F600\r\n";
  writeFile(f, utf16le(head + u"key = old\r\n" + tail));
  EXPECT_EQ(get("App", "key", f), "old");
  EXPECT_EQ(get("B", "x", f), "\xCE\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(sectionNames(f), "App\0B\0"s);

  // Replace, add a key and a section: each change in UTF-16LE with CRLF,
  // every other byte as it was.
  ASSERT_NE(put("App", "key", "new \u20ac\u00e9", f), 0);
  EXPECT_EQ(readFile(f), utf16le(head + u"key=new \u20ac\u00e9\r\n" + tail));
  ASSERT_NE(put("App", "k2", "\U0001F600", f), 0);
  ASSERT_NE(put("C", "c", "3", f), 0);
  EXPECT_EQ(readFile(f), utf16le(head + u"key=new \u20ac\u00e9\r\nk2=\U0001F600\r\n" + tail +
                                 u"[C]\r\nc=3\r\n"));
  EXPECT_EQ(get("App", "k2", f), "\xF0\x9F\x98\x80");
  EXPECT_EQ(get("App", "key", f), "new \xE2\x82\xAC\xC3\xA9");

  // An LF-only UTF-16 file stays LF.
  const std::string g = dir.file("le_lf.ini");
  writeFile(g, utf16le(u"[A]\na=1\n"));
  ASSERT_NE(put("A", "b", "2", g), 0);
  EXPECT_EQ(readFile(g), utf16le(u"[A]\na=1\nb=2\n"));

  // A file holding only the mark is a UTF-16 profile.
  const std::string h = dir.file("le_mark.ini");
  writeFile(h, "\xFF\xFE");
  ASSERT_NE(put("A", "k", "v", h), 0);
  EXPECT_EQ(readFile(h), utf16le(u"[A]\nk=v\n"));
}

TEST(StoreEncoding, Utf16BigEndianIsReadAndWrittenBackAsUtf16) {
  TempDir dir;
  const std::string f = dir.file("be.ini");
  const std::u16string head = u"[App]\r\n";
  const std::u16string tail = u"; keep  me\r\n[B]\r\nx=\u00e9\r\n";
  writeFile(f, utf16be(head + u"key=old\r\n" + tail));
  EXPECT_EQ(get("App", "key", f), "old");
  EXPECT_EQ(get("B", "x", f), "\xC3\xA9");

  ASSERT_NE(put("App", "key", "\u03a9", f), 0);
  ASSERT_NE(put("App", "k2", "v", f), 0);
  EXPECT_EQ(readFile(f), utf16be(head + u"key=\u03a9\r\nk2=v\r\n" + tail));
  ASSERT_NE(put("B", "x", nullptr, f), 0);
  EXPECT_EQ(readFile(f), utf16be(head + u"key=\u03a9\r\nk2=v\r\n; keep  me\r\n[B]\r\n"));
}

TEST(StoreEncoding, Windows1252FileIsDecodedAndReencoded) {
  TempDir dir;
  const std::string f = dir.file("latin.ini");
  // 0xE9 is "é" and 0x80 is "€" in Windows-1252; neither is valid UTF-8 here.
  const std::string head = "; r\xE9" "sum\xE9\n[App]\nname = caf\xE9\n";
  const std::string tail = "; \x80 prices\n\n[B]\nx=\xE9t\xE9\n";
  writeFile(f, head + tail);
  EXPECT_EQ(get("App", "name", f), "caf\xC3\xA9");
  EXPECT_EQ(get("B", "x", f), "\xC3\xA9t\xC3\xA9");

  // Text the file's encoding can hold is written in it.
  ASSERT_NE(put("App", "other", "n\xC3\xA9 \xE2\x82\xAC", f), 0);
  EXPECT_EQ(readFile(f), head + "other=n\xE9 \x80\n" + tail);
  ASSERT_NE(put("B", "x", "\xC3\xA0", f), 0);
  EXPECT_EQ(readFile(f), head + "other=n\xE9 \x80\n" "; \x80 prices\n\n[B]\nx=\xE0\n");
  EXPECT_EQ(get("App", "other", f), "n\xC3\xA9 \xE2\x82\xAC");

  // Names are matched against the decoded text.
  ASSERT_NE(put("App", "caf\xC3\xA9", "1", f), 0);
  ASSERT_NE(put("App", "CAF\xC3\x89", "2", f), 0);
  EXPECT_EQ(readFile(f),
            head + "other=n\xE9 \x80\ncaf\xE9=2\n" "; \x80 prices\n\n[B]\nx=\xE0\n");
}

TEST(StoreEncoding, Windows1252FileThatCannotHoldTheTextBecomesUtf8) {
  TempDir dir;
  const std::string f = dir.file("latin.ini");
  writeFile(f, "; r\xE9" "sum\xE9\r\n[App]\r\nname=caf\xE9\r\nprice=\x80" "5\r\n");
  // "Ω" has no Windows-1252 byte: the whole file becomes UTF-8, every old
  // character kept, the layout and line ends untouched.
  ASSERT_NE(put("App", "greek", "\xCE\xA9", f), 0);
  EXPECT_EQ(readFile(f),
            "; r\xC3\xA9sum\xC3\xA9\r\n[App]\r\nname=caf\xC3\xA9\r\nprice=\xE2\x82\xAC"
            "5\r\ngreek=\xCE\xA9\r\n");
  EXPECT_EQ(get("App", "name", f), "caf\xC3\xA9");
  EXPECT_EQ(get("App", "greek", f), "\xCE\xA9");

  // A byte order mark inside a value has no byte either (the converter
  // would drop it without a word): the file becomes UTF-8 as well.
  const std::string marked = dir.file("marked.ini");
  writeFile(marked, "[App]\nname=caf\xE9\n");
  ASSERT_NE(put("App", "v", "a\xEF\xBB\xBF" "b", marked), 0);
  EXPECT_EQ(get("App", "v", marked), "a\xEF\xBB\xBF" "b");
  EXPECT_EQ(readFile(marked), "[App]\nname=caf\xC3\xA9\nv=a\xEF\xBB\xBF" "b\n");

  // From now on it is a UTF-8 file.
  ASSERT_NE(put("App", "more", "\xC3\xA9", f), 0);
  EXPECT_EQ(get("App", "more", f), "\xC3\xA9");
  EXPECT_NE(readFile(f).find("more=\xC3\xA9\r\n"), std::string::npos);
}

TEST(StoreEncoding, BinaryLooking1252FileRefusesTextItCannotHold) {
  TempDir dir;
  const std::string f = dir.file("binary.ini");
  const std::string before = "[App]\nname=caf\xE9\n\x01\x02\x03\n"s + '\0' + "tail\n";
  writeFile(f, before);
  EXPECT_EQ(put("App", "greek", "\xCE\xA9", f), 0);
  EXPECT_EQ(GetLastError(), 1113u);  // ERROR_NO_UNICODE_TRANSLATION
  EXPECT_EQ(readFile(f), before);

  // Text the encoding can hold is still written, other bytes untouched.
  ASSERT_NE(put("App", "name", "\xC3\xA8", f), 0);
  EXPECT_EQ(readFile(f), "[App]\nname=\xE8\n\x01\x02\x03\n"s + '\0' + "tail\n");
}

TEST(StoreEncoding, InvalidUtf8BytesDoNotBreakReadsOrWrites) {
  TempDir dir;
  // With a UTF-8 mark the file stays UTF-8 even with broken sequences.
  const std::string f = dir.file("broken.ini");
  const std::string before = "\xEF\xBB\xBF[App]\nbad=\xFF\xC3(\x80\nk=1\n[B]\nz=\xE2\x82\n";
  writeFile(f, before);
  const std::string bad = get("App", "bad", f);
  EXPECT_NE(bad.find("\xEF\xBF\xBD"), std::string::npos) << bad;
  EXPECT_EQ(get("App", "k", f), "1");
  EXPECT_EQ(get("B", "z", f).substr(0, 3), "\xEF\xBF\xBD");

  ASSERT_NE(put("App", "k", "2", f), 0);
  EXPECT_EQ(readFile(f), "\xEF\xBB\xBF[App]\nbad=\xFF\xC3(\x80\nk=2\n[B]\nz=\xE2\x82\n");
  ASSERT_NE(put("C", "c", "\xCE\xA9", f), 0);
  EXPECT_EQ(readFile(f),
            "\xEF\xBB\xBF[App]\nbad=\xFF\xC3(\x80\nk=2\n[B]\nz=\xE2\x82\n[C]\nc=\xCE\xA9\n");

  // Without a mark such bytes make it a Windows-1252 file: kept as they are.
  const std::string g = dir.file("unmarked.ini");
  writeFile(g, "[App]\nbad=\xC3(\nk=1\n");
  EXPECT_EQ(get("App", "bad", g), "\xC3\x83(");
  ASSERT_NE(put("App", "k", "2", g), 0);
  EXPECT_EQ(readFile(g), "[App]\nbad=\xC3(\nk=2\n");
}
