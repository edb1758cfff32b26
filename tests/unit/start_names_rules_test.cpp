// Shown names from a desktop.ini's text, indirect strings, and packaged apps' IDs.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>

#include "program/start_names_rules.h"

namespace {

typedef std::u16string Text;

const Text kIni =
    u"\uFEFF[.ShellClassInfo]\r\n"
    u"LocalizedResourceName=@%SystemRoot%\\system32\\shell32.dll,-21787\r\n"
    u"\r\n"
    u"[LocalizedFileNames]\r\n"
    u"; a comment=Not a name\r\n"
    u"Notepad.lnk=@%SystemRoot%\\system32\\notepad.exe,-469\n"
    u"  Word Pad.LNK  =   \"  Write  \"  \n"
    u"Empty.lnk=\r"
    u"\u0411\u043b\u043e\u043a.lnk=\u0417\u0430\u043f\u0438\u0441\u0438\r\n"
    u"[Other]\r\n"
    u"Paint.lnk=Not here\r\n"
    u"[LocalizedFileNames]\r\n"
    u"Paint.lnk=Paint";

Text NameFor(const Text& ini, const char16_t* fileName) {
  const char16_t* value = nullptr;
  int length = DesktopIniName(ini.data(), static_cast<int>(ini.size()), fileName, &value);
  return length < 0 ? u"<none>" : Text(value, length);
}

TEST(ShownNames, DesktopIniNamesTheFolderAndItsItems) {
  struct Case {
    const char16_t* fileName;  // null: the folder's own
    Text shown;
  } cases[] = {
      {nullptr, u"@%SystemRoot%\\system32\\shell32.dll,-21787"},
      {u"notepad.LNK", u"@%SystemRoot%\\system32\\notepad.exe,-469"},  // LF alone ends it
      {u"Word Pad.lnk", u"  Write  "},  // blanks around, quotes kept off, CR alone ends a line
      {u"Empty.lnk", u"<none>"},
      {u"\u0411\u043b\u043e\u043a.lnk", u"\u0417\u0430\u043f\u0438\u0441\u0438"},
      {u"Paint.lnk", u"Paint"},  // a section met again; not the other section's
      {u"a comment", u"<none>"},
      {u"Notepad", u"<none>"},
      {u"LocalizedResourceName", u"<none>"},
  };
  for (const Case& c : cases) EXPECT_EQ(NameFor(kIni, c.fileName), c.shown);
  EXPECT_EQ(NameFor(u"", nullptr), u"<none>");
  EXPECT_EQ(NameFor(u"[.ShellClassInfo]\nLocalizedResourceName=Tools", nullptr), u"Tools");
  EXPECT_EQ(NameFor(u"[.ShellClassInfo\nLocalizedResourceName=Tools", nullptr), u"<none>");
}

TEST(ShownNames, IndirectStringsGiveModuleAndId) {
  struct Case {
    Text value;
    bool parsed;
    Text module;
    uint32_t id;
  } cases[] = {
      {u"@%SystemRoot%\\system32\\shell32.dll,-21787", true, u"%SystemRoot%\\system32\\shell32.dll",
       21787},
      {u"@C:\\a,b.dll,-5", true, u"C:\\a,b.dll", 5},  // the last comma ends the module
      {u"@shell32.dll,-65535", true, u"shell32.dll", 65535},
      {u"@shell32.dll,-65536", false, u"", 0},
      {u"@shell32.dll,21787", false, u"", 0},
      {u"@shell32.dll,-", false, u"", 0},
      {u"@,-5", false, u"", 0},
      {u"@shell32.dll,-1;v2", false, u"", 0},
      {u"Accessories", false, u"", 0},
  };
  for (const Case& c : cases) {
    int start = -1, length = -1;
    uint32_t id = 0;
    bool parsed =
        ParseIndirectString(c.value.data(), static_cast<int>(c.value.size()), &start, &length, &id);
    EXPECT_EQ(parsed, c.parsed) << std::string(c.value.begin(), c.value.end());
    if (parsed) {
      EXPECT_EQ(c.value.substr(start, length), c.module);
      EXPECT_EQ(id, c.id);
    }
  }
}

TEST(ShownNames, PackagedAppIdsHaveFamilyPublisherAndApp) {
  struct Case {
    const char16_t* id;
    bool packaged;
  } cases[] = {
      {u"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", true},
      {u"windows.immersivecontrolpanel_cw5n1h2txyewy!microsoft.windows.immersivecontrolpanel",
       true},
      {u"Microsoft.WindowsCalculator_8wekyb3d8bbw!App", false},  // 12 units of publisher
      {u"Microsoft.WindowsCalculator_8wekyb3d8bbwe!", false},
      {u"Microsoft.WindowsCalculator-8wekyb3d8bbwe!App", false},
      {u"Microsoft.WindowsCalculator_8wekyb3d8bbw#!App", false},
      {u"A_8wekyb3d8bbwe!App!Two", false},
      {u"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\notepad.exe", false},
      {u"C:\\Tools_8wekyb3d8bbwe!App", false},
      {u"Microsoft.Windows.Explorer", false},
      {u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPackagedAppId(c.id), c.packaged)
        << std::string(c.id, c.id + std::char_traits<char16_t>::length(c.id));
  }
}

}  // namespace
